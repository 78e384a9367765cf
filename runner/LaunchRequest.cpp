#include "runner/LaunchRequest.h"

#include "host/HostTableNames.h"
#include "host/PlugInState.h"
#include "host/ShowHostError.h"
#include "host/ViewTable.h"
#include "platform/Environment.h"
#include "platform/Sandbox.h"
#include "platform/Windowing.h"
#include "runner/AuditTrail.h"
#include "runner/RunDriver.h"
#include "runner/SequenceNode.h"

#include <array>
#include <cctype>
#include <string>

namespace {

constexpr int kLastFinalActionCode = 5;

constexpr std::array<const char*, 4> kLaunchVariables = {"QUORVELLASEQU", "QUORVELLAFINAL",
                                                         "QUORVELLADEST", "QUORVELLALOG"};

// The variables are the request of this one start: a program that the final action starts
// (or a host started by it) inherits the environment and must not run the sequence again.
void ForgetLaunchRequest() {
    for (const char* name : kLaunchVariables) {
        platform::RemoveEnvironmentVariable(name);
    }
}

// The tables a run calls through. The plug-in loads without "ASExtra", but every read
// of a sequence goes through it.
std::string ListMissingTables() {
    std::string missing;
    for (const HostTableId table : {HostTableId::AcroSupport, HostTableId::ASExtra,
                                    HostTableId::AcroView, HostTableId::PDModel}) {
        if (g_plugInState.GetImportedTable(table).table == nullptr) {
            missing += missing.empty() ? "\"" : ", \"";
            missing += GetHostTableName(table);
            missing += "\"";
        }
    }
    return missing;
}

void CloseHost() {
    HostWindow window = g_plugInState.hostMainWindow;
    if (window != nullptr && platform::IsPlatformWindow(window)) {
        platform::DestroyPlatformWindow(window);
    }
}

} // namespace

int ReadFinalActionCode(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Counting stops once the number is past the last code: it is out of range however many
    // digits follow, and no run of digits can overflow (long is 32 bits on Windows).
    int value = 0;
    bool outOfRange = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i) {
        if (!outOfRange) {
            value = value * 10 + (text[i] - '0');
            outOfRange = value > kLastFinalActionCode;
        }
    }
    return outOfRange || (negative && value != 0) ? 0 : value;
}

void QV_HOSTCALL OnAppDidInitialize(void* /*clientData*/) {
    // An unset variable counts as an empty text; values are taken exactly as they stand.
    const std::string sequence = platform::ReadEnvironmentVariable("QUORVELLASEQU");
    const std::string finalAction = platform::ReadEnvironmentVariable("QUORVELLAFINAL");
    const std::string destination = platform::ReadEnvironmentVariable("QUORVELLADEST");
    const std::string trailFile = platform::ReadEnvironmentVariable("QUORVELLALOG");
    ForgetLaunchRequest();
    if (sequence.empty()) {
        return;
    }
    const int code = finalAction.empty() ? 0 : ReadFinalActionCode(finalAction);
    CAuditTrail trail(trailFile);
    trail.RecordRunStart(sequence, code, destination, platform::IsRunningSandboxed());
    // Every launched run ends by closing the host, one that could not start too: a host
    // left open after its alert would keep the batch file waiting, and receive the next
    // night's start itself.
    if (const std::string missing = ListMissingTables(); !missing.empty()) {
        const std::string why = "the host does not provide the table " + missing;
        ShowAlertNote(
            ("Quorvella cannot run the batch sequence " + sequence + ": " + why + ".").c_str());
        trail.RecordRunEnd(why);
        CloseHost();
        return;
    }

    CSequenceNode root(false);
    std::string failure;
    if (!root.LoadFromFile(sequence.c_str(), &failure)) {
        root.Release();
        trail.RecordRunEnd("the sequence could not be loaded: " + failure);
        CloseHost();
        return;
    }
    RunSequence(root, code, destination, &trail);
    CloseHost();
    root.Release();
}

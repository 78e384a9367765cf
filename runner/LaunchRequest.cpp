#include "runner/LaunchRequest.h"

#include "host/HostTableNames.h"
#include "host/PlugInState.h"
#include "host/ShowHostError.h"
#include "host/ViewTable.h"
#include "platform/Windowing.h"
#include "runner/AuditTrail.h"
#include "runner/RunDriver.h"
#include "runner/SequenceNode.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

constexpr int kLastFinalActionCode = 5;

// An unset variable counts as an empty text; values are taken exactly as they stand.
std::string ReadVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
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
    // Saturating keeps a long run of digits from overflowing, where atoi's result would be
    // undefined; such a number is out of range either way.
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i) {
        value = std::min<long>(value * 10 + (text[i] - '0'), INT_MAX);
    }
    if (negative) {
        value = -value;
    }
    return value >= 0 && value <= kLastFinalActionCode ? static_cast<int>(value) : 0;
}

void QV_HOSTCALL OnAppDidInitialize(void* /*clientData*/) {
    const std::string sequence = ReadVariable("QUORVELLASEQU");
    const std::string finalAction = ReadVariable("QUORVELLAFINAL");
    const std::string destination = ReadVariable("QUORVELLADEST");
    if (sequence.empty()) {
        return;
    }
    const int code = finalAction.empty() ? 0 : ReadFinalActionCode(finalAction);
    CAuditTrail trail(ReadVariable("QUORVELLALOG"));
    trail.RecordRunStart(sequence, code, destination);
    if (const std::string missing = ListMissingTables(); !missing.empty()) {
        const std::string why = "the host does not provide the table " + missing;
        ShowAlertNote(
            ("Quorvella cannot run the batch sequence " + sequence + ": " + why + ".").c_str());
        trail.RecordRunEnd(why);
        return;
    }

    CSequenceNode root(false);
    if (!root.LoadFromFile(sequence.c_str())) {
        root.Release();
        trail.RecordRunEnd("the sequence could not be loaded");
        return;
    }
    RunSequence(root, code, destination, &trail);
    CloseHost();
    root.Release();
}

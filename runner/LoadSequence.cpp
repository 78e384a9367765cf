// Reading a batch sequence file into a node: the container text through the host's files,
// streams and containers; an action of the XML form read here and put into the host's
// containers (ActionContainers.h).
#include "actions/XmlAction.h"
#include "host/CoreTable.h"
#include "host/ExtraTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "platform/FileRead.h"
#include "runner/ActionContainers.h"
#include "runner/SequenceNode.h"

namespace {

// Enough of a file to tell the two forms apart: what comes before the first tag or brace
// is at most a byte-order mark and some white space.
constexpr std::size_t kFormTellingBytes = 4096;

// The mistakes of an action as one text: the first with its place, and how many follow.
std::string DescribeMistakes(const std::vector<actions::CActionMistake>& mistakes) {
    const actions::CActionMistake& first = mistakes.front();
    std::string text = "line " + std::to_string(first.place.line) + ", column " +
                       std::to_string(first.place.column) + ": " + first.text;
    if (mistakes.size() > 1) {
        text += " (and " + std::to_string(mistakes.size() - 1) + " more mistake" +
                (mistakes.size() > 2 ? "s" : "") + "; minihost --check-sequence lists them all)";
    }
    return text;
}

// Why the XML action at `path` cannot be run, or empty once `node` holds it.
std::string LoadXmlAction(const char* path, CSequenceNode& node) {
    const actions::CXmlLimits limits;
    std::string why;
    const std::optional<std::string> text =
        platform::ReadFileBytes(path, limits.inputBytes, platform::CReadLimit::Refuse, why);
    if (!text) {
        return "the file cannot be read: " + why;
    }
    const actions::CXmlActionRead read = actions::ReadXmlAction(*text, limits);
    if (!read.mistakes.empty()) {
        return DescribeMistakes(read.mistakes);
    }
    return FillFromXmlAction(*read.action, node, why) ? std::string() : why;
}

} // namespace

bool CSequenceNode::LoadFromFile(const char* path, std::string* failure) {
    Release();
    std::string why;

    // A file that cannot be read here goes to the host, whose alert says why.
    if (const std::optional<std::string> start =
            platform::ReadFileBytes(path, kFormTellingBytes, platform::CReadLimit::Cut, why);
        start && actions::IsXmlAction(*start)) {
        why = LoadXmlAction(path, *this);
        if (!why.empty()) {
            ShowAlertNote(
                ("Quorvella cannot run the action " + std::string(path) + ": " + why).c_str());
        }
        if (failure != nullptr) {
            *failure = why;
        }
        return why.empty();
    }
    why.clear();

    // What the frame acquires, given back after it in the reverse order.
    HostFileSys fileSys = nullptr;
    HostPath pathObject = nullptr;
    HostFile file = nullptr;
    HostStream stream = nullptr;
    HostErrorCode openError = 0;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        pathObject = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), path, nullptr);
        openError = SupportFileOpen(fileSys, pathObject, kFileModeRead, &file);
        if (openError != 0) {
            // A refused open raises nothing: the text shown is that of the open's own code,
            // before the path object is given back.
            file = nullptr;
            ShowHostError(openError);
            return;
        }
        stream = SupportStreamOpenFileRead(file, 0);
        if (stream != nullptr) {
            m_handle = ExtraContainerReadFromStream(stream);
        }
    });
    if (stream != nullptr) {
        SupportStreamClose(stream);
    }
    if (file != nullptr) {
        SupportFileClose(file);
    }
    if (pathObject != nullptr) {
        SupportPathRelease(fileSys, pathObject);
    }

    if (!completed) {
        const HostErrorCode raised = CoreGetErrorCode();
        ShowHostError(raised);
        why = GetHostErrorText(raised);
    } else if (openError != 0) {
        why = GetHostErrorText(openError);
    } else if (stream == nullptr) {
        why = "the file could not be read";
    }
    if (failure != nullptr) {
        *failure = why;
    }
    return completed && openError == 0 && stream != nullptr;
}

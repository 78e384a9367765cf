// Reading a batch sequence file into a node, through the host's files, streams and
// containers.
#include "host/CoreTable.h"
#include "host/ExtraTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "runner/SequenceNode.h"

bool CSequenceNode::LoadFromFile(const char* path, std::string* failure) {
    Release();
    std::string why;

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

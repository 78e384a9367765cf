// Paths, files, read streams and folders of the "AcroSupport" table.
#include "minihost/tables/SupportEntries.h"

namespace minihost::support {

HostFileSys QV_HOSTCALL GetDefaultFileSys() {
    RaiseNotProvided("AcroSupport.GetDefaultFileSys");
}

HostPath QV_HOSTCALL PathFromDIPath(HostFileSys /*fileSys*/, const char* /*diPath*/,
                                    HostPath /*relativeTo*/) {
    RaiseNotProvided("AcroSupport.PathFromDIPath");
}

HostPath QV_HOSTCALL PathCreate(HostFileSys /*fileSys*/, HostAtom /*pathSpecType*/,
                                const void* /*pathSpec*/, const void* /*mustBeZero*/) {
    RaiseNotProvided("AcroSupport.PathCreate");
}

HostPath QV_HOSTCALL PathAcquireParent(HostFileSys /*fileSys*/, HostPath /*path*/) {
    RaiseNotProvided("AcroSupport.PathAcquireParent");
}

char* QV_HOSTCALL PathGetDisplayText(HostFileSys /*fileSys*/, HostPath /*path*/) {
    RaiseNotProvided("AcroSupport.PathGetDisplayText");
}

void QV_HOSTCALL PathRelease(HostFileSys /*fileSys*/, HostPath /*path*/) {
    RaiseNotProvided("AcroSupport.PathRelease");
}

HostErrorCode QV_HOSTCALL FileOpen(HostFileSys /*fileSys*/, HostPath /*path*/,
                                   std::uint16_t /*mode*/, HostFile* /*file*/) {
    RaiseNotProvided("AcroSupport.FileOpen");
}

HostErrorCode QV_HOSTCALL FileClose(HostFile /*file*/) {
    RaiseNotProvided("AcroSupport.FileClose");
}

HostPath QV_HOSTCALL FileAcquirePath(HostFile /*file*/) {
    RaiseNotProvided("AcroSupport.FileAcquirePath");
}

HostStream QV_HOSTCALL StreamOpenFileRead(HostFile /*file*/, std::uint32_t /*bufferSize*/) {
    RaiseNotProvided("AcroSupport.StreamOpenFileRead");
}

void QV_HOSTCALL StreamClose(HostStream /*stream*/) {
    RaiseNotProvided("AcroSupport.StreamClose");
}

HostErrorCode QV_HOSTCALL FolderCreate(HostFileSys /*fileSys*/, HostPath /*path*/,
                                       HostBool /*createParents*/) {
    RaiseNotProvided("AcroSupport.FolderCreate");
}

} // namespace minihost::support

// Creating folders for the plug-in ("AcroSupport" FolderCreate).
#pragma once

#include "host/HostTypes.h"
#include "minihost/files/PathNotation.h"

namespace minihost {

class CHostLog;

// Creates the folder `path`, and first its missing parents when `createParents` is
// true. 0 when the folder exists afterwards (made now or before); otherwise an error
// code whose text names the folder. Each folder made is logged.
HostErrorCode CreateFolders(const CPathName& path, bool createParents, CHostLog& log);

} // namespace minihost

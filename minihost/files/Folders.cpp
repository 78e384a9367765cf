#include "minihost/files/Folders.h"

#include "minihost/HostErrors.h"
#include "minihost/HostLog.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/NamedErrors.h"

namespace minihost {
namespace {

void CreateOneFolder(const CPathName& path, CHostLog& log) {
    const std::string text = FormatPlatformPath(path);
    if (IsExistingFolder(text)) {
        return;
    }
    if (path.names.empty()) {
        throw CFileAccessError(CFileAccessError::CKind::Missing, "there is no such drive");
    }
    if (CreateFolder(text)) {
        log.Write("folder", "created " + text);
    }
}

} // namespace

HostErrorCode CreateFolders(const CPathName& path, bool createParents, CHostLog& log) {
    try {
        if (IsExistingFolder(FormatPlatformPath(path))) {
            return 0; // as it mostly is: one look, not one for each folder above
        }
        if (createParents) {
            CPathName ancestor = path;
            ancestor.names.clear();
            CreateOneFolder(ancestor, log);
            for (const std::string& name : path.names) {
                ancestor.names.push_back(name);
                CreateOneFolder(ancestor, log);
            }
        } else {
            CreateOneFolder(path, log);
        }
        return 0;
    } catch (const CFileAccessError& error) {
        return SetNamedError(kErrFolderNotCreated, "Cannot create the folder " +
                                                       FormatPlatformPath(path) + ": " +
                                                       error.what() + ".");
    }
}

} // namespace minihost

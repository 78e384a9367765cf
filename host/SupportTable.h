// The "AcroSupport" table: host memory, error texts, the default file system, path
// objects, files, read streams and folder creation.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

#include <cstdint>

// Mode of SupportFileOpen.
inline constexpr std::uint16_t kFileModeRead = 1;

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_SUPPORT_TABLE(X, P)                                                                      \
    /* A block of `size` bytes, released with MemFree; null when the host has none. */              \
    X(P, MemAlloc, 1, ASmalloc, void*, (std::size_t size), (size))                                  \
    /* Releases a block from MemAlloc or a text the host allocated for the plug-in. */              \
    X(P, MemFree, 3, ASfree, void, (void* block), (block))                                          \
    /* Writes at most size-1 characters of the text of `code`, and a zero, into      */             \
    /* `buffer`; returns `buffer`.                                                   */             \
    X(P, GetErrorString, 4, ASGetErrorString, char*,                                                \
      (HostErrorCode code, char* buffer, std::uint32_t size),                                       \
      (code, buffer, size))                                                                         \
    /* The host's default file system; it belongs to the host.                      */              \
    X(P, GetDefaultFileSys, 21, ASGetDefaultFileSys, HostFileSys, (), ())                           \
    /* A path object for a device-independent path text, relative to `relativeTo`    */             \
    /* (may be null); null when the text cannot be used. Released with PathRelease.  */             \
    X(P, PathFromDIPath, 23, ASFileSysPathFromDIPath, HostPath,                                     \
      (HostFileSys fileSys, const char* diPath, HostPath relativeTo),                               \
      (fileSys, diPath, relativeTo))                                                                \
    /* A path object from `pathSpec`, whose kind is the atom `pathSpecType` ("Cstring": */          \
    /* a platform path text); `mustBeZero` is null. Released with PathRelease.       */             \
    X(P, PathCreate, 52, ASFileSysCreatePathName, HostPath,                                         \
      (HostFileSys fileSys, HostAtom pathSpecType, const void* pathSpec, const void* mustBeZero),   \
      (fileSys, pathSpecType, pathSpec, mustBeZero))                                                \
    /* The parent folder of `path`, or null; released with PathRelease.             */              \
    X(P, PathAcquireParent, 62, ASFileSysAcquireParent, HostPath,                                   \
      (HostFileSys fileSys, HostPath path), (fileSys, path))                                        \
    /* The platform display text of `path`, newly allocated (free it with MemFree),  */             \
    /* or null.                                                                      */             \
    X(P, PathGetDisplayText, 75, ASFileSysDisplayStringFromPath, char*,                             \
      (HostFileSys fileSys, HostPath path), (fileSys, path))                                        \
    /* Releases a path object that the plug-in acquired.                            */              \
    X(P, PathRelease, 25, ASFileSysReleasePath, void,                                               \
      (HostFileSys fileSys, HostPath path), (fileSys, path))                                        \
    /* Opens the file at `path`; 0 and the file in *file, or an error code. Closed   */             \
    /* with FileClose.                                                               */             \
    X(P, FileOpen, 26, ASFileSysOpenFile, HostErrorCode,                                            \
      (HostFileSys fileSys, HostPath path, std::uint16_t mode, HostFile* file),                     \
      (fileSys, path, mode, file))                                                                  \
    X(P, FileClose, 29, ASFileClose, HostErrorCode, (HostFile file), (file))                        \
    /* The path object of an open file; released with PathRelease.                  */              \
    X(P, FileAcquirePath, 37, ASFileAcquirePathName, HostPath, (HostFile file), (file))             \
    /* A read stream on an open file (`bufferSize` 0: the host's default), or null.  */             \
    /* Closed with StreamClose, before the file.                                     */             \
    X(P, StreamOpenFileRead, 40, ASFileStmRdOpen, HostStream,                                       \
      (HostFile file, std::uint32_t bufferSize),                                                    \
      (file, bufferSize))                                                                           \
    X(P, StreamClose, 45, ASStmClose, void, (HostStream stream), (stream))                          \
    /* Creates the folder `path`, and its missing parents when `createParents` is    */             \
    /* true; 0 or an error code. An existing folder is no error.                     */             \
    X(P, FolderCreate, 72, ASFileSysCreateFolder, HostErrorCode,                                    \
      (HostFileSys fileSys, HostPath path, HostBool createParents),                                 \
      (fileSys, path, createParents))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(Support, QV_SUPPORT_TABLE, 130)

inline HostTable GetSupportTableEntries() {
    return g_plugInState.GetImportedTable(HostTableId::AcroSupport).table;
}
QV_DEFINE_TABLE_WRAPPERS(Support, QV_SUPPORT_TABLE)

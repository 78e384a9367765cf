// Paths, files, read streams and folders of the "AcroSupport" table: thin entries over
// minihost's file services (minihost/files/).
#include "minihost/files/FileObjects.h"
#include "minihost/files/Folders.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/SupportEntries.h"

#include <cstdlib>
#include <cstring>

namespace minihost::support {
namespace {

CFileObjects& GetFiles() {
    return CHost::GetCurrent().GetFiles();
}

// The one path kind minihost knows: a platform path text ("Cstring").
constexpr const char* kPathSpecPlatformText = "Cstring";

void RequireArgument(const void* argument, const char* operation, const char* what) {
    if (argument == nullptr) {
        ThrowMisuse(operation, what);
    }
}

// A copy of `text` in host memory, which the plug-in frees with MemFree.
// NOLINTBEGIN(cppcoreguidelines-no-malloc): host memory is C memory, as MemAlloc's is
char* CopyToHostMemory(const std::string& text, const char* operation) {
    auto* block = static_cast<char*>(std::malloc(text.size() + 1));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(block, text.c_str(), text.size() + 1);
    try {
        CHost::GetCurrent().GetLedger().Acquire(block, "memory",
                                                std::string(operation) + " " + text,
                                                [](void* leftover) { std::free(leftover); });
    } catch (...) {
        std::free(block);
        throw;
    }
    return block;
}
// NOLINTEND(cppcoreguidelines-no-malloc)

} // namespace

HostFileSys QV_HOSTCALL GetDefaultFileSys() {
    return Serve<HostFileSys>("AcroSupport.GetDefaultFileSys",
                              [] { return GetFiles().GetDefaultFileSys(); });
}

HostPath QV_HOSTCALL PathFromDIPath(HostFileSys fileSys, const char* diPath, HostPath relativeTo) {
    constexpr const char* kOperation = "AcroSupport.PathFromDIPath";
    return Serve<HostPath>(kOperation, [&] {
        CFileObjects& files = GetFiles();
        files.CheckFileSys(fileSys, kOperation);
        RequireArgument(diPath, kOperation, "no path text");
        const CPathName* base =
            relativeTo != nullptr ? &files.GetPath(relativeTo, kOperation) : nullptr;
        return files.HandOutDIPath(diPath, base, kOperation);
    });
}

HostPath QV_HOSTCALL PathCreate(HostFileSys fileSys, HostAtom pathSpecType, const void* pathSpec,
                                const void* mustBeZero) {
    constexpr const char* kOperation = "AcroSupport.PathCreate";
    return Serve<HostPath>(kOperation, [&] {
        CHost& host = CHost::GetCurrent();
        host.GetFiles().CheckFileSys(fileSys, kOperation);
        RequireArgument(pathSpec, kOperation, "no path text");
        if (mustBeZero != nullptr) {
            ThrowMisuse(kOperation, "a last argument that is not null");
        }
        const std::string* kind = host.GetAtoms().Find(pathSpecType);
        if (kind == nullptr || *kind != kPathSpecPlatformText) {
            ThrowNamedError(kErrBadPath,
                            std::string("This host makes path objects from \"") +
                                kPathSpecPlatformText + "\" path texts only, not from \"" +
                                (kind != nullptr ? *kind : "atom " + std::to_string(pathSpecType)) +
                                "\".");
        }
        return host.GetFiles().HandOutPlatformPath(static_cast<const char*>(pathSpec), kOperation);
    });
}

HostPath QV_HOSTCALL PathAcquireParent(HostFileSys fileSys, HostPath path) {
    constexpr const char* kOperation = "AcroSupport.PathAcquireParent";
    return Serve<HostPath>(kOperation, [&]() -> HostPath {
        CFileObjects& files = GetFiles();
        files.CheckFileSys(fileSys, kOperation);
        auto parent = GetParentPath(files.GetPath(path, kOperation));
        return parent ? files.HandOutPath(std::move(*parent), kOperation) : nullptr;
    });
}

char* QV_HOSTCALL PathGetDisplayText(HostFileSys fileSys, HostPath path) {
    constexpr const char* kOperation = "AcroSupport.PathGetDisplayText";
    return Serve<char*>(kOperation, [&] {
        CFileObjects& files = GetFiles();
        files.CheckFileSys(fileSys, kOperation);
        return CopyToHostMemory(FormatPlatformPath(files.GetPath(path, kOperation)), kOperation);
    });
}

void QV_HOSTCALL PathRelease(HostFileSys fileSys, HostPath path) {
    constexpr const char* kOperation = "AcroSupport.PathRelease";
    if (path == nullptr) {
        return;
    }
    CaptureErrors([&] {
        CFileObjects& files = GetFiles();
        if (fileSys != files.GetDefaultFileSys()) {
            CHost::GetCurrent().ReportMisuse(std::string(kOperation) +
                                             " was given a file system that is not the host's");
        }
        files.ReleasePath(path, kOperation);
    });
}

HostErrorCode QV_HOSTCALL FileOpen(HostFileSys fileSys, HostPath path, std::uint16_t mode,
                                   HostFile* file) {
    constexpr const char* kOperation = "AcroSupport.FileOpen";
    if (file != nullptr) {
        *file = nullptr;
    }
    return Serve<HostErrorCode>(kOperation, [&] {
        CFileObjects& files = GetFiles();
        files.CheckFileSys(fileSys, kOperation);
        RequireArgument(file, kOperation, "nowhere to put the file");
        const CPathName& name = files.GetPath(path, kOperation);
        if (mode != kFileModeRead) {
            return SetNamedError(kErrFileUnreadable, "This host opens files for reading only "
                                                     "(mode 1), not in mode " +
                                                         std::to_string(mode) + ".");
        }
        return files.OpenFile(name, file);
    });
}

HostErrorCode QV_HOSTCALL FileClose(HostFile file) {
    HostErrorCode result = 0;
    const HostErrorCode failure =
        CaptureErrors([&] { result = GetFiles().CloseFile(file, "AcroSupport.FileClose"); });
    return failure != 0 ? failure : result;
}

HostPath QV_HOSTCALL FileAcquirePath(HostFile file) {
    constexpr const char* kOperation = "AcroSupport.FileAcquirePath";
    return Serve<HostPath>(kOperation, [&] {
        CFileObjects& files = GetFiles();
        return files.HandOutPath(files.GetFile(file, kOperation).GetName(), kOperation);
    });
}

HostStream QV_HOSTCALL StreamOpenFileRead(HostFile file, std::uint32_t /*bufferSize*/) {
    // Every size reads the same: the stream holds the whole file.
    constexpr const char* kOperation = "AcroSupport.StreamOpenFileRead";
    return Serve<HostStream>(kOperation, [&] {
        CFileObjects& files = GetFiles();
        return files.OpenStream(files.GetFile(file, kOperation));
    });
}

void QV_HOSTCALL StreamClose(HostStream stream) {
    if (stream == nullptr) {
        return;
    }
    CaptureErrors([&] { GetFiles().CloseStream(stream, "AcroSupport.StreamClose"); });
}

HostErrorCode QV_HOSTCALL FolderCreate(HostFileSys fileSys, HostPath path, HostBool createParents) {
    constexpr const char* kOperation = "AcroSupport.FolderCreate";
    return Serve<HostErrorCode>(kOperation, [&] {
        CHost& host = CHost::GetCurrent();
        host.GetFiles().CheckFileSys(fileSys, kOperation);
        return CreateFolders(host.GetFiles().GetPath(path, kOperation), createParents != kHostFalse,
                             host.GetLog());
    });
}

} // namespace minihost::support

#include "minihost/files/FileObjects.h"

#include "minihost/Host.h"
#include "minihost/HostErrors.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/NamedErrors.h"
#include "platform/CodePage.h"

namespace minihost {

CFileObjects::CFileObjects(CHost& host)
    : m_host(host) {}

CFileObjects::~CFileObjects() = default;

template <class Object>
Object* CFileObjects::Acquire(CHandleTable<Object>& table, std::unique_ptr<Object> object,
                              std::string_view kind, std::string_view detail) {
    Object* handle = table.Add(std::move(object));
    try {
        // Nothing to reclaim: what the plug-in never releases goes with the host.
        m_host.GetLedger().Acquire(handle, kind, detail, nullptr);
    } catch (...) {
        table.Remove(handle);
        throw;
    }
    return handle;
}

HostFileSys CFileObjects::GetDefaultFileSys() {
    return reinterpret_cast<HostFileSys>(&m_fileSystem);
}

void CFileObjects::CheckFileSys(HostFileSys fileSys, std::string_view operation) {
    if (fileSys != GetDefaultFileSys()) {
        ThrowMisuse(operation, "a file system that is not the host's");
    }
}

HostPath CFileObjects::HandOutPath(CPathName name, std::string_view detail) {
    const std::string shown = std::string(detail) + " " + FormatPlatformPath(name);
    return reinterpret_cast<HostPath>(
        Acquire(m_paths, std::make_unique<CPathName>(std::move(name)), "path", shown));
}

HostPath CFileObjects::HandOutPlatformPath(std::string_view text, std::string_view detail) {
    const std::string absolute = MakeAbsolutePlatformPath(std::string(text));
    auto name = ParsePlatformPath(absolute, kHostPathStyle, platform::GetAnsiCodePage());
    if (!name) {
        ThrowNamedError(kErrBadPath, "The path \"" + std::string(text) + "\" cannot be used.");
    }
    return HandOutPath(std::move(*name), detail);
}

HostPath CFileObjects::HandOutDIPath(std::string_view text, const CPathName* relativeTo,
                                     std::string_view detail) {
    auto name = ParseDIPath(text, kHostPathStyle, platform::GetAnsiCodePage(), relativeTo);
    return name ? HandOutPath(std::move(*name), detail) : nullptr;
}

const CPathName& CFileObjects::GetPath(HostPath path, std::string_view operation) {
    const CPathName* name = m_paths.Find(path);
    if (name == nullptr) {
        ThrowMisuse(operation, "a path object that is not live");
    }
    return *name;
}

void CFileObjects::ReleasePath(HostPath path, std::string_view operation) {
    if (m_paths.Find(path) == nullptr || !m_host.GetLedger().Release(path, "path")) {
        m_host.ReportMisuse(std::string(operation) +
                            " was given a path object that is not live (released twice?)");
        return;
    }
    m_paths.Remove(path);
}

HostErrorCode CFileObjects::OpenFile(const CPathName& name, HostFile* file) {
    const std::string text = FormatPlatformPath(name);
    try {
        CheckFileReadable(text);
    } catch (const CFileAccessError& error) {
        const bool missing = error.GetKind() == CFileAccessError::CKind::Missing;
        return SetNamedError(missing ? kErrFileNotFound : kErrFileUnreadable,
                             "Cannot open the file " + text + ": " + error.what() + ".");
    }
    *file = reinterpret_cast<HostFile>(Acquire(m_openFiles, std::make_unique<CFile>(name, false),
                                               "file", "AcroSupport.FileOpen " + text));
    return 0;
}

HostFile CFileObjects::AddDocumentFile(CFile& file) {
    m_documentFiles.emplace(&file, &file);
    return reinterpret_cast<HostFile>(&file);
}

void CFileObjects::RemoveDocumentFile(HostFile file) {
    m_documentFiles.erase(file);
}

CFile& CFileObjects::GetFile(HostFile file, std::string_view operation) {
    if (CFile* opened = m_openFiles.Find(file); opened != nullptr) {
        return *opened;
    }
    if (const auto found = m_documentFiles.find(file); found != m_documentFiles.end()) {
        return *found->second;
    }
    ThrowMisuse(operation, "a file that is not open");
}

HostErrorCode CFileObjects::CloseFile(HostFile file, std::string_view operation) {
    if (m_documentFiles.contains(file)) {
        m_host.ReportMisuse(std::string(operation) +
                            " was given the file of a document, which belongs to the document");
        return kErrBadArgument;
    }
    if (m_openFiles.Find(file) == nullptr || !m_host.GetLedger().Release(file, "file")) {
        m_host.ReportMisuse(std::string(operation) +
                            " was given a file that is not open (closed twice?)");
        return kErrBadArgument;
    }
    m_openFiles.Remove(file);
    return 0;
}

HostStream CFileObjects::OpenStream(const CFile& file) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(file.GetDisplayText());
    } catch (const CFileAccessError& error) {
        m_host.GetLog().Write("file",
                              "no stream on " + file.GetDisplayText() + ": " + error.what());
        return nullptr;
    }
    auto stream = std::make_unique<CReadStream>(file.GetDisplayText(), std::move(bytes));
    return reinterpret_cast<HostStream>(
        Acquire(m_streams, std::move(stream), "stream",
                "AcroSupport.StreamOpenFileRead " + file.GetDisplayText()));
}

const CReadStream& CFileObjects::GetStream(HostStream stream, std::string_view operation) {
    const CReadStream* found = m_streams.Find(stream);
    if (found == nullptr) {
        ThrowMisuse(operation, "a stream that is not open");
    }
    return *found;
}

void CFileObjects::CloseStream(HostStream stream, std::string_view operation) {
    if (m_streams.Find(stream) == nullptr || !m_host.GetLedger().Release(stream, "stream")) {
        m_host.ReportMisuse(std::string(operation) +
                            " was given a stream that is not open (closed twice?)");
        return;
    }
    m_streams.Remove(stream);
}

std::size_t CFileObjects::CountLive() const {
    return m_paths.GetCount() + m_openFiles.GetCount() + m_documentFiles.size() +
           m_streams.GetCount();
}

} // namespace minihost

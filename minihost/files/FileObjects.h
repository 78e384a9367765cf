// minihost's file services: the default file system, and the path objects, open files
// and read streams that it hands out. Whatever the plug-in acquires is a ledger entry
// (kinds "path", "file", "stream") until its release call; a handle that is not live
// is reported as misuse and refused with a host error, never read.
#pragma once

#include "host/HostTypes.h"
#include "minihost/files/File.h"
#include "minihost/files/HandleTable.h"
#include "minihost/files/PathNotation.h"
#include "minihost/files/ReadStream.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace minihost {

class CHost;

class CFileObjects {
public:
    explicit CFileObjects(CHost& host);
    CFileObjects(const CFileObjects&) = delete;
    CFileObjects& operator=(const CFileObjects&) = delete;
    ~CFileObjects();

    // The default file system; it belongs to the host and is never released.
    [[nodiscard]] HostFileSys GetDefaultFileSys();
    // Throws CHostError (after reporting misuse) unless `fileSys` is the default one.
    void CheckFileSys(HostFileSys fileSys, std::string_view operation);

    // --- Path objects: each released with ReleasePath (PathRelease).
    // `detail` says in the ledger where the path came from.
    HostPath HandOutPath(CPathName name, std::string_view detail);
    // A path object for a platform path text; a relative text is taken from the
    // current folder. Throws CHostError (kErrBadPath, its text naming `text`).
    HostPath HandOutPlatformPath(std::string_view text, std::string_view detail);
    // A path object for a DI text, or null when the text cannot be used.
    HostPath HandOutDIPath(std::string_view text, const CPathName* relativeTo,
                           std::string_view detail);
    // The path of a live path object. Throws CHostError for one that is not live.
    const CPathName& GetPath(HostPath path, std::string_view operation);
    void ReleasePath(HostPath path, std::string_view operation);

    // --- Files.
    // Opens the file `name` for reading: 0 and the file (closed with CloseFile), or an
    // error code whose text names the file.
    HostErrorCode OpenFile(const CPathName& name, HostFile* file);
    // Makes the file of a document known; it stays the document's, which must take it
    // back with RemoveDocumentFile before it goes.
    HostFile AddDocumentFile(CFile& file);
    void RemoveDocumentFile(HostFile file);
    CFile& GetFile(HostFile file, std::string_view operation);
    // 0, or kErrBadArgument (misuse reported) for a file that is not the caller's to close.
    HostErrorCode CloseFile(HostFile file, std::string_view operation);

    // --- Read streams: each closed with CloseStream (StreamClose).
    // A stream with every byte of `file`, or null when they cannot be read (logged).
    HostStream OpenStream(const CFile& file);
    const CReadStream& GetStream(HostStream stream, std::string_view operation);
    void CloseStream(HostStream stream, std::string_view operation);

    // How many path objects, files and streams are live (documents' files included).
    [[nodiscard]] std::size_t CountLive() const;

private:
    template <class Object>
    Object* Acquire(CHandleTable<Object>& table, std::unique_ptr<Object> object,
                    std::string_view kind, std::string_view detail);

    CHost& m_host;
    struct CFileSystem {
        std::uint32_t id = 0;
    } m_fileSystem;
    CHandleTable<CPathName> m_paths;
    CHandleTable<CFile> m_openFiles;
    std::map<const void*, CFile*, std::less<>> m_documentFiles;
    CHandleTable<CReadStream> m_streams;
};

} // namespace minihost

// minihost's document service: the documents open in the host, each a ledger entry
// (kind "document") from DocOpen to DocClose, and the standard progress monitor of
// their saves. A handle that is not an open document is reported as misuse and refused.
#pragma once

#include "host/HostTypes.h"
#include "minihost/documents/FileChange.h"
#include "minihost/documents/ProgressMonitor.h"
#include "minihost/files/HandleTable.h"
#include "minihost/files/PathNotation.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace minihost {

class CDocument;
class CHost;

class CDocuments {
public:
    explicit CDocuments(CHost& host);
    CDocuments(const CDocuments&) = delete;
    CDocuments& operator=(const CDocuments&) = delete;
    ~CDocuments();

    // Opens the PDF file `name`; closed with Close. Throws CHostError whose text names
    // the file. Logged either way.
    HostDoc Open(const CPathName& name, bool repair);
    // The open document of `doc`. Throws CHostError (after reporting misuse) for a
    // handle that is not an open document.
    CDocument& Get(HostDoc doc, std::string_view operation);
    void Close(HostDoc doc, std::string_view operation);

    // The file of `doc`; it belongs to the document.
    HostFile GetFile(HostDoc doc, std::string_view operation);

    // Saves `doc` to `target` (DocSave's flags: kSaveCopy keeps the document's file;
    // every save is full and drops unreferenced objects). `monitor` is null or the
    // standard monitor with its client data. `fault` (0: none) strikes half-way.
    void Save(HostDoc doc, std::uint16_t flags, const CPathName& target,
              HostProgressMonitor monitor, void* monitorData, HostErrorCode fault,
              std::string_view operation);

    CProgressMonitor& GetStandardMonitor() { return m_monitor; }

    // Another program changes the file of the document opened last, open or closed
    // since (nothing when none was opened); logged.
    void ChangeLastOpenedFile(const CFileChange& change);

private:
    CHost& m_host;
    CProgressMonitor m_monitor;
    CHandleTable<CDocument> m_documents;
    std::string m_lastOpenedPath;
};

} // namespace minihost

#include "minihost/documents/Documents.h"

#include "host/ModelTable.h"
#include "minihost/Host.h"
#include "minihost/HostErrors.h"
#include "minihost/documents/Document.h"
#include "minihost/documents/DocumentSaving.h"
#include "minihost/files/NamedErrors.h"

namespace minihost {

CDocuments::CDocuments(CHost& host)
    : m_host(host)
    , m_monitor(host.GetLog()) {}

// Documents never closed go with the host, after the file service has stopped looking
// at their files.
CDocuments::~CDocuments() = default;

HostDoc CDocuments::Open(const CPathName& name, bool repair) {
    const std::string text = FormatPlatformPath(name);
    std::unique_ptr<CDocument> opened;
    try {
        opened = CDocument::Open(name, repair);
    } catch (const CHostError& error) {
        m_host.GetLog().Write("document",
                              "cannot open " + text + ": " + m_host.GetErrorText(error.GetCode()));
        throw;
    }
    const std::string shown = text + " (" + std::to_string(opened->GetOpenedPageCount()) +
                              " pages" + (opened->WasRepaired() ? ", repaired)" : ")");
    CDocument* document = m_documents.Add(std::move(opened));
    try {
        m_host.GetLedger().Acquire(document, "document", "PDModel.DocOpen " + text, nullptr);
        m_host.GetFiles().AddDocumentFile(document->GetFile());
    } catch (...) {
        m_host.GetLedger().Release(document, "document");
        m_documents.Remove(document);
        throw;
    }
    m_host.GetLog().Write("document", "opened " + shown);
    m_lastOpenedPath = text;
    return reinterpret_cast<HostDoc>(document);
}

CDocument& CDocuments::Get(HostDoc doc, std::string_view operation) {
    CDocument* document = m_documents.Find(doc);
    if (document == nullptr) {
        ThrowMisuse(operation, "a document that is not open");
    }
    return *document;
}

void CDocuments::Close(HostDoc doc, std::string_view operation) {
    CDocument* document = m_documents.Find(doc);
    if (document == nullptr || !m_host.GetLedger().Release(doc, "document")) {
        m_host.ReportMisuse(std::string(operation) +
                            " was given a document that is not open (closed twice?)");
        return;
    }
    const std::string text = document->GetPathText();
    m_host.GetFiles().RemoveDocumentFile(reinterpret_cast<HostFile>(&document->GetFile()));
    m_documents.Remove(doc);
    m_host.GetLog().Write("document", "closed " + text);
}

void CDocuments::ChangeLastOpenedFile(const CFileChange& change) {
    m_host.GetLog().Write("change", m_lastOpenedPath.empty()
                                        ? "no document opened before call " +
                                              std::to_string(change.call) + ": nothing changed"
                                        : ApplyFileChange(change, m_lastOpenedPath));
}

HostFile CDocuments::GetFile(HostDoc doc, std::string_view operation) {
    return reinterpret_cast<HostFile>(&Get(doc, operation).GetFile());
}

void CDocuments::Save(HostDoc doc, std::uint16_t flags, const CPathName& target,
                      HostProgressMonitor monitor, void* monitorData, HostErrorCode fault,
                      std::string_view operation) {
    CDocument& document = Get(doc, operation);
    CProgressMonitor* progress = nullptr;
    if (monitor != nullptr) {
        if (monitor != m_monitor.GetHandle() || monitorData != m_monitor.GetClientData()) {
            ThrowMisuse(operation, "a progress monitor or client data that is not the host's");
        }
        progress = &m_monitor;
    }
    const std::string text = FormatPlatformPath(target);
    CSaveHooks hooks;
    if (progress != nullptr) {
        progress->Begin("saving " + text);
        hooks.reportProgress = [progress](int percent) {
            progress->Report(percent);
        };
    }
    if (m_host.TakeDeathHalfWay()) {
        hooks.strikeHalfWay = [&](const std::string& temporary, std::uint64_t written) {
            m_host.Die("in " + std::string(operation) + " after " + std::to_string(written) +
                       " bytes of " + temporary);
        };
    } else if (fault != 0) {
        hooks.strikeHalfWay = [&](const std::string& temporary, std::uint64_t written) {
            m_host.GetLog().Write("fault", std::string(operation) + " strikes after " +
                                               std::to_string(written) + " bytes of " + temporary);
            throw CHostError(fault);
        };
    }
    hooks.reportRepairs = [&](const CRepairs& repairs) {
        m_host.GetLog().Write(
            "document", "repaired " + document.GetReadPathText() + " while saving " + text + ": " +
                            repairs.first +
                            (repairs.warnings > 1
                                 ? " (" + std::to_string(repairs.warnings) + " warnings in all)"
                                 : ""));
    };
    std::uint64_t size = 0;
    document.LetGoOfFile(); // the save may replace it
    try {
        size = SaveDocument(document, target, m_host.GetOptions().saveDurability, hooks);
    } catch (const CHostError& error) {
        document.HoldFileAgain();
        if (progress != nullptr) {
            progress->End(false);
        }
        m_host.GetLog().Write("document", "save to " + text +
                                              " failed: " + m_host.GetErrorText(error.GetCode()));
        throw;
    }
    if (progress != nullptr) {
        progress->End(true);
    }
    if ((flags & kSaveCopy) == 0) {
        document.GetFile().SetName(target); // the document's file is now the saved one
    }
    document.HoldFileAgain();
    m_host.GetLog().Write("document",
                          "saved " + text + " (" +
                              DescribeWrittenSize(size, m_host.GetOptions().saveDurability) + ")");
}

} // namespace minihost

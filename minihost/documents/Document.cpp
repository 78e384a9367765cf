#include "minihost/documents/Document.h"

#include "minihost/HostErrors.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/NamedErrors.h"

#include <exception>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

namespace minihost {
namespace {

// A PDF file starts with "%PDF-" within its first 1024 bytes.
bool HasPdfHeader(const std::string& bytes) {
    constexpr std::size_t kHeaderWindow = 1024;
    return bytes.substr(0, kHeaderWindow).find("%PDF-") != std::string::npos;
}

} // namespace

CDocument::CDocument(CFile file, std::string bytes)
    : m_file(std::move(file))
    , m_bytes(std::move(bytes))
    , m_pdf(std::make_unique<QPDF>()) {}

CDocument::~CDocument() = default;

std::unique_ptr<CDocument> CDocument::Open(const CPathName& name, bool repair) {
    const std::string text = FormatPlatformPath(name);
    const std::string cannot = "Cannot open the document " + text + ": ";
    CFileHold hold;
    const bool held = hold.Take(text);
    std::string bytes;
    try {
        bytes = ReadWholeFile(text);
    } catch (const CFileAccessError& error) {
        const bool missing = error.GetKind() == CFileAccessError::CKind::Missing;
        ThrowNamedError(missing ? kErrFileNotFound : kErrFileUnreadable,
                        cannot + error.what() + ".");
    }
    if (!held) {
        ThrowNamedError(kErrFileUnreadable, cannot + "another program has it open for writing.");
    }
    if (!HasPdfHeader(bytes)) {
        ThrowNamedError(kErrNotPdf, cannot + "it is not a PDF file.");
    }

    std::unique_ptr<CDocument> document(new CDocument(CFile(name, true), std::move(bytes)));
    document->m_hold = std::move(hold);
    QPDF& pdf = document->GetPdf();
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(repair);
    try {
        pdf.processMemoryFile(text.c_str(), document->m_bytes.data(), document->m_bytes.size());
        // The page tree is read now, so that damage there shows at open.
        document->m_openedPageCount = QPDFPageDocumentHelper(pdf).getAllPages().size();
    } catch (const QPDFExc& error) {
        if (error.getErrorCode() == qpdf_e_password) {
            ThrowNamedError(kErrPdfPassword, cannot + "it is protected by a password.");
        }
        ThrowNamedError(kErrPdfDamaged,
                        cannot + "it is damaged beyond repair (" + error.getMessageDetail() + ").");
    } catch (const std::exception& error) {
        ThrowNamedError(kErrPdfDamaged,
                        cannot + "it is damaged beyond repair (" + error.what() + ").");
    }
    document->m_repaired = pdf.anyWarnings();
    return document;
}

} // namespace minihost

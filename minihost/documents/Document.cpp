#include "minihost/documents/Document.h"

#include "minihost/HostErrors.h"
#include "minihost/documents/BufferedFileSource.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/NamedErrors.h"

#include <array>
#include <cstdio>
#include <exception>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <string_view>

namespace minihost {
namespace {

// A PDF file starts with "%PDF-" within its first 1024 bytes. The stream is left at its
// start.
bool HasPdfHeader(std::FILE* file) {
    constexpr std::size_t kHeaderWindow = 1024;
    std::array<char, kHeaderWindow> start{};
    const std::size_t read = std::fread(start.data(), 1, start.size(), file);
    std::rewind(file);
    return std::string_view(start.data(), read).find("%PDF-") != std::string_view::npos;
}

// A stream that has not yet been handed to qpdf, closed when it goes.
struct CStreamCloser {
    void operator()(std::FILE* file) const { static_cast<void>(std::fclose(file)); }
};

// Raises the host's error for a file that cannot be opened, after `cannot`.
[[noreturn]] void RefuseToOpen(const std::string& cannot, const CFileAccessError& error) {
    const bool missing = error.GetKind() == CFileAccessError::CKind::Missing;
    ThrowNamedError(missing ? kErrFileNotFound : kErrFileUnreadable, cannot + error.what() + ".");
}

// Whether qpdf went on without data that it could not read, where it only warns: a read
// error (the source's or the system's), or the file ending inside a stream's data, which
// qpdf then writes cut short or empty. A stream length that was wrong, a cross-reference
// table rebuilt, a stream that does not decode (written as it is) lose nothing.
bool MeansLostContent(const QPDFExc& warning) {
    if (warning.getErrorCode() == qpdf_e_system) {
        return true;
    }
    const std::string& detail = warning.getMessageDetail();
    return detail == "unexpected EOF reading stream data" ||
           detail.starts_with("unable to recover stream data");
}

// qpdf's words for `warning`, without the file's name, which the texts around it give.
std::string DescribeWarning(const QPDFExc& warning) {
    std::string where = warning.getObject();
    if (warning.getFilePosition() > 0) {
        where += (where.empty() ? "" : ", ") + std::string("offset ") +
                 std::to_string(warning.getFilePosition());
    }
    return (where.empty() ? "" : where + ": ") + warning.getMessageDetail();
}

} // namespace

CDocument::CDocument(CFile file)
    : m_file(std::move(file))
    , m_pdf(std::make_unique<QPDF>()) {}

CDocument::~CDocument() = default;

std::unique_ptr<CDocument> CDocument::Open(const CPathName& name, bool repair) {
    const std::string text = FormatPlatformPath(name);
    const std::string cannot = "Cannot open the document " + text + ": ";
    CFileHold hold;
    if (!hold.Take(text)) {
        // Asked again, with every sharing allowed, to tell what is wrong with it.
        try {
            CheckFileReadable(text);
        } catch (const CFileAccessError& error) {
            RefuseToOpen(cannot, error);
        }
        ThrowNamedError(kErrFileUnreadable, cannot + "another program has it open for writing.");
    }
    std::unique_ptr<std::FILE, CStreamCloser> stream;
    std::uint64_t size = 0;
    try {
        stream.reset(OpenFileForReading(text, size));
    } catch (const CFileAccessError& error) {
        RefuseToOpen(cannot, error);
    }
    if (!HasPdfHeader(stream.get())) {
        ThrowNamedError(kErrNotPdf, cannot + "it is not a PDF file.");
    }

    std::unique_ptr<CDocument> document(new CDocument(CFile(name, true)));
    document->m_hold = std::move(hold);
    document->m_openedSize = size;
    document->m_readPathText = text;
    QPDF& pdf = document->GetPdf();
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(repair);
    try {
        // The source owns the stream from here, and closes it when the document goes.
        auto source = std::make_shared<CBufferedFileSource>(text, stream.get());
        static_cast<void>(stream.release()); // the source has it now
        pdf.processInputSource(source);
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
    // A cut linearised file keeps its first trailer but loses its page tree: saved, it
    // would be empty.
    if (document->m_openedPageCount == 0) {
        ThrowNamedError(kErrPdfDamaged, cannot + "it has no pages.");
    }
    document->m_repaired =
        document->TakeReadWarnings().warnings > 0 || !document->m_lostContent.empty();
    return document;
}

CRepairs CDocument::TakeReadWarnings() {
    CRepairs repairs;
    for (const QPDFExc& warning : m_pdf->getWarnings()) {
        if (MeansLostContent(warning)) {
            if (m_lostContent.empty()) {
                m_lostContent = DescribeWarning(warning);
            }
        } else if (repairs.warnings++ == 0) {
            repairs.first = DescribeWarning(warning);
        }
    }
    return repairs;
}

} // namespace minihost

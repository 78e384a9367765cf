// An open PDF document: the object behind a HostDoc handle. Other services reach it
// through CDocuments::Get: commands change its QPDF and its save settings, conversions
// read it. qpdf reads the file as it needs (a page's images when they are written, not at
// open), so that a document of a gigabyte takes the memory of what is being worked on.
// The file stays held while the document is open, as the real host holds it (on Windows
// it can then be neither moved nor deleted), and is let go during a save, which may
// replace it while qpdf still reads the file it opened.
#pragma once

#include "minihost/documents/SaveSettings.h"
#include "minihost/files/File.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/PathNotation.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class QPDF; // qpdf's document: include <qpdf/QPDF.hh> to use it

namespace minihost {

// The damage that qpdf worked round in what it read, as it reported it in warnings.
struct CRepairs {
    std::size_t warnings = 0;
    std::string first; // qpdf's words for the first, e.g. "object 4 0, offset 612: ..."
};

class CDocument {
public:
    // Opens the PDF file `name`, repairing damage when `repair` is true. Throws
    // CHostError whose text names the file: missing, not a PDF, protected by a
    // password, damaged beyond repair, or without pages.
    static std::unique_ptr<CDocument> Open(const CPathName& name, bool repair);

    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    ~CDocument();

    QPDF& GetPdf() { return *m_pdf; }
    CSaveSettings& GetSaveSettings() { return m_saveSettings; }
    // The document's file: after a full save to another path, the saved file.
    CFile& GetFile() { return m_file; }
    [[nodiscard]] const std::string& GetPathText() const { return m_file.GetDisplayText(); }

    // A save lets go of the document's file and holds the document's file again after
    // it (the saved one, after a full save to another path).
    void LetGoOfFile() { m_hold.Release(); }
    void HoldFileAgain() { static_cast<void>(m_hold.Take(GetPathText())); }

    // Takes the warnings that qpdf gave since it was last asked (while a command, a
    // conversion or a save read the file) and returns the repairs among them. A loss of
    // content is kept for good, see GetLostContent.
    CRepairs TakeReadWarnings();
    // qpdf's words for the first content that it could not read from the document's
    // file (a read error, or the file ending before a stream's data); empty when none.
    // Kept once found: qpdf hands lost data on as empty or null, and says so only once.
    [[nodiscard]] const std::string& GetLostContent() const { return m_lostContent; }
    // The file that qpdf reads: the one opened, even after a save has replaced it.
    [[nodiscard]] const std::string& GetReadPathText() const { return m_readPathText; }

    // As found at open.
    [[nodiscard]] std::size_t GetOpenedPageCount() const { return m_openedPageCount; }
    [[nodiscard]] bool WasRepaired() const { return m_repaired; }
    [[nodiscard]] std::uint64_t GetOpenedSize() const { return m_openedSize; }

private:
    explicit CDocument(CFile file);

    CFile m_file;
    CFileHold m_hold;
    std::unique_ptr<QPDF> m_pdf; // reads the file it opened, which it closes when it goes
    std::string m_readPathText;
    std::string m_lostContent;
    std::uint64_t m_openedSize = 0;
    CSaveSettings m_saveSettings;
    std::size_t m_openedPageCount = 0;
    bool m_repaired = false;
};

} // namespace minihost

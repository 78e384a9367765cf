// An open file of the host: the object behind a HostFile handle. It holds no platform
// file handle (streams read the file when they are opened), so a document's own file
// can be replaced by a save while the document is open, on Windows too.
#pragma once

#include "minihost/files/PathNotation.h"

#include <string>
#include <utility>

namespace minihost {

class CFile {
public:
    // `ofDocument`: the file belongs to an open document rather than to whoever opened it.
    CFile(CPathName name, bool ofDocument)
        : m_name(std::move(name))
        , m_displayText(FormatPlatformPath(m_name))
        , m_ofDocument(ofDocument) {}

    [[nodiscard]] const CPathName& GetName() const { return m_name; }
    // The platform path text.
    [[nodiscard]] const std::string& GetDisplayText() const { return m_displayText; }
    [[nodiscard]] bool BelongsToDocument() const { return m_ofDocument; }

    // The file is now the one at `name` (a document saved to another path).
    void SetName(CPathName name) {
        m_name = std::move(name);
        m_displayText = FormatPlatformPath(m_name);
    }

private:
    CPathName m_name;
    std::string m_displayText;
    bool m_ofDocument;
};

} // namespace minihost

#include "minihost/checks/SequenceCheck.h"

#include "actions/XmlAction.h"
#include "minihost/checks/SequenceMeaning.h"
#include "minihost/checks/XmlActionCheck.h"
#include "minihost/containers/SequenceForm.h"
#include "minihost/files/FileAccess.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace minihost {

int CheckSequenceFile(const std::string& file, bool strict, std::ostream& out, std::ostream& err) {
    // Read as the host reads it: a path text in the system code page, a regular file only.
    std::string bytes;
    try {
        bytes = ReadWholeFile(file);
    } catch (const CFileAccessError& error) {
        err << "minihost: cannot read the sequence file " << file << ": " << error.what() << "\n";
        return 1;
    }
    // Both forms are ".sequ": an action of hosts XI and later is XML.
    if (actions::IsXmlAction(bytes)) {
        return CheckXmlActionFile(file, bytes, strict, out, err);
    }
    const unsigned codePage = platform::GetAnsiCodePage();
    CSequencePositions positions;
    const CSequenceFormResult read = ParseSequenceForm(bytes, codePage, &positions);
    if (read.error) {
        err << FormatSequenceFormError(file, *read.error) << "\n";
        return 1;
    }
    if (read.container == nullptr) {
        out << "# no container: the file holds only white space and comments\n";
        return 0;
    }
    bool anyError = false;
    bool anyWarning = false;
    std::vector<CSequenceFinding> findings =
        CheckSequenceMeaning(*read.container, positions, codePage);
    // In the order of the file, as a reader goes through it.
    std::stable_sort(findings.begin(), findings.end(), [](const auto& a, const auto& b) {
        return std::pair(a.where.line, a.where.column) < std::pair(b.where.line, b.where.column);
    });
    for (const CSequenceFinding& finding : findings) {
        anyError = anyError || !finding.isWarning;
        anyWarning = anyWarning || finding.isWarning;
        err << file << ":" << finding.where.line << ":" << finding.where.column << ": "
            << (finding.isWarning ? "warning: " : "error: ") << finding.message << "\n";
    }
    if (anyError) {
        return 1;
    }
    out << PrintSequenceForm(*read.container, codePage);
    return strict && anyWarning ? 1 : 0;
}

} // namespace minihost

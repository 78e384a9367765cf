#include "minihost/containers/SequenceCheck.h"

#include "minihost/containers/SequenceForm.h"
#include "minihost/files/FileAccess.h"
#include "platform/CodePage.h"

#include <string>

namespace minihost {

int CheckSequenceFile(const std::string& file, std::ostream& out, std::ostream& err) {
    // Read as the host reads it: a path text in the system code page, a regular file only.
    std::string bytes;
    try {
        bytes = ReadWholeFile(file);
    } catch (const CFileAccessError& error) {
        err << "minihost: cannot read the sequence file " << file << ": " << error.what() << "\n";
        return 1;
    }
    const CSequenceFormResult read = ParseSequenceForm(bytes, platform::GetAnsiCodePage());
    if (read.error) {
        err << FormatSequenceFormError(file, *read.error) << "\n";
        return 1;
    }
    if (read.container == nullptr) {
        out << "# no container: the file holds only white space and comments\n";
        return 0;
    }
    out << PrintSequenceForm(*read.container, platform::GetAnsiCodePage());
    return 0;
}

} // namespace minihost

#include "minihost/containers/SequenceCheck.h"

#include "minihost/containers/SequenceForm.h"
#include "platform/CodePage.h"

#include <fstream>
#include <iterator>
#include <string>

namespace minihost {

int CheckSequenceFile(const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    std::error_code error;
    std::ifstream stream(file, std::ios::binary);
    if (!std::filesystem::is_regular_file(file, error) || !stream.is_open()) {
        err << "minihost: cannot read the sequence file " << file.string() << "\n";
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(stream)),
                            std::istreambuf_iterator<char>());
    const CSequenceFormResult read = ParseSequenceForm(bytes, platform::GetAnsiCodePage());
    if (read.error) {
        err << FormatSequenceFormError(file.string(), *read.error) << "\n";
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

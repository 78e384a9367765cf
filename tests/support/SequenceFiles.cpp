#include "tests/support/SequenceFiles.h"

#include "minihost/containers/SequenceForm.h"
#include "minihost/files/PathNotation.h"
#include "platform/CodePage.h"
#include "tests/support/FileContents.h"

#include <fstream>
#include <stdexcept>

namespace testing_support {

std::string ToDIPath(const std::filesystem::path& path) {
    const std::string text = ToPlatformText(path);
    const auto di = minihost::ConvertPlatformPathToDI(text, minihost::kHostPathStyle,
                                                      platform::GetAnsiCodePage());
    if (!di) {
        throw std::runtime_error("no device-independent path for " + text);
    }
    return *di;
}

std::unique_ptr<minihost::CContainer> MakeDIContainer(const std::filesystem::path& path) {
    auto container = std::make_unique<minihost::CContainer>();
    container->Put("DI", ToDIPath(path));
    return container;
}

void WriteSequenceFile(const std::filesystem::path& file, const minihost::CContainer& container) {
    std::ofstream(file, std::ios::binary)
        << minihost::PrintSequenceForm(container, platform::GetAnsiCodePage());
}

} // namespace testing_support

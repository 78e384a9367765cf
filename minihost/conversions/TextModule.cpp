#include "minihost/conversions/TextModule.h"

#include "minihost/MainWindow.h"
#include "minihost/ModuleLibrary.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace minihost {

CExtractPdfText LoadTextModule(const std::filesystem::path& file) {
    std::string error;
    std::unique_ptr<CModuleLibrary> module = CModuleLibrary::Load(file, error);
    if (module == nullptr) {
        throw std::runtime_error("the text module " + file.string() +
                                 " cannot be loaded: " + error);
    }
    auto* extract = reinterpret_cast<CExtractPdfText>(module->FindExport(kExtractPdfTextExport));
    if (extract == nullptr) {
        throw std::runtime_error("the text module " + file.string() + " lacks " +
                                 kExtractPdfTextExport);
    }
    // Kept loaded: the entry is used until the program ends.
    static std::vector<std::unique_ptr<CModuleLibrary>> loaded;
    loaded.push_back(std::move(module));
    return extract;
}

std::filesystem::path GetTextModuleFile() {
    return GetExecutableFolder() / QV_TEXT_MODULE_FILE;
}

} // namespace minihost

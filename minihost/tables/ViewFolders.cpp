// The host's special folders of "AcroView": where it keeps actions, as --sequences-folder
// says; every other kind of folder is one that minihost does not keep.
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ViewEntries.h"

#include <filesystem>
#include <system_error>

namespace minihost::view {
namespace {

constexpr HostErrorCode kSpecialFolderNotCreated = 3;

} // namespace

HostErrorCode QV_HOSTCALL AcquireSpecialFolderPath(std::int32_t category, std::int32_t folder,
                                                   HostBool create, HostFileSys* fileSys,
                                                   HostPath* path) {
    constexpr const char* kOperation = "AcroView.AcquireSpecialFolderPath";
    return Serve<HostErrorCode>(kOperation, [&]() -> HostErrorCode {
        if (path == nullptr) {
            ThrowMisuse(kOperation, "no place for the path");
        }
        *path = nullptr;
        CHost& host = CHost::GetCurrent();
        const bool user = category == kSpecialCategoryUser;
        if (folder != kSpecialFolderSequences || (!user && category != kSpecialCategoryApp)) {
            host.GetLog().Write("unavailable", std::string(kOperation) + ": category " +
                                                   std::to_string(category) + ", folder " +
                                                   std::to_string(folder) +
                                                   "; only the Sequences folder (3) of the user "
                                                   "(0) or the application (1) is kept");
            return kSpecialFolderError;
        }
        const CHostOptions& options = host.GetOptions();
        const std::optional<std::string>& kept =
            user ? options.userSequencesFolder : options.appSequencesFolder;
        const std::string which = user ? "the user's actions" : "the host's own actions";
        std::error_code error;
        if (!kept || (!std::filesystem::is_directory(*kept, error) && create == kHostFalse)) {
            host.GetLog().Write("folder", which + ": none");
            return kSpecialFolderError; // as Windows answers for a folder not there
        }
        if (!std::filesystem::is_directory(*kept, error) &&
            !std::filesystem::create_directories(*kept, error)) {
            host.GetLog().Write("folder", which + ": " + *kept + " could not be made");
            return kSpecialFolderNotCreated;
        }
        *path = host.GetFiles().HandOutPlatformPath(*kept, kOperation);
        if (fileSys != nullptr) {
            *fileSys = host.GetFiles().GetDefaultFileSys();
        }
        host.GetLog().Write("folder", which + ": " + *kept);
        return kSpecialFolderOkay;
    });
}

} // namespace minihost::view

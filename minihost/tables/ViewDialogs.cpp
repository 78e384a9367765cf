// The open-files and choose-folder dialogs of the "AcroView" table: the answers come
// from minihost/dialogs/, and are handed out as path objects of the default file system.
#include "minihost/dialogs/FileDialogs.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ViewEntries.h"

#include <cstdlib>
#include <limits>
#include <utility>

namespace minihost::view {
namespace {

void CheckParams(const HostFileDialogParams* params, const char* operation) {
    if (params == nullptr) {
        ThrowMisuse(operation, "no parameter block");
    }
    if (params->size != sizeof(HostFileDialogParams)) {
        ThrowMisuse(operation, "a parameter block of " + std::to_string(params->size) +
                                   " bytes instead of " +
                                   std::to_string(sizeof(HostFileDialogParams)));
    }
}

// The platform path of the dialog's initial folder; empty when none is given.
std::string FindInitialFolder(const HostFileDialogParams& params, const char* operation) {
    if (params.initialPath == nullptr) {
        return {};
    }
    return FormatPlatformPath(
        CHost::GetCurrent().GetFiles().GetPath(params.initialPath, operation));
}

// The array of path objects that OpenFilesDialog hands out, in host memory: until it is
// handed over, whatever it holds goes back if a later step throws.
// NOLINTBEGIN(cppcoreguidelines-no-malloc): host memory is C memory, as MemAlloc's is
class CPathArray {
public:
    CPathArray(std::size_t count, const char* operation)
        : m_operation(operation)
        , m_paths(Allocate(count)) {
        try {
            CHost::GetCurrent().GetLedger().Acquire(m_paths, "memory",
                                                    std::string(operation) + " " +
                                                        std::to_string(count) + " path(s)",
                                                    [](void* leftover) { std::free(leftover); });
        } catch (...) {
            std::free(m_paths);
            throw;
        }
    }
    CPathArray(const CPathArray&) = delete;
    CPathArray& operator=(const CPathArray&) = delete;
    ~CPathArray() {
        if (m_paths == nullptr) {
            return;
        }
        CFileObjects& files = CHost::GetCurrent().GetFiles();
        for (std::size_t i = 0; i < m_filled; ++i) {
            files.ReleasePath(m_paths[i], m_operation);
        }
        CHost::GetCurrent().GetLedger().Release(m_paths, "memory");
        std::free(m_paths);
    }

    void Add(HostPath path) { m_paths[m_filled++] = path; }

    static HostPath* Allocate(std::size_t count) {
        // NOLINTNEXTLINE(bugprone-sizeof-expression): the array holds handles, which are pointers
        auto* paths = static_cast<HostPath*>(std::calloc(count, sizeof(HostPath)));
        if (paths == nullptr) {
            throw std::bad_alloc();
        }
        return paths;
    }

    // The array, now the plug-in's: it frees it with MemFree.
    HostPath* HandOver() { return std::exchange(m_paths, nullptr); }

private:
    const char* m_operation;
    HostPath* m_paths = nullptr;
    std::size_t m_filled = 0;
};
// NOLINTEND(cppcoreguidelines-no-malloc)

} // namespace

HostBool QV_HOSTCALL OpenFilesDialog(HostFileDialogParams* params, HostFileSys* fileSys,
                                     HostPath** paths, std::uint16_t* pathCount,
                                     std::int16_t* filterIndex) {
    constexpr const char* kOperation = "AcroView.OpenFilesDialog";
    return Serve<HostBool>(kOperation, [&]() -> HostBool {
        CheckParams(params, kOperation);
        if (paths == nullptr || pathCount == nullptr) {
            ThrowMisuse(kOperation, "no place for the chosen files or their count");
        }
        *paths = nullptr;
        *pathCount = 0;
        CHost& host = CHost::GetCurrent();
        if (const std::string initial = FindInitialFolder(*params, kOperation); !initial.empty()) {
            host.GetLog().Write("dialog", "open files, starting in \"" + initial + "\"");
        }
        const std::vector<std::string> files = OpenFiles(host, params->flags);
        if (files.empty()) {
            return kHostFalse;
        }
        if (files.size() > std::numeric_limits<std::uint16_t>::max()) {
            ThrowNamedError(kErrBadArgument, "More files were picked than the count can hold.");
        }
        CPathArray array(files.size(), kOperation);
        for (const std::string& file : files) {
            array.Add(host.GetFiles().HandOutPlatformPath(file, kOperation));
        }
        *paths = array.HandOver();
        *pathCount = static_cast<std::uint16_t>(files.size());
        if (fileSys != nullptr) {
            *fileSys = host.GetFiles().GetDefaultFileSys();
        }
        if (filterIndex != nullptr) {
            *filterIndex = 0;
        }
        return kHostTrue;
    });
}

HostBool QV_HOSTCALL ChooseFolderDialog(HostFileDialogParams* params, HostFileSys* fileSys,
                                        HostPath* folder) {
    constexpr const char* kOperation = "AcroView.ChooseFolderDialog";
    return Serve<HostBool>(kOperation, [&]() -> HostBool {
        CheckParams(params, kOperation);
        if (folder == nullptr) {
            ThrowMisuse(kOperation, "no place for the chosen folder");
        }
        *folder = nullptr;
        CHost& host = CHost::GetCurrent();
        const std::optional<std::string> chosen =
            ChooseFolder(host, FindInitialFolder(*params, kOperation));
        if (!chosen) {
            return kHostFalse;
        }
        *folder = host.GetFiles().HandOutPlatformPath(*chosen, kOperation);
        if (fileSys != nullptr) {
            *fileSys = host.GetFiles().GetDefaultFileSys();
        }
        return kHostTrue;
    });
}

} // namespace minihost::view

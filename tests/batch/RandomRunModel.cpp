#include "tests/batch/RandomRunModel.h"

#include "tests/support/FileContents.h"

#include <algorithm>
#include <cstdlib>

namespace testing_support::random_run {
namespace {

CEntry ReadEntry(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    CEntry entry;
    if (fs::is_symlink(status)) {
        entry.kind = CEntry::CKind::Link;
        entry.link = fs::read_symlink(path, error).string();
    } else if (fs::is_directory(status)) {
        entry.kind = CEntry::CKind::Folder;
    } else if (fs::is_regular_file(status)) {
        entry.kind = CEntry::CKind::File;
    }
    // Never a device or a FIFO: reading one may never end.
    if (entry.kind != CEntry::CKind::Folder && fs::is_regular_file(path, error)) {
        entry.bytes = ReadFileBytes(path);
    }
    return entry;
}

} // namespace

// The platform's reading of a path text on Linux: a backslash separates folders.
std::string ToPosix(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

bool HasBackslash(const fs::path& path) {
    return path.string().find('\\') != std::string::npos;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
    const auto [end, rest] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// The name without its extension, as the run splits it: up to its last full stop.
std::string StemOf(const fs::path& file) {
    const std::string name = file.filename().string();
    return name.substr(0, name.rfind('.'));
}

bool IsDestructive(int code) {
    return code == 2 || code == 3 || code == 4;
}

const CEntry* Find(const CSnapshot& snapshot, const fs::path& path) {
    const auto it = snapshot.find(path);
    return it != snapshot.end() ? &it->second : nullptr;
}

CSnapshot TakeSnapshot(const CRunFolders& folders) {
    CSnapshot snapshot;
    for (const fs::path& top : {folders.top, folders.far.parent_path()}) {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(top, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path() == folders.work) {
                it.disable_recursion_pending();
                continue;
            }
            snapshot.emplace(it->path(), ReadEntry(it->path()));
        }
    }
    return snapshot;
}

CListing ListFoldersAbove(const fs::path& top) {
    CListing listing;
    for (fs::path folder = top.parent_path();; folder = folder.parent_path()) {
        std::set<std::string>& names = listing[folder];
        std::error_code error;
        for (auto it = fs::directory_iterator(folder, error);
             !error && it != fs::directory_iterator(); it.increment(error)) {
            names.insert(it->path().filename().string());
        }
        if (folder == folder.root_path()) {
            return listing;
        }
    }
}
// Where the result of `input` may be written: one path per output folder.
std::vector<fs::path> ResultPaths(const CModel& model, const fs::path& input) {
    std::vector<fs::path> paths;
    const std::string name = model.before + StemOf(input) + model.after + model.extension;
    for (const fs::path& folder :
         model.beside ? std::vector<fs::path>{input.parent_path()} : model.folders) {
        if (model.writes) {
            paths.push_back((folder / name).lexically_normal());
        }
    }
    return paths;
}

// Where a copy, move or rename puts `input`; none for the other actions, or without a
// destination.
std::optional<fs::path> ActionTarget(const CModel& model, const fs::path& input) {
    if (model.destination.empty()) {
        return std::nullopt;
    }
    if (model.code == 1 || model.code == 2) {
        return (fs::path(model.destination) / input.filename()).lexically_normal();
    }
    if (model.code == 4) {
        return (input.parent_path() / ToPosix(model.destination)).lexically_normal();
    }
    return std::nullopt;
}

// The PDF files of a folder as a scan takes them: any letter case, any kind of entry.
std::vector<fs::path> ScanFolder(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::string name = it->path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        if (name.size() > 4 && name.ends_with(".pdf")) {
            found.push_back(it->path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

int ReadSetting(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<int>(std::strtol(text, nullptr, 10))
                                            : fallback;
}

bool WasStopped(const CMiniHostRun& run) {
    return (run.exitCode == 124 || run.exitCode == 128 + 9) && !WasKilled(run); // timeout's
}

bool WasKilled(const CMiniHostRun& run) {
    return run.exitCode == 128 + 9 && run.WasLogged("fault: killed *");
}

} // namespace testing_support::random_run

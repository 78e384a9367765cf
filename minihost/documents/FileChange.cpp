#include "minihost/documents/FileChange.h"

#include "minihost/files/FileAccess.h"

#include <exception>
#include <filesystem>

namespace minihost {
namespace {

std::string ReplaceFile(const CFileChange& change, const std::string& path) {
    const std::string bytes = ReadWholeFile(path) + "\n% put here by another program at call " +
                              std::to_string(change.call) + "\n";
    const std::string ownPath = path + ".minihost-new";
    CNewFile file(ownPath);
    try {
        file.Write(bytes.data(), bytes.size());
        file.CommitOver(ownPath, path, CDurability::Closed);
    } catch (...) {
        RemoveFileQuietly(ownPath);
        throw;
    }
    return "replaced " + path + " by a new file of " + std::to_string(bytes.size()) + " bytes";
}

std::string CutFile(const std::string& path) {
    const std::filesystem::path file(path);
    const std::uintmax_t half = std::filesystem::file_size(file) / 2;
    std::filesystem::resize_file(file, half);
    return "cut " + path + " to " + std::to_string(half) + " bytes";
}

} // namespace

std::string ApplyFileChange(const CFileChange& change, const std::string& path) noexcept {
    const char* verb = change.kind == CFileChange::CKind::Replace ? "replace " : "cut ";
    try {
        return (change.kind == CFileChange::CKind::Replace ? ReplaceFile(change, path)
                                                           : CutFile(path)) +
               " at call " + std::to_string(change.call);
    } catch (const std::exception& error) {
        try {
            return "cannot " + std::string(verb) + path + " at call " +
                   std::to_string(change.call) + ": " + error.what();
        } catch (...) {
        }
    } catch (...) {
    }
    return "cannot change a file";
}

} // namespace minihost

#include "minihost/documents/FileChange.h"

#include "minihost/files/FileAccess.h"

#include <exception>
#include <filesystem>

namespace minihost {
namespace {

// The file's bytes with a comment that tells them apart: still a valid PDF.
std::string FormChangedBytes(const CFileChange& change, const std::string& path) {
    return ReadWholeFile(path) + "\n% put here by another program at call " +
           std::to_string(change.call) + "\n";
}

std::string ReplaceFile(const CFileChange& change, const std::string& path) {
    const std::string bytes = FormChangedBytes(change, path);
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

std::string RewriteFile(const CFileChange& change, const std::string& path) {
    const std::string bytes = FormChangedBytes(change, path);
    WriteFileInPlace(path, bytes);
    return "rewrote " + path + " in place with " + std::to_string(bytes.size()) + " bytes";
}

std::string CutFile(const std::string& path) {
    const std::filesystem::path file(path);
    const std::uintmax_t half = std::filesystem::file_size(file) / 2;
    std::filesystem::resize_file(file, half);
    return "cut " + path + " to " + std::to_string(half) + " bytes";
}

} // namespace

std::string ApplyFileChange(const CFileChange& change, const std::string& path) noexcept {
    const char* verb = change.kind == CFileChange::CKind::Replace   ? "replace "
                       : change.kind == CFileChange::CKind::Rewrite ? "rewrite "
                                                                    : "cut ";
    try {
        return (change.kind == CFileChange::CKind::Replace   ? ReplaceFile(change, path)
                : change.kind == CFileChange::CKind::Rewrite ? RewriteFile(change, path)
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

// Whole files as byte strings, and a file made read-only, for tests that check what a
// run did to the files it was given.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Every byte of `file`; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

// The lines of `file`, without their line feeds; none when it cannot be read.
std::vector<std::string> ReadFileLines(const std::filesystem::path& file);

#if !defined(_WIN32)
// Runs `work` while this process may write no file past `bytes` (SIGXFSZ ignored, unless
// `signalled`: then the processes it starts end by it), as on a disk that fills: a write
// past it is cut short and fails.
void RunWithFileSizeLimit(std::uintmax_t bytes, const std::function<void()>& work,
                          bool signalled = false);
#endif

// Replaces `file` (or makes it) with exactly `content`.
void WriteFileBytes(const std::filesystem::path& file, const std::string& content);

// `path` as the system's 8-bit texts hold it, the form a sequence or a launch variable
// gives: in the ANSI code page on Windows (mingw's narrow form of a path is not that),
// unchanged on Linux. A character the code page cannot hold becomes "?".
std::string ToPlatformText(const std::filesystem::path& path);

// `path` as qpdf takes a file name: in UTF-8 on Windows.
std::string ToQpdfFileName(const std::filesystem::path& path);

// Read-only as the platform knows it: the read-only attribute on Windows, no write
// permission for anybody on Linux.
void MakeReadOnly(const std::filesystem::path& file);

} // namespace testing_support

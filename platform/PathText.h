// How the plug-in writes the path texts it composes.
#pragma once

namespace platform {

// What the plug-in puts between a folder and a name: a backslash on Windows; on Linux,
// where a backslash separates folders as well, a slash, so that every path the run
// reports reads as the system writes it.
#if defined(_WIN32)
inline constexpr const char* kFolderSeparator = "\\";
#else
inline constexpr const char* kFolderSeparator = "/";
#endif

} // namespace platform

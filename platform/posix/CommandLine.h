// How a Windows program splits its command line into arguments, for starting programs
// on Linux with the parameter text that the plug-in composes for Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits `commandLine` the way the Microsoft C runtime does: blanks separate arguments
// outside double quotes; 2n backslashes before a quote give n backslashes and the quote
// opens or closes quoting; 2n+1 give n backslashes and a literal quote; other
// backslashes are literal.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

// `path` with every backslash turned into a slash: on Windows both separate folders.
std::string ToPosixPath(std::string_view path);

} // namespace platform

// Running the real minihost, with the real plug-in module or a fixture, in a process of
// its own, and reading back its log.
#pragma once

#include "tests/support/Subprocess.h"

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct CMiniHostRun {
    int exitCode = -1;
    std::string console;          // what minihost printed
    std::vector<std::string> log; // its log, a line an entry

    // Whether a log line matches `line`, in which each "*" stands for any run of
    // characters.
    [[nodiscard]] bool WasLogged(std::string_view line) const;
    // The log lines that start with `prefix`.
    [[nodiscard]] std::vector<std::string> ListLinesStartingWith(std::string_view prefix) const;
    // Position of the first line that WasLogged() would match, or -1.
    [[nodiscard]] long FindLine(std::string_view line) const;
    // The whole log, for failure messages.
    [[nodiscard]] std::string GetTranscript() const;
};

// Runs minihost unattended (--exit-after-startup) on `plugInsFolder` with `arguments`.
CMiniHostRun RunMiniHost(const std::vector<std::string>& arguments,
                         const std::string& plugInsFolder = "",
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

} // namespace testing_support

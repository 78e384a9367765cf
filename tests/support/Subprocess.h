// Running a program as a separate process, as a user or a batch file would.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct CProcessResult {
    int exitCode = -1;
    std::string output; // standard output and standard error together
};

// Runs `program` with `arguments` and the extra environment variables `environment`
// (name, value) added to the test's own, and waits for it.
CProcessResult RunProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::vector<std::pair<std::string, std::string>>& environment = {});

} // namespace testing_support

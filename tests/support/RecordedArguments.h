// Reading what the argument-recording program (tests/fixtures/RecordArguments.cpp)
// received, once it has run.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// The recording program, beside the test programs.
std::filesystem::path GetRecordArgumentsProgram();

// Makes the recording programs that this process starts from now on write to `file`.
void SetRecordFile(const std::filesystem::path& file);

// The argument lists recorded in `file`, one per start, waiting up to `seconds` for
// `expectedStarts` of them (programs started through the shell are not waited for).
std::vector<std::vector<std::string>> WaitForRecordedArguments(const std::filesystem::path& file,
                                                               std::size_t expectedStarts,
                                                               int seconds = 20);

// The launch-request variables that each recorded start inherited, and QV_RECORD_FILE.
std::vector<std::vector<std::string>> ReadInheritedVariables(const std::filesystem::path& file);

} // namespace testing_support

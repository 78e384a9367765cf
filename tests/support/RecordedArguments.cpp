#include "tests/support/RecordedArguments.h"

#include "tests/support/TestFolders.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace testing_support {
namespace {

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) {
        fields.push_back(field);
    }
    return fields;
}

std::vector<std::vector<std::string>> ReadRecords(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> records;
    std::ifstream stream(file, std::ios::binary);
    for (std::string line; std::getline(stream, line);) {
        std::vector<std::string> fields = SplitFields(line);
        // The first field counts the others: a line still being written is not taken.
        if (fields.empty() || fields.front() != std::to_string(fields.size() - 1)) {
            continue;
        }
        fields.erase(fields.begin());
        records.push_back(std::move(fields));
    }
    return records;
}

} // namespace

std::filesystem::path GetRecordArgumentsProgram() {
#if defined(_WIN32)
    return GetBinFolder() / "record_arguments.exe";
#else
    return GetBinFolder() / "record_arguments";
#endif
}

void SetRecordFile(const std::filesystem::path& file) {
#if defined(_WIN32)
    _putenv_s("QV_RECORD_FILE", file.string().c_str());
#else
    ::setenv("QV_RECORD_FILE", file.c_str(), 1);
#endif
}

std::vector<std::vector<std::string>> WaitForRecordedArguments(const std::filesystem::path& file,
                                                               std::size_t expectedStarts,
                                                               int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    auto records = ReadRecords(file);
    while (records.size() < expectedStarts && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        records = ReadRecords(file);
    }
    return records;
}

std::vector<std::vector<std::string>> ReadInheritedVariables(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> records;
    std::ifstream stream(file, std::ios::binary);
    for (std::string line; std::getline(stream, line);) {
        std::vector<std::string> fields = SplitFields(line);
        if (!fields.empty() && fields.front() == "env") {
            fields.erase(fields.begin());
            records.push_back(std::move(fields));
        }
    }
    return records;
}

} // namespace testing_support

#include "tests/support/MiniHostRun.h"

#include "tests/support/TestFolders.h"

#include <fstream>

namespace testing_support {
namespace {

// Whether `text` matches `pattern`, in which each "*" stands for any run of characters.
bool Matches(std::string_view text, std::string_view pattern) {
    const auto star = pattern.find('*');
    if (star == std::string_view::npos) {
        return text == pattern;
    }
    if (!text.starts_with(pattern.substr(0, star))) {
        return false;
    }
    const std::string_view rest = pattern.substr(star + 1);
    for (std::size_t from = star; from <= text.size(); ++from) {
        if (Matches(text.substr(from), rest)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool CMiniHostRun::WasLogged(std::string_view line) const {
    return FindLine(line) >= 0;
}

long CMiniHostRun::FindLine(std::string_view line) const {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (Matches(log[i], line)) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

std::vector<std::string> CMiniHostRun::ListLinesStartingWith(std::string_view prefix) const {
    std::vector<std::string> lines;
    for (const auto& logLine : log) {
        if (logLine.starts_with(prefix)) {
            lines.push_back(logLine);
        }
    }
    return lines;
}

std::string CMiniHostRun::GetTranscript() const {
    std::string text =
        "exit code " + std::to_string(exitCode) + "\nconsole:\n" + console + "log:\n";
    for (const auto& line : log) {
        text += "  " + line + "\n";
    }
    return text;
}

CMiniHostRun RunMiniHost(const std::vector<std::string>& arguments,
                         const std::string& plugInsFolder,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
    const CTempFolder folder;
    const std::filesystem::path logFile = folder.GetPath() / "minihost.log";
    std::vector<std::string> all{"--exit-after-startup", "--log", logFile.string(), "--plugins",
                                 plugInsFolder.empty() ? GetPlugInsFolder().string()
                                                       : plugInsFolder};
    all.insert(all.end(), arguments.begin(), arguments.end());

    const CProcessResult process = RunProgram(GetMiniHostProgram(), all, environment);
    CMiniHostRun run;
    run.exitCode = process.exitCode;
    run.console = process.output;
    std::ifstream stream(logFile);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        run.log.push_back(line);
    }
    return run;
}

} // namespace testing_support

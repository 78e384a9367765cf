#include "tests/support/Subprocess.h"

#include "tests/support/TestFolders.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testing_support {
namespace {

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

#if defined(_WIN32)

// Quotes one argument the way the C runtime splits a command line.
std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

int Run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
        const std::vector<std::pair<std::string, std::string>>& environment,
        const std::filesystem::path& outputFile) {
    std::string commandLine = QuoteArgument(program.string());
    for (const auto& argument : arguments) {
        commandLine += " " + QuoteArgument(argument);
    }
    // The child inherits the environment; the extra variables are set around its start.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const auto& [name, value] : environment) {
        std::string old(32767, '\0');
        const DWORD length =
            GetEnvironmentVariableA(name.c_str(), old.data(), static_cast<DWORD>(old.size()));
        saved.emplace_back(name, length == 0 ? std::string("\x01") : old.substr(0, length));
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE output = CreateFileA(outputFile.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    for (const auto& [name, value] : saved) {
        SetEnvironmentVariableA(name.c_str(), value == "\x01" ? nullptr : value.c_str());
    }
    CloseHandle(output);
    if (!started) {
        throw std::runtime_error("cannot start " + program.string());
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

#else

int Run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
        const std::vector<std::pair<std::string, std::string>>& environment,
        const std::filesystem::path& outputFile) {
    std::vector<std::string> argumentTexts{program.string()};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(argumentTexts.size() + 1);
    for (auto& text : argumentTexts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    // The child's environment is made here: between fork and exec a process of several
    // threads may only call what takes no lock, and setenv allocates.
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text(*variable);
        const std::string_view name = text.substr(0, text.find('='));
        if (std::none_of(environment.begin(), environment.end(),
                         [&](const auto& set) { return set.first == name; })) {
            variables.emplace_back(text);
        }
    }
    for (const auto& [name, value] : environment) {
        variables.push_back(name);
        variables.back().append("=").append(value);
    }
    std::vector<char*> envp;
    envp.reserve(variables.size() + 1);
    for (auto& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot fork");
    }
    if (child == 0) {
        const int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (output < 0) {
            _exit(126);
        }
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        close(output);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("cannot wait for " + program.string());
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return 128 + WTERMSIG(status);
}

#endif

} // namespace

CProcessResult RunProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::vector<std::pair<std::string, std::string>>& environment) {
    const CTempFolder folder;
    const std::filesystem::path outputFile = folder.GetPath() / "output.txt";
    CProcessResult result;
    result.exitCode = Run(program, arguments, environment, outputFile);
    result.output = ReadFile(outputFile);
    return result;
}

} // namespace testing_support

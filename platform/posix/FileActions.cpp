// The Windows file services on Linux. Permission bits do not stop root, who runs CI,
// so a file without its owner's write bit is treated as read-only explicitly, as the
// read-only attribute is on Windows.
#include "platform/FileActions.h"

#include "platform/FileIdentity.h"
#include "platform/posix/CommandLine.h"
#include "platform/posix/NewFiles.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Why the last action failed, as GetLastError would tell it on Windows. Not thread_local:
// the host calls the plug-in on its one thread, and LeakSanitizer misreads the thread
// storage of a module that is unloaded before the process ends.
std::string g_lastFailure;
constexpr const char* kAccessDenied = "access is denied";

// Notes `why` as the reason of the failure and answers false.
bool Fail(const char* why) {
    g_lastFailure = why;
    return false;
}

// Notes what `error` (an errno value) means, in the words Windows uses, and answers false.
bool FailWith(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Fail("the file or the folder does not exist");
    case EACCES:
    case EPERM:
    case EROFS:
        return Fail(kAccessDenied);
    case EEXIST:
    case ENOTEMPTY:
        return Fail("the file exists");
    case ENOSPC:
        return Fail("there is not enough space on the disk");
    case EFBIG:
        return Fail("the file size exceeds the limit allowed");
    case ENAMETOOLONG:
        return Fail("the file name is too long");
    default:
        g_lastFailure = std::strerror(error);
        return false;
    }
}

constexpr long kShellFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
constexpr long kShellNoAssociation = 31; // SE_ERR_NOASSOC
constexpr long kShellStarted = 42;       // any value above 32

bool IsReadOnly(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) == 0;
}

bool Exists(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// Copies `from` to `to` through a new file beside it, which takes the target's name only
// once it is whole: a disk that fills or a limit met part way leaves nothing behind, not a
// cut copy that a later move would take for an existing file. `exclusive` fails when
// `to` exists by then; otherwise what is there (a file, or a link itself) is replaced.
bool PlaceCopy(const std::string& from, const std::string& to, bool exclusive) {
    const int input = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (input < 0) {
        return FailWith(errno);
    }
    struct stat status {};
    std::string temporary;
    const int output = ::fstat(input, &status) == 0 ? CreateFileBeside(to, temporary) : -1;
    if (output < 0) {
        const int error = errno;
        ::close(input);
        return FailWith(error);
    }
    static_cast<void>(::fchmod(output, status.st_mode & 0777U));
    bool placed = CopyContent(input, output);
    int error = errno;
    ::close(input);
    if (::close(output) != 0 && placed) {
        placed = false;
        error = errno;
    }
    if (placed && (exclusive ? ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(),
                                           RENAME_NOREPLACE)
                             : ::rename(temporary.c_str(), to.c_str())) != 0) {
        placed = false;
        error = errno;
    }
    if (!placed) {
        ::unlink(temporary.c_str());
        return FailWith(error);
    }
    return true;
}

// Starts `program` with `arguments` in a process of its own that nobody waits for.
// True when the program could be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    std::vector<std::string> copies = arguments;
    for (auto& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    // The pipe closes unread when exec succeeds; a process that could not be made or a
    // failed exec writes its errno into it.
    std::array<int, 2> report{};
    if (::pipe2(report.data(), O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // The middle process exits at once, so the program is nobody's child to reap.
        ::setsid();
        const pid_t started = ::fork();
        if (started == 0) {
            ::execv(argv[0], argv.data());
        }
        if (started <= 0) {
            const int error = errno;
            static_cast<void>(::write(report[1], &error, sizeof error));
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int startError = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &startError, sizeof startError);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

} // namespace

bool CopyPlatformFile(const char* source, const char* target, bool failIfExists) {
    const std::string from = ToPosixPath(source);
    const std::string to = ToPosixPath(target);
    if (!IsRegularFile(from)) {
        return Exists(from) ? Fail(kAccessDenied) : FailWith(ENOENT);
    }
    struct stat there {};
    if (::lstat(to.c_str(), &there) == 0) {
        // A link is replaced itself, never written through: planted where the copy goes,
        // it would send the input into whatever file it names.
        if (failIfExists || (!S_ISREG(there.st_mode) && !S_ISLNK(there.st_mode)) ||
            IsSameFile(source, target)) {
            return FailWith(EEXIST);
        }
        if (S_ISREG(there.st_mode) && IsReadOnly(to)) {
            return FailWith(EACCES);
        }
    }
    return PlaceCopy(from, to, false);
}

bool MovePlatformFile(const char* source, const char* target) {
    const std::string from = ToPosixPath(source);
    const std::string to = ToPosixPath(target);
    if (!Exists(from)) {
        return FailWith(ENOENT);
    }
    if (Exists(to)) {
        return FailWith(EEXIST);
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EXDEV || !IsRegularFile(from)) {
        return FailWith(errno);
    }
    // Across volumes a file is copied, then the original removed.
    if (!PlaceCopy(from, to, true)) {
        return false;
    }
    if (::unlink(from.c_str()) != 0) {
        const int unlinkError = errno;
        ::unlink(to.c_str());
        return FailWith(unlinkError);
    }
    return true;
}

bool DeletePlatformFile(const char* path) {
    const std::string file = ToPosixPath(path);
    if (!Exists(file)) {
        return FailWith(ENOENT);
    }
    if (!IsRegularFile(file) || IsReadOnly(file)) {
        return FailWith(EACCES);
    }
    return ::unlink(file.c_str()) == 0 || FailWith(errno);
}

std::string DescribeLastFileActionFailure() {
    return g_lastFailure;
}

bool WasLastFileActionDenied() {
    return g_lastFailure == kAccessDenied;
}

bool TestFileExists(const char* path) {
    const std::string file = ToPosixPath(path);
    if (!IsRegularFile(file)) {
        return false;
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    ::close(descriptor);
    return true;
}

long OpenWithShell(HostWindow /*owner*/, const char* verb, const char* file, const char* parameters,
                   const char* /*directory*/, int /*show*/) {
    const std::string program = ToPosixPath(file != nullptr ? file : "");
    if (program.empty() || !IsRegularFile(program)) {
        return kShellFileNotFound;
    }
    const bool open = verb == nullptr || std::string_view(verb) == "open";
    if (!open || ::access(program.c_str(), X_OK) != 0) {
        return kShellNoAssociation; // only programs are opened here
    }
    const auto arguments = SplitWindowsCommandLine(parameters != nullptr ? parameters : "");
    return StartDetached(program, arguments) ? kShellStarted : kShellFileNotFound;
}

} // namespace platform

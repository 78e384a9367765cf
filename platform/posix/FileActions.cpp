// The Windows file services on Linux. Permission bits do not stop root, who runs CI,
// so a file without its owner's write bit is treated as read-only explicitly, as the
// read-only attribute is on Windows.
#include "platform/FileActions.h"

#include "platform/FileIdentity.h"
#include "platform/OwnFiles.h"
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

CFileActionResult FailedWith(int error) {
    FailWith(error);
    return CFileActionResult::Failed;
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

bool IsLink(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

CFileActionHook g_hook = nullptr;

void CallHook(const char* source, CFileActionStage stage = CFileActionStage::Held) {
    if (g_hook != nullptr) {
        g_hook(stage, source);
    }
}

constexpr std::int64_t kNanoseconds = 1'000'000'000;

CFileState StateOf(const struct stat& status) {
    return {{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)},
            {static_cast<std::uint64_t>(status.st_size),
             status.st_mtim.tv_sec * kNanoseconds + status.st_mtim.tv_nsec,
             status.st_ctim.tv_sec * kNanoseconds + status.st_ctim.tv_nsec}};
}

// Whether the open file still holds what was read: its size and last write (a rename
// changes its change time, a write these).
bool HoldsVersion(int descriptor, const CFileVersion& version) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return false;
    }
    const CFileVersion now = StateOf(status).version;
    return now.size == version.size && now.written == version.written;
}

// Makes the folder of `path` keep a name given in it across a power cut.
void FlushFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        static_cast<void>(::fsync(descriptor));
        ::close(descriptor);
    }
}

// Copies the open file `input` (whose permissions are in `status`) to `to` through a new
// file beside it, which takes the target's name only once it is whole: a disk that fills
// or a limit met part way leaves nothing behind, not a cut copy that a later move would
// take for an existing file. Once copied the input must still hold `version`, or the copy
// goes. `exclusive` fails when `to` exists by then; otherwise what is there (a file, or a
// link itself) is replaced. `durable` flushes the copy and its name to the disk first.
CFileActionResult PlaceCopy(const char* source, int input, const struct stat& status,
                            const std::string& to, const CFileVersion& version, bool exclusive,
                            bool durable, COwnFileStamp* copied = nullptr) {
    std::string temporary;
    std::optional<COwnFileStamp> stamp;
    const int output = CreateFileBeside(to, COwnFileKind::Saving, temporary, stamp);
    if (output < 0) {
        return FailedWith(errno);
    }
    static_cast<void>(::fchmod(output, status.st_mode & 0777U));
    bool placed = ::lseek(input, 0, SEEK_SET) == 0 && CopyContent(input, output) &&
                  (!durable || ::fsync(output) == 0);
    int error = errno;
    if (::close(output) != 0 && placed) {
        placed = false;
        error = errno;
    }
    const auto discard = [&] {
        if (stamp) {
            RemoveOwnFile(temporary, *stamp);
        }
    };
    if (placed) {
        CallHook(source, CFileActionStage::Copied);
    }
    if (placed && !HoldsVersion(input, version)) {
        discard(); // written into while copied: the copy may mix two versions
        return CFileActionResult::Changed;
    }
    if (placed && (exclusive ? ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(),
                                           RENAME_NOREPLACE)
                             : ::rename(temporary.c_str(), to.c_str())) != 0) {
        placed = false;
        error = errno;
    }
    if (!placed) {
        discard();
        return FailedWith(error);
    }
    if (durable) {
        FlushFolderOf(to);
    }
    if (copied != nullptr && stamp) {
        *copied = *stamp;
    }
    return CFileActionResult::Done;
}

// An input held out of other programs' reach: open, and renamed aside to an own name.
struct CHeldInput {
    int descriptor = -1;
    struct stat status {};
    COwnFileStamp stamp;
    std::string from;
    std::string aside;

    CHeldInput() = default;
    CHeldInput(const CHeldInput&) = delete;
    CHeldInput& operator=(const CHeldInput&) = delete;
    ~CHeldInput() {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
};

// Gives the held input its name back. When a new file has taken the name meanwhile, the
// input stays aside, which the failure then says (after `why`, when given).
CFileActionResult PutBack(const CHeldInput& held, CFileActionResult result,
                          const std::string& why = "") {
    if (::renameat2(AT_FDCWD, held.aside.c_str(), AT_FDCWD, held.from.c_str(), RENAME_NOREPLACE) ==
        0) {
        return result;
    }
    g_lastFailure = (why.empty() ? std::string("the input changed during the run") : why) +
                    "; it stays at " + held.aside + ", as a new file has its name";
    return CFileActionResult::Failed;
}

// Opens `from`, checks that it is the version read, and renames it aside: another
// program then reaches only a new file of that name, never this one.
CFileActionResult HoldAside(const std::string& from, const CFileState& expected, CHeldInput& held) {
    held.from = from;
    held.descriptor = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (held.descriptor < 0) {
        return FailedWith(errno);
    }
    const std::optional<COwnFileStamp> stamp = ReadDescriptorStamp(held.descriptor);
    if (::fstat(held.descriptor, &held.status) != 0 || !stamp) {
        Fail(kAccessDenied);
        return CFileActionResult::Failed;
    }
    if (StateOf(held.status) != expected) {
        return CFileActionResult::Changed;
    }
    held.stamp = *stamp;
    if (!RenameAside(from, held.stamp, COwnFileKind::Moving, from, held.aside)) {
        return FailedWith(errno);
    }
    // What went aside is the file checked, unless another put a new one in its place
    // between the look and the rename: that one goes back.
    if (ReadDescriptorStamp(AT_FDCWD, held.aside.c_str()) != held.stamp) {
        return PutBack(held, CFileActionResult::Changed);
    }
    return CFileActionResult::Done;
}

// A link (which a folder scan leaves out, but a list may name) is moved or removed itself,
// by its name: no content goes with it. The file it names must still be the one read.
CFileActionResult ActOnLink(const std::string& from, const std::string& to, const char* source,
                            const CFileState& expected) {
    if (ReadFileState(source) != expected) {
        return CFileActionResult::Changed;
    }
    CallHook(source);
    const int done =
        to.empty() ? ::unlink(from.c_str())
                   : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    return done == 0 ? CFileActionResult::Done : FailedWith(errno);
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

void SetFileActionHook(CFileActionHook hook) {
    g_hook = hook;
}

CFileActionResult CopyPlatformFile(const char* source, const char* target, bool failIfExists,
                                   const CFileState& expected) {
    const std::string from = ToPosixPath(source);
    const std::string to = ToPosixPath(target);
    if (!IsRegularFile(from)) {
        return FailedWith(Exists(from) ? EACCES : ENOENT);
    }
    struct stat there {};
    if (::lstat(to.c_str(), &there) == 0) {
        // A link is replaced itself, never written through: planted where the copy goes,
        // it would send the input into whatever file it names.
        if (failIfExists || (!S_ISREG(there.st_mode) && !S_ISLNK(there.st_mode)) ||
            IsSameFile(source, target)) {
            return FailedWith(EEXIST);
        }
        if (S_ISREG(there.st_mode) && IsReadOnly(to)) {
            return FailedWith(EACCES);
        }
    }
    const int input = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (input < 0 || ::fstat(input, &status) != 0) {
        const int error = errno;
        if (input >= 0) {
            ::close(input);
        }
        return FailedWith(error);
    }
    CFileActionResult result = CFileActionResult::Changed;
    if (StateOf(status) == expected) {
        CallHook(source);
        result = PlaceCopy(source, input, status, to, expected.version, false, false);
    }
    ::close(input);
    return result;
}

CFileActionResult MovePlatformFile(const char* source, const char* target,
                                   const CFileState& expected) {
    const std::string from = ToPosixPath(source);
    const std::string to = ToPosixPath(target);
    if (!Exists(from) || Exists(to)) {
        return FailedWith(Exists(from) ? EEXIST : ENOENT);
    }
    if (IsLink(from)) {
        return ActOnLink(from, to, source, expected);
    }
    CHeldInput held;
    if (const CFileActionResult result = HoldAside(from, expected, held);
        result != CFileActionResult::Done) {
        return result;
    }
    CallHook(source);
    if (!HoldsVersion(held.descriptor, expected.version)) {
        return PutBack(held, CFileActionResult::Changed);
    }
    if (::renameat2(AT_FDCWD, held.aside.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return CFileActionResult::Done;
    }
    if (errno != EXDEV) {
        FailWith(errno);
        return PutBack(held, CFileActionResult::Failed, g_lastFailure);
    }
    // Across volumes: the copy is made whole and flushed before the original goes.
    COwnFileStamp copied;
    const CFileActionResult result =
        PlaceCopy(source, held.descriptor, held.status, to, expected.version, true, true, &copied);
    if (result != CFileActionResult::Done) {
        return PutBack(held, result, result == CFileActionResult::Failed ? g_lastFailure : "");
    }
    if (!RemoveOwnFile(held.aside, held.stamp)) {
        const int error = errno;
        RemoveOwnFile(to, copied);
        FailWith(error);
        return PutBack(held, CFileActionResult::Failed, g_lastFailure);
    }
    return CFileActionResult::Done;
}

CFileActionResult DeletePlatformFile(const char* path, const CFileState& expected) {
    const std::string file = ToPosixPath(path);
    if (!Exists(file)) {
        return FailedWith(ENOENT);
    }
    if (IsLink(file)) {
        return ActOnLink(file, "", path, expected);
    }
    if (!IsRegularFile(file) || IsReadOnly(file)) {
        return FailedWith(EACCES);
    }
    CHeldInput held;
    if (const CFileActionResult result = HoldAside(file, expected, held);
        result != CFileActionResult::Done) {
        return result;
    }
    CallHook(path);
    if (!HoldsVersion(held.descriptor, expected.version)) {
        return PutBack(held, CFileActionResult::Changed);
    }
    if (!RemoveOwnFile(held.aside, held.stamp)) {
        FailWith(errno);
        return PutBack(held, CFileActionResult::Failed, g_lastFailure);
    }
    return CFileActionResult::Done;
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

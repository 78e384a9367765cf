// File services of the final action and the output step, with Windows semantics in
// both builds: a move fails when the target exists, a copy honours fail-if-exists, a
// read-only file is neither replaced nor deleted, and on Linux a backslash in a path
// separates folders as a slash does.
#pragma once

#include "host/HostTypes.h"
#include "platform/FileIdentity.h"

#include <string>

namespace platform {

// What a file action did with the file the run read.
enum class CFileActionResult {
    Done,
    Failed,  // the system refused: DescribeLastFileActionFailure says why; nothing was changed
    Changed, // the file is not the version read (replaced, rewritten, cut): left as it is
};

// The copy, move and delete of the final action act on the file `source` only as the run
// read it, `expected`: the file is held out of other programs' reach first (on Windows
// open without their writing, renaming or deleting it; on Linux renamed aside to an own
// name of the run, platform/OwnFiles.h), checked, and only then copied, moved or removed,
// so that no version that the run did not read is ever moved away or removed, and a copy
// holds only the version read. A file put back from aside that finds its name taken by a
// new file stays under its own name, which the failure says.

// CopyFileA: copies `source` to `target` through a new file beside it, which takes the
// name once whole; with `failIfExists` an existing target makes it fail. What is at the
// target (a file, or a link itself) is replaced, unless it is read-only or a folder.
CFileActionResult CopyPlatformFile(const char* source, const char* target, bool failIfExists,
                                   const CFileState& expected);

// MoveFileA: moves or renames a file; fails when `target` exists. Across volumes the file
// is copied, the copy flushed to the disk, and only then the original removed.
CFileActionResult MovePlatformFile(const char* source, const char* target,
                                   const CFileState& expected);

// DeleteFileA: fails for a folder, a missing file or a read-only one.
CFileActionResult DeletePlatformFile(const char* path, const CFileState& expected);

// For tests: where a copy, move or delete calls the hook, with the source path: once it
// holds its source, before it acts (another program's change must be met there); and once
// a copy is whole beside its target, before it takes the name (a process ended there
// leaves what the next run takes up). Null: none.
enum class CFileActionStage { Held, Copied };
using CFileActionHook = void (*)(CFileActionStage stage, const char* source);
void SetFileActionHook(CFileActionHook hook);

// OpenFile with OF_EXIST: true when `path` names a file that can be opened. A path too
// long for OpenFile (128 bytes and more) is opened for reading the same way instead.
bool TestFileExists(const char* path);

// Why the last copy, move or delete failed, in words: the system's text of the error
// taken where the call failed (FormatMessage on Windows; the same kind of words on Linux,
// "the file exists"). The plug-in's one thread is the only one that acts.
std::string DescribeLastFileActionFailure();

// Whether the last copy, move or delete failed because the system refused access.
bool WasLastFileActionDenied();

// The answer of OpenWithShell when the system refused to start the program.
inline constexpr long kShellAccessDenied = 5;

// What an answer of OpenWithShell means ("started", "the file was not found", ...).
std::string DescribeShellAnswer(long answer);

// ShellExecuteA: opens `file` with `verb` ("open" starts a program), passing
// `parameters` as its command line, and does not wait for it. The result follows
// ShellExecuteA: above 32 when the program was started.
long OpenWithShell(HostWindow owner, const char* verb, const char* file, const char* parameters,
                   const char* directory, int show);

// The show command that opens a window normally (SW_SHOW).
inline constexpr int kShowNormal = 5;

} // namespace platform

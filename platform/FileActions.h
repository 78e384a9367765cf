// File services of the final action and the output step, with Windows semantics in
// both builds: a move fails when the target exists, a copy honours fail-if-exists, a
// read-only file is neither replaced nor deleted, and on Linux a backslash in a path
// separates folders as a slash does.
#pragma once

#include "host/HostTypes.h"

#include <string>

namespace platform {

// CopyFileA: copies `source` to `target`; with `failIfExists` an existing target makes
// it fail. True when the file was copied.
bool CopyPlatformFile(const char* source, const char* target, bool failIfExists);

// MoveFileA: moves or renames a file (or a folder within its volume); fails when
// `target` exists. Files move across volumes too.
bool MovePlatformFile(const char* source, const char* target);

// DeleteFileA: fails for a folder, a missing file or a read-only one.
bool DeletePlatformFile(const char* path);

// OpenFile with OF_EXIST: true when `path` names a file that can be opened. A path too
// long for OpenFile (128 bytes and more) is opened for reading the same way instead.
bool TestFileExists(const char* path);

// Why the last copy, move or delete failed, in words: the text of GetLastError on
// Windows (of this thread), the same kind of words on Linux ("the file exists"), where
// the plug-in's one thread is the only one that acts.
std::string DescribeLastFileActionFailure();

// Whether the last copy, move or delete failed because the system refused access; asked
// before DescribeLastFileActionFailure, as that may change the thread's last error.
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

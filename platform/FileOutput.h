// Writing a whole file with the Windows rules in both builds.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace platform {

// Makes `bytes` the whole content of the file at `path`, created or replaced. The bytes go
// to a new file beside it, which replaces it in one step only when written and closed, so
// that a failure leaves an existing file as it was. False when it cannot be done: a
// missing folder, no permission, a folder or a device of that name, a full disk, or a
// read-only file, which is refused also where the system would let its owner write it
// (root on Linux, Wine run by root). A replaced file keeps its permissions; on Linux a
// link is followed to the file it names, and a backslash separates folders.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// How long an append waits at most for another appender's lock, by default.
inline constexpr std::chrono::milliseconds kAppendLockWait{3000};

struct CAppendOutcome {
    bool written = false; // every byte is in the file
    bool locked = false;  // the look at the end and the write were one step for appenders
    std::chrono::milliseconds waited{0}; // for the lock
    std::string failure; // why not all was written, in words ("it is not a regular file")
};

// Appends `bytes` to the regular file at `path`, made when missing, in one write at the
// file's end (O_APPEND, FILE_APPEND_DATA), so that lines appended by several processes at
// once never mix. When the file does not end in a line feed (a line cut short by a full
// disk), the bytes start with one; a write cut short is ended with one when there is room.
// Either way the next line starts on a line of its own. The look at the last byte and the
// write hold a lock that every append takes (flock; on Windows one byte far past any end,
// which keeps no reader out), waited for at most `lockWait`, then done without it. Never
// blocks otherwise: a named pipe, a device or a folder is not written, and a file past the
// process's size limit fails the write instead of ending the process.
CAppendOutcome AppendToFile(const std::string& path, std::string_view bytes,
                            std::chrono::milliseconds lockWait = kAppendLockWait);

} // namespace platform

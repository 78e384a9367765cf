// Writing a whole file with the Windows rules in both builds.
#pragma once

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

// Appends `bytes` to the file at `path`, made when missing, in one write at the file's end
// (O_APPEND, FILE_APPEND_DATA), so that lines appended by several processes at once never
// mix. When the file does not end in a line feed (a line cut short by a full disk), the
// bytes start with one; a write cut short is ended with one when there is room. Either
// way the next line starts on a line of its own. False when the file cannot be opened or
// the write fails or is cut short.
bool AppendToFile(const std::string& path, std::string_view bytes);

} // namespace platform

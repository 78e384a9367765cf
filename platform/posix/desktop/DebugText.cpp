#include "platform/posix/WriteSignals.h"
#include "platform/posix/desktop/Desktop.h"

#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace desktop {
namespace {

CDebugTextWatcher& GetWatcher() {
    static CDebugTextWatcher watcher;
    return watcher;
}

// A line short enough to go into a pipe in one piece when the pipe has room at all.
constexpr std::size_t kLongestLine = 512;

} // namespace

void OutputDebugText(const char* text) {
    const std::string line = text != nullptr ? text : "";
    // A copy, so that the watcher may replace itself.
    const CDebugTextWatcher watcher = GetWatcher();
    if (watcher) {
        watcher(line);
        return;
    }
    // Standard error is written only when it can take the line now: a full pipe whose
    // reader went away must not stop the host.
    pollfd error{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&error, 1, 0) != 1 || (error.revents & POLLOUT) == 0) {
        return;
    }
    const std::string shown = line.substr(0, kLongestLine - 1) + "\n";
    const platform::CWriteSignalGuard guard;
    static_cast<void>(::write(STDERR_FILENO, shown.data(), shown.size()));
}

void SetDebugTextWatcher(CDebugTextWatcher watcher) {
    GetWatcher() = std::move(watcher);
}

} // namespace desktop

#include "minihost/DebugTextWatch.h"

#include "minihost/HostLog.h"
#include "platform/posix/desktop/Desktop.h"

namespace minihost {

CDebugTextWatch::CDebugTextWatch(CHostLog& log) {
    desktop::SetDebugTextWatcher([&log](const std::string& text) { log.Write("debug", text); });
}

CDebugTextWatch::~CDebugTextWatch() {
    desktop::SetDebugTextWatcher({});
}

} // namespace minihost

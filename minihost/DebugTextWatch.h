// The debug text that the process's modules write (OutputDebugString on Windows, the
// desktop library's stand-in on Linux) goes into the host's log as "debug:" lines while a
// CDebugTextWatch lives: a plug-in that has nowhere else to say what went wrong is heard.
#pragma once

namespace minihost {

class CHostLog;

class CDebugTextWatch {
public:
    explicit CDebugTextWatch(CHostLog& log);
    CDebugTextWatch(const CDebugTextWatch&) = delete;
    CDebugTextWatch& operator=(const CDebugTextWatch&) = delete;
    ~CDebugTextWatch();

private:
    void* m_handler = nullptr; // Windows: the vectored exception handler
};

} // namespace minihost

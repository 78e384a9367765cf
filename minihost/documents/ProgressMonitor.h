// The host's standard document progress monitor ("AcroView" GetDocProgressMonitor): a
// record of the host's, opaque to the plug-in, whose client data is a second record of
// the host's. A save given this monitor and its client data reports through it, and
// the monitor logs the progress (category "progress").
#pragma once

#include "host/HostTypes.h"

#include <string>

namespace minihost {

class CHostLog;

class CProgressMonitor {
public:
    explicit CProgressMonitor(CHostLog& log)
        : m_log(log) {}

    // Both belong to the host; the plug-in never releases them.
    HostProgressMonitor GetHandle() { return reinterpret_cast<HostProgressMonitor>(this); }
    void* GetClientData() { return &m_clientData; }

    // Starts reporting `operation` ("saving /out/a.pdf").
    void Begin(std::string operation);
    // The part done, in percent; every quarter reached is logged once.
    void Report(int percent);
    // Ends the operation, which either `completed` or stopped on an error.
    void End(bool completed);

private:
    struct CClientData {
        int reports = 0; // since the last Begin
    };

    CHostLog& m_log;
    CClientData m_clientData;
    std::string m_operation;
    int m_lastLogged = -1;
};

} // namespace minihost

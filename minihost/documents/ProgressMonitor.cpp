#include "minihost/documents/ProgressMonitor.h"

#include "minihost/HostLog.h"

namespace minihost {

void CProgressMonitor::Begin(std::string operation) {
    m_operation = std::move(operation);
    m_clientData.reports = 0;
    m_lastLogged = 0;
    m_log.Write("progress", m_operation + ": 0%");
}

void CProgressMonitor::Report(int percent) {
    ++m_clientData.reports;
    constexpr int kQuarter = 25;
    const int quarter = percent / kQuarter * kQuarter;
    if (quarter > m_lastLogged && quarter <= 100) {
        m_lastLogged = quarter;
        m_log.Write("progress", m_operation + ": " + std::to_string(quarter) + "%");
    }
}

void CProgressMonitor::End(bool completed) {
    if (completed && m_lastLogged < 100) {
        Report(100);
    }
    if (!completed) {
        m_log.Write("progress", m_operation + ": stopped");
    }
    m_operation.clear();
}

} // namespace minihost

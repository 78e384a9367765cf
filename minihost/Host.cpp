#include "minihost/Host.h"

#include "minihost/HostErrors.h"
#include "minihost/tables/OfferedTables.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace minihost {

namespace {

// The exit status of a process killed on Windows, as kill -9 gives 128 + 9 on Linux.
[[maybe_unused]] constexpr int kKilledExitCode = 137;

} // namespace
namespace {

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): the one current host
CHost* g_currentHost = nullptr;

CHostOptions RequireNoHost(CHostOptions options) {
    if (g_currentHost != nullptr) {
        throw std::runtime_error("only one host can exist at a time");
    }
    return options;
}

} // namespace

CHost::CHost(CHostOptions options)
    : m_options(RequireNoHost(std::move(options)))
    , m_log(m_options.logFile)
    , m_menuBar(m_options.absentMenus)
    , m_dialogScript(m_options) {
    g_currentHost = this;
}

CHost::~CHost() {
    g_currentHost = nullptr;
}

CHost& CHost::GetCurrent() {
    if (g_currentHost == nullptr) {
        // Table entries call this on the plug-in's behalf; nothing may be thrown there.
        static_cast<void>(std::fputs("minihost: a host table was called with no host\n", stderr));
        std::abort();
    }
    return *g_currentHost;
}

HostErrorCode CHost::EnterCall(const char* operation) {
    ++m_callCount;
    if (m_options.traceCalls) {
        m_log.Write("call", std::to_string(m_callCount) + " " + operation);
    }
    if (m_options.fileChange && m_options.fileChange->call == m_callCount) {
        m_documents.ChangeLastOpenedFile(*m_options.fileChange);
    }
    const bool save = std::string_view(operation) == "PDModel.DocSave";
    m_saveCount += save ? 1 : 0;
    if (m_options.killAtCall == m_callCount || (save && m_options.killInSave == m_saveCount)) {
        // A save dies once it has written part of its file, where death leaves most behind.
        m_deathHalfWay = save;
        if (!m_deathHalfWay) {
            Die("at call " + std::to_string(m_callCount) + " " + operation);
        }
    }
    const bool failHere =
        m_options.failAtCall == m_callCount ||
        std::find(m_options.failOperations.begin(), m_options.failOperations.end(), operation) !=
            m_options.failOperations.end();
    if (!failHere) {
        return 0;
    }
    m_log.Write("fault", "injected at call " + std::to_string(m_callCount) + " " + operation);
    return kErrInjected;
}

void CHost::Die(const std::string& where) {
    m_log.Write("fault", "killed " + where);
#if defined(_WIN32)
    TerminateProcess(GetCurrentProcess(), kKilledExitCode);
#else
    static_cast<void>(std::raise(SIGKILL));
#endif
    std::_Exit(kKilledExitCode);
}

bool CHost::TakeDeathHalfWay() {
    return std::exchange(m_deathHalfWay, false);
}

void CHost::ThrowInjectedFault(const char* operation) {
    if (const HostErrorCode fault = EnterCall(operation); fault != 0) {
        throw CHostError(fault);
    }
}

std::string CHost::GetErrorText(HostErrorCode code) const {
    if (const auto found = m_errorTexts.find(code); found != m_errorTexts.end()) {
        return found->second;
    }
    std::string text = GetBuiltInErrorText(code);
    return text.empty() ? "Unknown host error " + std::to_string(code) + "." : text;
}

void CHost::SetErrorText(HostErrorCode code, std::string text) {
    m_errorTexts[code] = std::move(text);
}

HostTable CHost::FindTable(HostAtom name, HostVersion version) {
    const std::string* text = m_atoms.Find(name);
    const std::string shown = text != nullptr ? *text : "(atom " + std::to_string(name) + ")";
    const auto* found =
        std::find_if(kHostTableNames.begin(), kHostTableNames.end(),
                     [&](const char* known) { return text != nullptr && *text == known; });
    if (found == kHostTableNames.end()) {
        m_log.Write("table", shown + " " + FormatVersion(version) + " refused (no such table)");
        return nullptr;
    }
    const auto id = static_cast<HostTableId>(found - kHostTableNames.begin());
    const HostVersion offered = m_options.tableVersions.at(static_cast<std::size_t>(id));
    const bool given = offered != 0 && offered >= version;
    m_log.Write("table", shown + " " + FormatVersion(version) + (given ? " given" : " refused"));
    return given ? GetOfferedTable(id) : nullptr;
}

void CHost::ReportMisuse(std::string_view text) {
    ++m_misuseCount;
    m_log.Write("misuse", text);
}

void CHost::CheckRaiseCleanup() {
    if (const std::size_t skipped = m_frames.TakeSkippedCleanups(); skipped > 0) {
        ReportMisuse("the restore procedure's longjmp did not unwind the host's frames: the "
                     "cleanup that a raise of host error " +
                     std::to_string(m_frames.GetLastErrorCode()) + " crossed was skipped");
    }
}

int CHost::Finish() {
    CheckRaiseCleanup();
    if (const std::size_t raises = m_frames.GetCleanupRaiseCount(); raises > 0) {
        m_log.Write("unwind", "the cleanup of the host's frames ran in " +
                                  std::to_string(m_frames.GetCleanupRunCount()) + " of " +
                                  std::to_string(raises) + " raises");
    }
    const auto outstanding = m_ledger.ListOutstanding();
    if (outstanding.empty()) {
        m_log.Write("ledger", "nothing left acquired");
    } else {
        m_log.Write("ledger", std::to_string(outstanding.size()) + " left acquired");
        for (const std::string& line : outstanding) {
            m_log.Write("ledger", "left acquired: " + line);
        }
        m_ledger.ReclaimOutstanding();
    }
    return outstanding.empty() && m_misuseCount == 0 ? 0 : 3;
}

} // namespace minihost

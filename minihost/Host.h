// The host: its options, log, ledger, atoms, callback references and error frames.
// One exists at a time; the table entries reach it through CHost::GetCurrent().
#pragma once

#include "host/HostTableNames.h"
#include "host/HostTypes.h"
#include "minihost/AtomTable.h"
#include "minihost/CallbackRegistry.h"
#include "minihost/ErrorFrames.h"
#include "minihost/HostLog.h"
#include "minihost/Ledger.h"
#include "minihost/Options.h"
#include "minihost/dialogs/DialogScript.h"
#include "minihost/documents/Documents.h"
#include "minihost/files/FileObjects.h"
#include "minihost/menus/MenuBar.h"
#include "minihost/notifications/Notifications.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace minihost {

class CHost {
public:
    // Opens the log and becomes the current host. Throws std::runtime_error when the
    // log cannot be created or another host exists.
    explicit CHost(CHostOptions options);
    CHost(const CHost&) = delete;
    CHost& operator=(const CHost&) = delete;
    ~CHost();

    // The current host; one must exist (the process aborts otherwise).
    static CHost& GetCurrent();

    [[nodiscard]] const CHostOptions& GetOptions() const { return m_options; }
    CHostLog& GetLog() { return m_log; }
    CLedger& GetLedger() { return m_ledger; }
    CAtomTable& GetAtoms() { return m_atoms; }
    CCallbackRegistry& GetCallbacks() { return m_callbacks; }
    CErrorFrames& GetFrames() { return m_frames; }
    CNotifications& GetNotifications() { return m_notifications; }
    CMenuBar& GetMenuBar() { return m_menuBar; }
    CDialogScript& GetDialogScript() { return m_dialogScript; }
    CFileObjects& GetFiles() { return m_files; }
    CDocuments& GetDocuments() { return m_documents; }

    // Counts a call of an operation that can fail, traces it when asked to and applies
    // fault injection: throws CHostError with the injected fault when there is one.
    void ThrowInjectedFault(const char* operation);
    // The same, returning the injected fault (or 0) for an operation that strikes it
    // later in its work.
    HostErrorCode EnterCall(const char* operation);

    // --kill-at: ends the process at once, as a power cut or kill -9 would (the log says
    // so first). Whether the call just entered is to end it half-way through its work (a
    // save, once part of its file is on disk): asked once.
    [[noreturn]] void Die(const std::string& where);
    bool TakeDeathHalfWay();

    // The text of a host error code.
    [[nodiscard]] std::string GetErrorText(HostErrorCode code) const;
    void SetErrorText(HostErrorCode code, std::string text);

    // The table named by `name` if the host offers it at `version` or newer; logged.
    HostTable FindTable(HostAtom name, HostVersion version);

    // A plug-in used the host wrongly (released something twice, left a frame pushed).
    void ReportMisuse(std::string_view text);
    [[nodiscard]] std::size_t MisuseCount() const { return m_misuseCount; }
    // Reports as misuse each raise since the last check whose longjmp skipped the cleanup
    // of the host's frames (minihost/RaiseCleanup.h).
    void CheckRaiseCleanup();

    // Reports the ledger and returns the exit status: 0 when nothing was left acquired
    // and nothing misused, 3 otherwise.
    int Finish();

private:
    CHostOptions m_options;
    CHostLog m_log;
    CLedger m_ledger;
    CAtomTable m_atoms;
    CCallbackRegistry m_callbacks;
    CErrorFrames m_frames;
    CNotifications m_notifications;
    CMenuBar m_menuBar;
    CDialogScript m_dialogScript;
    std::map<HostErrorCode, std::string> m_errorTexts;
    std::uint64_t m_callCount = 0;
    std::uint64_t m_saveCount = 0;
    bool m_deathHalfWay = false;
    std::size_t m_misuseCount = 0;
    // The services, last: they go before the ledger and the log that they use.
    CFileObjects m_files{*this};
    CDocuments m_documents{*this};
};

} // namespace minihost

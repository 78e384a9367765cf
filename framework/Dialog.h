// A modal dialog on a template, as thin as WTL's: a derived class writes its data
// exchange map (ExchangeData), its initialisation (InitDialog) and its command table
// (OnCommand with framework::DispatchCommand); OK (the Enter key and a default button
// with id 1) exchanges data from the controls and ends the dialog, Cancel (Escape, the
// close box) ends it without exchange.
#pragma once

#include "framework/DataExchange.h"
#include "host/HostTypes.h"
#include "platform/DialogTemplate.h"
#include "platform/ModalDialog.h"

#include <string>

namespace framework {

class CDialog : private platform::CDialogEvents {
public:
    // `dialogTemplate` must outlive the dialog. Without a parent, the application's
    // active top-level window owns the dialog.
    explicit CDialog(const platform::CDialogTemplate& dialogTemplate, HostWindow parent = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    ~CDialog() override = default;

    // Shows the dialog and returns when it ends: kIdOk, kIdCancel, or -1 when it could
    // not be shown.
    int DoModal();

    // The dialog's window while it runs, else null.
    [[nodiscard]] HostWindow GetWindow() const { return m_window; }

    // Runs the data exchange: from the controls into the members when `save`, else the
    // other way. Nothing is validated, so it always succeeds.
    bool UpdateData(bool save = true);

    // Ends the dialog with `result` once the current command has been handled.
    void EndDialog(int result);

protected:
    // The data exchange map; the base class's binds nothing.
    virtual void ExchangeData(CDataExchange& exchange);
    // Runs when the controls exist, before the dialog shows; the base class's exchanges
    // data into the controls. True lets the platform focus the first tab stop.
    virtual bool InitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The command table: runs the handler of (controlId, event) and answers true, or
    // answers false for a command the dialog leaves to the framework.
    virtual bool OnCommand(int controlId, int event);

    // The framework's message box (OK, warning icon) over this dialog.
    void ShowMessage(const std::string& text) const;

private:
    bool HandleInitDialog(HostWindow dialog) final;
    void HandleCommand(int controlId, int code) final;

    const platform::CDialogTemplate& m_template;
    HostWindow m_parent;
    HostWindow m_window = nullptr;
};

} // namespace framework

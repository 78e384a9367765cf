#include "framework/Dialog.h"

#include "framework/MessageBox.h"
#include "platform/Controls.h"
#include "platform/WindowStyles.h"

namespace framework {

CDialog::CDialog(const platform::CDialogTemplate& dialogTemplate, HostWindow parent)
    : m_template(dialogTemplate)
    , m_parent(parent) {}

int CDialog::DoModal() {
    HostWindow owner = m_parent != nullptr ? m_parent : platform::GetActiveOwnerWindow();
    const int result = platform::RunModalDialog(m_template, owner, *this);
    m_window = nullptr;
    return result;
}

bool CDialog::UpdateData(bool save) {
    CDataExchange exchange(m_window, save);
    ExchangeData(exchange);
    return true;
}

void CDialog::EndDialog(int result) {
    platform::EndModalDialog(m_window, result);
}

void CDialog::ExchangeData(CDataExchange& /*exchange*/) {}

bool CDialog::InitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(platform::kIdOk);
}

void CDialog::OnCancel() {
    EndDialog(platform::kIdCancel);
}

bool CDialog::OnCommand(int /*controlId*/, int /*event*/) {
    return false;
}

void CDialog::ShowMessage(const std::string& text) const {
    framework::ShowMessage(m_window, text);
}

bool CDialog::HandleInitDialog(HostWindow dialog) {
    m_window = dialog;
    return InitDialog();
}

void CDialog::HandleCommand(int controlId, int code) {
    if (OnCommand(controlId, code) || code != platform::kButtonClicked) {
        return;
    }
    if (controlId == platform::kIdOk) {
        OnOK();
    } else if (controlId == platform::kIdCancel) {
        OnCancel();
    }
}

} // namespace framework

#include "batchfile/DlgCreateBatchFile.h"

#include "batchfile/BatchFileWriter.h"
#include "batchfile/CreateBatchFileTemplate.h"
#include "framework/CommandTable.h"
#include "framework/Help.h"
#include "platform/FileDialogs.h"
#include "platform/WindowStyles.h"

#include <array>

namespace batchfile {
namespace {

struct CFinalAction {
    const char* label;
    int code; // the launch request's final-action code
};

// In list order; code 4 (rename in place) is not offered here.
constexpr std::array<CFinalAction, 5> kFinalActions = {{
    {"Do nothing", 0},
    {"Copy to a different folder", 1},
    {"Move to a different folder", 2},
    {"Delete document from disk", 3},
    {"Execute application", 5},
}};

// Actions that need no destination.
bool NeedsDestination(int code) {
    return code != 0 && code != 3;
}

} // namespace

CDlgCreateBatchFile::CDlgCreateBatchFile(HostWindow parent)
    : CDialog(GetCreateBatchFileTemplate(), parent) {}

void CDlgCreateBatchFile::ExchangeData(framework::CDataExchange& exchange) {
    exchange.Control(kIdSequenceList, m_sequenceList);
    exchange.Control(kIdActionCombo, m_actionCombo);
    exchange.Text(kIdDestination, m_destination);
    exchange.Control(kIdDestinationBrowse, m_destinationBrowse);
}

bool CDlgCreateBatchFile::OnCommand(int controlId, int event) {
    // control, event, handler
    static constexpr std::array<framework::CCommandEntry<CDlgCreateBatchFile>, 5> kCommands = {{
        {kIdSequenceBrowse, framework::kClicked, &CDlgCreateBatchFile::OnBrowseSequence},
        {kIdDestinationBrowse, framework::kClicked, &CDlgCreateBatchFile::OnBrowseDestination},
        {kIdCreateBatchFile, framework::kClicked, &CDlgCreateBatchFile::OnCreateBatchFile},
        {kIdHelp, framework::kClicked, &CDlgCreateBatchFile::OnHelpButton},
        {kIdActionCombo, framework::kSelectionChanged, &CDlgCreateBatchFile::OnActionChanged},
    }};
    return framework::DispatchCommand(*this, kCommands, controlId, event);
}

bool CDlgCreateBatchFile::InitDialog() {
    CDialog::InitDialog(); // binds the controls; the edit shows the empty destination
    for (const CFinalAction& action : kFinalActions) {
        const int position = m_actionCombo.AddItem(action.label);
        if (position >= 0) {
            m_actionCombo.SetItemData(position, action.code);
        }
    }
    FillSequenceList();
    m_actionCombo.SetSelection(0);
    m_sequenceList.SetSelection(0); // the first in alphabetical order; none when empty
    UpdateDestinationBrowse();
    return true; // the focus goes to the first tab stop, "Close"
}

int CDlgCreateBatchFile::GetSelectedAction() const {
    const int position = m_actionCombo.GetSelection();
    return position >= 0 ? static_cast<int>(m_actionCombo.GetItemData(position)) : -1;
}

void CDlgCreateBatchFile::UpdateDestinationBrowse() {
    const int code = GetSelectedAction();
    if (code < 0) {
        return;
    }
    // The destination itself is kept: switching the action never clears it.
    m_destinationBrowse.Enable(NeedsDestination(code));
}

void CDlgCreateBatchFile::OnActionChanged() {
    UpdateDestinationBrowse();
}

void CDlgCreateBatchFile::OnBrowseDestination() {
    const int code = GetSelectedAction();
    if (code == 1 || code == 2) {
        ChooseDestinationFolder();
    } else if (code == 5) {
        ChooseDestinationProgram();
    }
}

void CDlgCreateBatchFile::ChooseDestinationProgram() {
    platform::CFileDialogRequest request;
    request.owner = GetWindow();
    request.filters =
        "Batch File (*.bat)|*.bat|Executable File (*.exe)|*.exe|All Files (*.*)|*.*||";
    request.proposedName = m_destination;
    request.flags = platform::kFileMustExist;
    if (const std::optional<std::string> chosen = platform::ShowOpenFileDialog(request)) {
        m_destination = *chosen;
        UpdateData(false);
    }
}

void CDlgCreateBatchFile::OnCreateBatchFile() {
    // Checked in this order; the first failure is told and nothing changes.
    const int actionPosition = m_actionCombo.GetSelection();
    if (actionPosition < 0) {
        ShowMessage(kSelectActionMessage);
        return;
    }
    const auto code = static_cast<int>(m_actionCombo.GetItemData(actionPosition));
    const int sequencePosition = m_sequenceList.GetSelection();
    if (sequencePosition < 0) {
        ShowMessage(kSelectSequenceMessage);
        return;
    }
    const auto index = static_cast<std::size_t>(m_sequenceList.GetItemData(sequencePosition));
    if (NeedsDestination(code) && m_destination.empty()) {
        ShowMessage(kSelectDestinationMessage);
        return;
    }
    // The dialog stays open whatever the outcome, for the next batch file.
    WriteBatchFile(GetWindow(), m_sequencePaths.at(index), code, m_destination);
}

void CDlgCreateBatchFile::OnHelpButton() {
    framework::ShowHelpContents(GetWindow());
}

} // namespace batchfile

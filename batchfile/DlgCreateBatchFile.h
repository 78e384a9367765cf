// The Create Batch File dialog (template 107): the user picks an installed batch
// sequence (or adds one), a final action and its destination, and writes a batch file
// that runs the sequence from outside the host.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>
#include <vector>

namespace batchfile {

inline constexpr const char* kSequenceAlreadyListedMessage =
    "This file is already in the batch sequences list.";
inline constexpr const char* kSelectActionMessage = "Please select final action.";
inline constexpr const char* kSelectSequenceMessage = "Please select a batch sequence.";
inline constexpr const char* kSelectDestinationMessage =
    "Please select a destination folder or a filename.";

class CDlgCreateBatchFile : public framework::CDialog {
public:
    // Without a parent the framework picks the owner (the host's active window).
    explicit CDlgCreateBatchFile(HostWindow parent = nullptr);

protected:
    void ExchangeData(framework::CDataExchange& exchange) override;
    bool InitDialog() override;
    bool OnCommand(int controlId, int event) override;

private:
    // Handlers of the command table.
    void OnBrowseSequence();
    void OnBrowseDestination();
    void OnCreateBatchFile();
    void OnHelpButton();
    void OnActionChanged();

    // Sequence discovery (SequenceList.cpp).
    void FillSequenceList();
    void AddSequence(const std::string& path);

    void UpdateDestinationBrowse();
    // The selected action's final-action code, or -1 when none is selected.
    [[nodiscard]] int GetSelectedAction() const;
    // The host's folder dialog for codes 1 and 2 (DestinationBrowse.cpp).
    void ChooseDestinationFolder();
    void ChooseDestinationProgram();

    std::vector<std::string> m_sequencePaths; // full paths; an index is an entry's identity
    framework::CListBox m_sequenceList;       // 1021: base names, item data = index
    framework::CComboBox m_actionCombo;       // 1023: item data = final-action code
    std::string m_destination;                // the text of edit 1024
    framework::CButton m_destinationBrowse;   // 1025
};

} // namespace batchfile

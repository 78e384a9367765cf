// The sequence list of the Create Batch File dialog: the installed sequences of the
// running host, and those the user adds.
#include "batchfile/DlgCreateBatchFile.h"
#include "batchfile/SequenceFolders.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/ViewTable.h"
#include "platform/FileDialogs.h"
#include "platform/WindowStyles.h"
#include "util/PathParts.h"

#include <algorithm>
#include <cstdint>

namespace batchfile {

void CDlgCreateBatchFile::FillSequenceList() {
    std::int16_t major = 0;
    std::int16_t minor = 0;
    const bool completed = CallInErrorFrame([&] { ViewGetVersion(&major, &minor); });
    m_sequencePaths.clear();
    if (!completed) {
        ShowHostError(); // without the version there is no folder to search
        return;
    }
    std::vector<std::string> found;
    for (const std::string& folder : GetSequenceFolders(major)) {
        ScanSequenceFolder(folder, found);
    }
    for (const std::string& path : found) {
        AddSequence(path);
    }
}

void CDlgCreateBatchFile::AddSequence(const std::string& path) {
    const std::size_t index = m_sequencePaths.size();
    m_sequencePaths.push_back(path);
    // The list sorts by itself; the item keeps its path's index whatever its position.
    const int position = m_sequenceList.AddItem(CPathParts(path).GetBaseName());
    if (position >= 0) {
        m_sequenceList.SetItemData(position, static_cast<std::intptr_t>(index));
    }
}

void CDlgCreateBatchFile::OnBrowseSequence() {
    platform::CFileDialogRequest request;
    request.owner = GetWindow();
    request.filters = "Acrobat Batch Sequence (*.sequ)|*.sequ||";
    request.flags = platform::kFileMustExist;
    const std::optional<std::string> chosen = platform::ShowOpenFileDialog(request);
    if (!chosen) {
        return;
    }
    // Byte for byte: the same file under a path that differs in letter case is new.
    if (std::find(m_sequencePaths.begin(), m_sequencePaths.end(), *chosen) !=
        m_sequencePaths.end()) {
        ShowMessage(kSequenceAlreadyListedMessage);
        return;
    }
    AddSequence(*chosen);
}

} // namespace batchfile

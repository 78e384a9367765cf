// The sequence list of the Create Batch File dialog: the installed sequences of the
// running host, and those the user adds.
#include "batchfile/DlgCreateBatchFile.h"
#include "batchfile/SequenceFolders.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "platform/FileDialogs.h"
#include "platform/WindowStyles.h"
#include "util/PathParts.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace batchfile {
namespace {

// Where the host says it keeps actions of `category` (the user's, or its own beside the
// program in its language); empty when it has no such folder or raised an error.
std::string AskHostForSequenceFolder(std::int32_t category) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    char* display = nullptr;
    HostErrorCode answer = kSpecialFolderError;
    static_cast<void>(CallInErrorFrame([&] {
        // Known before the path is had, so that the path can always be given back.
        fileSys = SupportGetDefaultFileSys();
        answer = ViewAcquireSpecialFolderPath(category, kSpecialFolderSequences, kHostFalse,
                                              &fileSys, &path);
        if (answer == kSpecialFolderOkay && path != nullptr) {
            display = SupportPathGetDisplayText(fileSys, path);
        }
    }));
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    std::string folder = display != nullptr ? display : "";
    SupportMemFree(display);
    return folder;
}

} // namespace

void CDlgCreateBatchFile::FillSequenceList() {
    m_sequencePaths.clear();
    // The host's own answer first: it names the folders of any host, DC's included. The
    // folders its version names stand in for an answer it does not give.
    const std::string userFolder = AskHostForSequenceFolder(kSpecialCategoryUser);
    const std::string appFolder = AskHostForSequenceFolder(kSpecialCategoryApp);
    std::vector<std::string> folders;
    for (const std::string& folder : {userFolder, appFolder}) {
        if (!folder.empty()) {
            folders.push_back(folder);
        }
    }
    std::int16_t major = 0;
    std::int16_t minor = 0;
    if (!CallInErrorFrame([&] { ViewGetVersion(&major, &minor); })) {
        ShowHostError(); // without the version, only the host's own folders are searched
    } else {
        const std::array<std::string, 2> byVersion = GetSequenceFolders(major);
        for (const bool forUser : {true, false}) {
            if (!(forUser ? userFolder : appFolder).empty()) {
                continue;
            }
            folders.push_back(byVersion[forUser ? 0 : 1]);
            for (std::string& track : GetTrackSequenceFolders(major, forUser)) {
                folders.push_back(std::move(track));
            }
        }
    }
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        ScanSequenceFolder(folder, found);
    }
    for (const std::string& path : found) {
        // A folder inside another searched one is searched once.
        if (std::find(m_sequencePaths.begin(), m_sequencePaths.end(), path) ==
            m_sequencePaths.end()) {
            AddSequence(path);
        }
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

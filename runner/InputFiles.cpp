#include "runner/InputFiles.h"

#include "host/HostErrorFrame.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "platform/FileSearch.h"
#include "platform/PathText.h"
#include "runner/OutputSaving.h"
#include "runner/SequenceNode.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::int32_t kListedFiles = 0;
constexpr std::int32_t kFolderFiles = 1;
constexpr std::int32_t kPickedFiles = 2;
constexpr std::int32_t kChosenFolder = 3; // an XML action's "select folder"

// The files listed under "PreselectedFilesPaths", in index order. An entry that is
// missing, or whose "DI" gives no path object or no text, is skipped; an entry without
// "DI" fails the whole collection.
bool CollectListedFiles(const CSequenceNode& input, CInputList& list) {
    CSequenceNode files(true);
    HostFileSys fileSys = nullptr;
    bool listed = false;
    if (!CallInErrorFrame([&] {
            fileSys = SupportGetDefaultFileSys();
            listed = input.GetNode("PreselectedFilesPaths", files);
        }) ||
        !listed) {
        return false;
    }
    // The count is read again before each entry, as the list may be read while it changes.
    for (std::int32_t index = 0;; ++index) {
        std::array<char, 16> key{};
        static_cast<void>(std::snprintf(key.data(), key.size(), "%d", index));
        CSequenceNode entry(true);
        std::string diPath;
        bool pastEnd = false;
        bool hasEntry = false;
        bool hasDIPath = false;
        HostPath path = nullptr;
        char* display = nullptr;
        const bool completed = CallInErrorFrame([&] {
            if (index >= files.GetCount()) {
                pastEnd = true;
                return;
            }
            hasEntry = files.GetNode(key.data(), entry);
            hasDIPath = hasEntry && entry.GetString("DI", diPath);
            if (hasDIPath) {
                path = SupportPathFromDIPath(fileSys, diPath.c_str(), nullptr);
                if (path != nullptr) {
                    display = SupportPathGetDisplayText(fileSys, path);
                }
            }
        });
        if (display != nullptr) {
            list.Append(display);
        }
        if (path != nullptr) {
            SupportPathRelease(fileSys, path);
        }
        SupportMemFree(display);
        entry.Release();
        if (!completed || (hasEntry && !hasDIPath)) {
            return false;
        }
        if (pastEnd) {
            return true;
        }
    }
}

// The PDF files found directly in the folder whose "DI" `folderNode` holds.
bool CollectFolderAt(const CSequenceNode& folderNode, CInputList& list,
                     std::vector<CLeftOutInput>* leftOut) {
    std::string diPath;
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    char* display = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        if (folderNode.GetString("DI", diPath)) {
            path = SupportPathFromDIPath(fileSys, diPath.c_str(), nullptr);
            if (path != nullptr) {
                display = SupportPathGetDisplayText(fileSys, path);
            }
        }
    });
    bool found = completed && path != nullptr;
    if (found && display != nullptr) {
        // A listing that could not be kept whole ends the run before its first document.
        found = AddFolderDocuments("PDF", display, list, leftOut);
    }
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    SupportMemFree(display);
    return found;
}

// The PDF files found directly in the folder under "PreselectedFolderPath", or, for an
// action that names several, in each folder under "PreselectedFolderPaths" in turn.
bool CollectFolderFiles(const CSequenceNode& input, CInputList& list,
                        std::vector<CLeftOutInput>* leftOut) {
    CSequenceNode folders(true);
    CSequenceNode folderNode(true);
    bool single = false;
    bool several = false;
    std::int32_t count = 0;
    if (!CallInErrorFrame([&] {
            single = input.GetNode("PreselectedFolderPath", folderNode);
            several = !single && input.GetNode("PreselectedFolderPaths", folders);
            count = folders.GetCount();
        })) {
        return false;
    }
    bool found = single && CollectFolderAt(folderNode, list, leftOut);
    for (std::int32_t i = 0; several && i < count; ++i) {
        const std::string key = std::to_string(i);
        bool has = false;
        if (!CallInErrorFrame([&] { has = folders.GetNode(key.c_str(), folderNode); }) || !has ||
            !CollectFolderAt(folderNode, list, leftOut)) {
            found = false;
            break;
        }
        found = true;
    }
    return found;
}

// The PDF files of a folder that the user picks when the run starts.
bool CollectChosenFolderFiles(CInputList& list, std::vector<CLeftOutInput>* leftOut) {
    std::string folder;
    bool hostError = false;
    return ChooseFolder(folder, hostError) && AddFolderDocuments("PDF", folder, list, leftOut);
}

// The files that the user picks in the host's open-file dialog, in the order given.
bool CollectPickedFiles(CInputList& list) {
    HostFileSys fileSys = nullptr;
    HostPath* paths = nullptr;
    std::uint16_t count = 0;
    HostBool confirmed = kHostFalse;
    const bool completed = CallInErrorFrame([&] {
        HostFileDialogParams params{};
        params.size = sizeof(HostFileDialogParams);
        params.flags = kDialogAllFilesChoice | kDialogMultipleFiles;
        fileSys = SupportGetDefaultFileSys();
        confirmed = ViewOpenFilesDialog(&params, nullptr, &paths, &count, nullptr);
    });
    bool collected = completed && confirmed != kHostFalse && count >= 1 && paths != nullptr;
    for (std::uint16_t i = 0; paths != nullptr && i < count; ++i) {
        char* display = nullptr;
        if (collected &&
            !CallInErrorFrame([&] { display = SupportPathGetDisplayText(fileSys, paths[i]); })) {
            collected = false; // the rest is still given back
        }
        if (display != nullptr) {
            list.Append(display);
        }
        SupportPathRelease(fileSys, paths[i]);
        SupportMemFree(display);
    }
    SupportMemFree(paths);
    return collected;
}

} // namespace

bool CollectInputFiles(const CSequenceNode& input, CInputList& list,
                       std::vector<CLeftOutInput>* leftOut) {
    std::int32_t variation = -1;
    if (!CallInErrorFrame([&] { input.GetInt("FileVariation", variation, -1); })) {
        return false;
    }
    switch (variation) {
    case kListedFiles:
        return CollectListedFiles(input, list);
    case kFolderFiles:
        return CollectFolderFiles(input, list, leftOut);
    case kPickedFiles:
        return CollectPickedFiles(list);
    case kChosenFolder:
        return CollectChosenFolderFiles(list, leftOut);
    default:
        return false;
    }
}

bool AddFolderDocuments(const std::string& extension, const std::string& folder, CInputList& list,
                        std::vector<CLeftOutInput>* leftOut) {
    std::string pattern = folder;
    pattern += platform::kFolderSeparator;
    pattern += "*.";
    pattern += extension;
    platform::CFileSearch search(pattern);
    for (platform::CFoundEntry entry; search.FindNext(entry);) {
        list.Append(folder + platform::kFolderSeparator + entry.name);
    }
    const std::string failure = search.GetFailure();
    if (leftOut != nullptr) {
        if (!search.GetRefusal().empty()) {
            leftOut->push_back({folder, "*." + extension, search.GetRefusal()});
        }
        if (!failure.empty()) {
            leftOut->push_back({folder, "*." + extension, failure});
        }
        for (const platform::CLeftOutEntry& entry : search.GetLeftOut()) {
            leftOut->push_back({folder, entry.name, entry.reason});
        }
    }
    return failure.empty();
}

#include "runner/OutputSaving.h"

#include "host/CoreTable.h"
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ModelTable.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "platform/FileActions.h"
#include "platform/FileIdentity.h"
#include "platform/PathText.h"
#include "platform/PendingResult.h"
#include "platform/Sandbox.h"
#include "runner/InputList.h"
#include "runner/RunFiles.h"
#include "runner/SandboxNote.h"
#include "runner/SequenceNode.h"
#include "runner/WorkDocument.h"
#include "util/NamePart.h"
#include "util/PathParts.h"

#include <cstring>
#include <optional>

namespace {

constexpr std::int32_t kOutputToFolder = 0;
constexpr std::int32_t kOutputToChosenFolder = 1;
constexpr std::int32_t kOutputBesideInput = 2;
constexpr std::int32_t kOutputNone = 3;

constexpr const char* kReplacesRunFile = "the output file was made earlier in this run";
constexpr const char* kOutputExists = "the output file exists (DontOverwrite)";
constexpr const char* kSaveFailed = "the save failed";

using CKind = COutputOutcome::CKind;

bool Fail(COutputOutcome& outcome, CKind kind, const char* reason) {
    outcome.kind = kind;
    outcome.reason = reason;
    return false;
}

// The display text of a path object, copied; the host's text is freed. Empty when the
// host gives none.
std::string TakeDisplayText(char* display) {
    std::string text = display != nullptr ? display : "";
    SupportMemFree(display);
    return text;
}

// The platform text of the folder under "PreselectedFolderPath". False when the section,
// its "DI", the path object or the text is missing, or the host raised an error.
bool ReadPreselectedFolder(const CSequenceNode& output, std::string& folder, bool& hostError) {
    CSequenceNode folderNode(true);
    std::string diPath;
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    char* display = nullptr;
    const bool completed = CallInErrorFrame([&] {
        if (!output.GetNode("PreselectedFolderPath", folderNode) ||
            !folderNode.GetString("DI", diPath)) {
            return;
        }
        fileSys = SupportGetDefaultFileSys();
        path = SupportPathFromDIPath(fileSys, diPath.c_str(), nullptr);
        if (path != nullptr) {
            display = SupportPathGetDisplayText(fileSys, path);
        }
    });
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    folder = TakeDisplayText(display);
    folderNode.Release();
    hostError = !completed;
    return completed && !folder.empty();
}

// Asks the host's conversion handlers to write the document; see MatchConversionHandler.
void ConvertDocument(ConversionRequest& request) {
    // One callback reference serves every run: the host keeps it for its lifetime.
    static HostCallback matchCallback = nullptr;
    const bool completed = CallInErrorFrame([&] {
        if (matchCallback == nullptr) {
            matchCallback = MakeCallback(&MatchConversionHandler);
        }
        ViewEnumConversionFromPdfHandlers(matchCallback, &request);
    });
    request.hostError = request.hostError || !completed;
}

// Why writing `target` must not replace the file there, or null: a file that the run made
// earlier, or an input still to come (whose result would then be made from this one's).
// The document's own file is neither: a save over the input is asked for by name.
const char* FindReplaceRefusal(const CRunFiles* runFiles, CInputList* laterInputs,
                               const std::string& target, const std::string& inputPath) {
    if (runFiles == nullptr && laterInputs == nullptr) {
        return nullptr;
    }
    const auto there = platform::ReadFileIdentity(target.c_str());
    if (!there || platform::ReadFileIdentity(inputPath.c_str()) == there) {
        return nullptr;
    }
    if (runFiles != nullptr && runFiles->IsMadeByRun(target)) {
        return runFiles->HasFailed()
                   ? "the record of the files this run made could not be read back"
                   : kReplacesRunFile;
    }
    if (laterInputs != nullptr && laterInputs->HoldsLaterInput(*there)) {
        return laterInputs->HasFailed() ? "the input list could not be read back"
                                        : "the output file is an input still to come in this run";
    }
    return nullptr;
}

} // namespace

bool ChooseFolder(std::string& folder, bool& hostError) {
    HostFileSys fileSys = nullptr;
    HostPath chosen = nullptr;
    char* display = nullptr;
    HostBool confirmed = kHostFalse;
    const bool completed = CallInErrorFrame([&] {
        HostFileDialogParams params{};
        params.size = sizeof(HostFileDialogParams);
        fileSys = SupportGetDefaultFileSys();
        confirmed = ViewChooseFolderDialog(&params, nullptr, &chosen);
        if (confirmed != kHostFalse && chosen != nullptr) {
            display = SupportPathGetDisplayText(fileSys, chosen);
        }
    });
    folder = TakeDisplayText(display);
    if (chosen != nullptr) {
        SupportPathRelease(fileSys, chosen);
    }
    hostError = !completed;
    return completed && confirmed != kHostFalse && !folder.empty();
}

bool FileExists(const std::string& path) {
    return platform::TestFileExists(path.c_str());
}

CPdfSave SaveAsPdf(CWorkDocument& document, const std::string& path,
                   platform::CPendingResult& pending, bool onlyIfAbsent) {
    if (document.GetDocument() == nullptr) {
        return CPdfSave::Failed;
    }
    HostFileSys fileSys = nullptr;
    HostPath target = nullptr;
    HostPath parent = nullptr;
    bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        target = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), path.c_str(), nullptr);
        parent = SupportPathAcquireParent(fileSys, target);
        if (parent != nullptr) {
            SupportFolderCreate(fileSys, parent, kHostTrue); // an existing folder is no error
        }
    });
    if (target != nullptr) {
        SupportPathRelease(fileSys, target);
        target = nullptr;
    }
    // Once its folder is there, the result gets a file of the run's own, into which the
    // host saves.
    const platform::CPendingResult::CStart start =
        completed ? pending.Begin(path, onlyIfAbsent) : platform::CPendingResult::CStart::Failed;
    if (start == platform::CPendingResult::CStart::Ready) {
        const std::string& own = pending.GetOwnPath();
        completed = CallInErrorFrame([&] {
            target =
                SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), own.c_str(), nullptr);
            HostProgressMonitor monitor = document.GetProgressMonitor();
            if (monitor == nullptr) {
                monitor = ViewGetDocProgressMonitor(document.GetProgressClientDataField());
            }
            ModelDocSave(document.GetDocument(), document.GetSaveFlags(), target, fileSys, monitor,
                         *document.GetProgressClientDataField());
        });
    }
    if (parent != nullptr) {
        SupportPathRelease(fileSys, parent);
    }
    if (target != nullptr) {
        SupportPathRelease(fileSys, target);
    }
    // What the save left in the run's own file is the run's, finished or not.
    pending.NoteSaved();
    if (start == platform::CPendingResult::CStart::NameTaken) {
        return CPdfSave::NameTaken;
    }
    if (!completed || start != platform::CPendingResult::CStart::Ready) {
        pending.Discard();
        if (!completed) {
            ShowHostError();
        }
        return CPdfSave::Failed;
    }
    return CPdfSave::Saved;
}

void PlaceSavedResult(COutputOutcome& outcome, platform::CPendingResult& pending,
                      const CRunFiles* runFiles, CInputList* laterInputs,
                      const std::string& inputPath,
                      const std::optional<platform::CFileState>& inputState) {
    if (outcome.kind != CKind::Written) {
        pending.Discard(); // what a conversion replaced comes back
        return;
    }
    if (!pending.IsActive()) {
        return;
    }
    // Asked again now: the name may have become such a file while the document was saved.
    // A result that replaces nothing needs no asking; a dead run's claim that it replaces
    // may be an input still to come (a folder scan takes empty files too).
    if (const char* refusal =
            pending.IsOnlyIfAbsent() && !pending.IsReplacingClaim()
                ? nullptr
                : FindReplaceRefusal(runFiles, laterInputs, outcome.resultPath, inputPath);
        refusal != nullptr) {
        pending.Discard();
        Fail(outcome, CKind::NotWritten, refusal);
        return;
    }
    // Saved over its own input, the result replaces only the version the run read. A
    // result that replaces nothing meets no input: an opened input is no empty file.
    const bool overInput =
        inputState && !pending.IsOnlyIfAbsent() &&
        (outcome.resultPath == inputPath ||
         platform::ReadFileIdentity(outcome.resultPath.c_str()) == inputState->identity);
    switch (pending.Place(overInput ? &*inputState : nullptr)) {
    case platform::CPendingResult::CPlace::Placed:
        outcome.replacedInput = overInput;
        break;
    case platform::CPendingResult::CPlace::Changed:
        Fail(outcome, CKind::NotWritten, "the input changed during the run");
        break;
    case platform::CPendingResult::CPlace::NameTaken: // another run wrote there meanwhile
        Fail(outcome, CKind::NotWritten, kOutputExists);
        break;
    case platform::CPendingResult::CPlace::Failed:
        outcome.kind = CKind::NotWritten;
        outcome.reason = NoteSandboxRefusal(kSaveFailed, pending.WasRefusedAccess(),
                                            platform::IsRunningSandboxed());
        break;
    }
}

HostBool QV_HOSTCALL MatchConversionHandler(HostConversionHandler* handler, void* clientData) {
    auto* request = static_cast<ConversionRequest*>(clientData);
    if (request == nullptr || handler == nullptr ||
        ReadFixedText(handler->uniqueId) != request->handlerId) {
        return kHostTrue;
    }
    const HostFileFilter& filter = handler->filter;
    if (filter.descriptionCount > 0 && filter.descriptions != nullptr) {
        const std::string_view extension = ReadFixedText(filter.descriptions->extension);
        if (!extension.empty()) {
            request->outputPath += ".";
            request->outputPath += extension;
        }
    }
    request->matched = true;
    request->refusal = FindReplaceRefusal(request->runFiles, request->laterInputs,
                                          request->outputPath, request->inputPath);
    if (request->refusal != nullptr) {
        return kHostTrue;
    }
    // What the conversion replaces waits aside until its result can be vouched for; where
    // it cannot be put aside, the conversion replaces it as the host's batch would.
    if (request->pending != nullptr) {
        static_cast<void>(request->pending->BeginInPlace(request->outputPath));
    }

    HostFileSys fileSys = nullptr;
    HostPath target = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        target = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"),
                                   request->outputPath.c_str(), nullptr);
        request->status = ViewConvertFromPdf(handler, nullptr, 0, request->document->GetDocument(),
                                             target, fileSys, nullptr);
    });
    if (target != nullptr) {
        SupportPathRelease(fileSys, target);
    }
    if (request->pending != nullptr) {
        request->pending->NoteSaved(); // what the handler wrote, if anything
    }
    // A host error leaves the step at once: no further handler is asked.
    request->hostError = request->hostError || !completed;
    return completed ? kHostTrue : kHostFalse;
}

bool SaveDocumentOutput(CWorkDocument& document, const CSequenceNode& output,
                        COutputOutcome& outcome, const CRunFiles* runFiles, CInputList* laterInputs,
                        platform::CPendingResult* pending, const std::string* knownInputPath) {
    outcome = {};
    std::int32_t variation = kOutputBesideInput;
    if (!CallInErrorFrame([&] { output.GetInt("FileVariation", variation, kOutputBesideInput); })) {
        return Fail(outcome, CKind::HostError, "host error while reading the output section");
    }
    if (variation == kOutputNone) {
        outcome.kind = CKind::NotWanted;
        return true;
    }

    bool addToBaseName = false;
    bool dontOverwrite = true;
    std::string before;
    std::string after;
    std::string inputPath;
    if (!CallInErrorFrame([&] {
            addToBaseName = output.GetBool("AddToBaseName", false);
            dontOverwrite = output.GetBool("DontOverwrite", true);
            if (addToBaseName) {
                output.GetString("InsertBeforeBaseName", before);
                output.GetString("InsertAfterBaseName", after);
            }
        }) ||
        !(knownInputPath != nullptr ? (inputPath = *knownInputPath, true)
                                    : document.GetPathText(inputPath))) {
        return Fail(outcome, CKind::HostError, "host error while reading the output section");
    }
    // A name or folder cut to its limit would put the result somewhere else.
    const CSplitPath parts = SplitPath(inputPath);
    if (parts.nameWasCut || (variation == kOutputBesideInput && parts.folderWasCut)) {
        return Fail(outcome, CKind::NotWritten, "the input's path has a part too long to split");
    }
    // A name part that leads out of the folder, or to a device, writes no result.
    if (const CNamePartRefusal refusal = ExplainRefusedNameParts({before, parts.baseName, after});
        refusal.IsRefused()) {
        outcome.kind = CKind::NotWritten;
        outcome.reason = refusal.reason;
        return false;
    }
    const std::string name = before + parts.baseName + after;

    std::string outputPath;
    bool hostError = false;
    std::string folder;
    switch (variation) {
    case kOutputBesideInput:
        outputPath = parts.drive + parts.folder + name;
        break;
    case kOutputToChosenFolder:
        if (!ChooseFolder(folder, hostError)) {
            return hostError ? Fail(outcome, CKind::HostError, "host error in the folder dialog")
                             : Fail(outcome, CKind::NotWritten, "no output folder was chosen");
        }
        outputPath = folder + platform::kFolderSeparator + name;
        break;
    case kOutputToFolder:
        if (!ReadPreselectedFolder(output, folder, hostError)) {
            return hostError ? Fail(outcome, CKind::HostError,
                                    "host error while reading the output folder")
                             : Fail(outcome, CKind::NotWritten, "no usable output folder");
        }
        outputPath = folder + platform::kFolderSeparator + name;
        break;
    default:
        return Fail(outcome, CKind::NotWritten, "unknown output FileVariation");
    }

    std::string handlerId;
    bool hasHandler = false;
    if (!CallInErrorFrame([&] { hasHandler = output.GetString("HandlerUniqueID", handlerId); })) {
        return Fail(outcome, CKind::HostError, "host error while reading the output section");
    }
    // An empty identifier names no handler: the result is saved as PDF, as when absent.
    if (!hasHandler || handlerId.empty()) {
        outputPath += ".pdf";
        // With DontOverwrite the save itself finds what is there (an empty file that no
        // living run holds is a dead run's claim, and is taken over).
        if (const char* refusal =
                dontOverwrite ? nullptr
                              : FindReplaceRefusal(runFiles, laterInputs, outputPath, inputPath);
            refusal != nullptr) {
            outcome.kind = CKind::NotWritten;
            outcome.reason = refusal;
            return true;
        }
        if (pending == nullptr) {
            return Fail(outcome, CKind::NotWritten, kSaveFailed);
        }
        switch (SaveAsPdf(document, outputPath, *pending, dontOverwrite)) {
        case CPdfSave::Saved:
            outcome.kind = CKind::Written;
            outcome.resultPath = outputPath;
            break;
        case CPdfSave::NameTaken: // a file, or a claim a living run holds
            Fail(outcome, CKind::NotWritten, kOutputExists);
            break;
        case CPdfSave::Failed:
            outcome.kind = CKind::NotWritten;
            outcome.reason = NoteSandboxRefusal(kSaveFailed, pending->WasRefusedAccess(),
                                                platform::IsRunningSandboxed());
            break;
        }
        return true;
    }

    ConversionRequest request;
    request.document = &document;
    request.outputPath = outputPath;
    request.handlerId = handlerId;
    request.runFiles = runFiles;
    request.laterInputs = laterInputs;
    request.inputPath = inputPath;
    request.pending = pending;
    ConvertDocument(request);
    if (request.hostError) {
        outcome.kind = CKind::HostError;
        outcome.reason = "host error while converting";
    } else if (!request.matched) {
        outcome.kind = CKind::NotWritten;
        outcome.reason = "no conversion handler " + handlerId;
    } else if (request.refusal != nullptr) {
        outcome.kind = CKind::NotWritten;
        outcome.reason = request.refusal;
    } else if (request.status != kConversionSuccess || !FileExists(request.outputPath)) {
        outcome.kind = CKind::NotWritten;
        outcome.reason = "the conversion wrote no file";
    } else {
        outcome.kind = CKind::Written;
        outcome.resultPath = request.outputPath;
    }
    return true;
}

// The output step: after every command has run on a document, its result is written as
// the sequence's "Output" section says: as a PDF file through the host's save, or in
// another format through one of the host's from-PDF conversion handlers, or not at all.
#pragma once

#include "host/HostTypes.h"
#include "host/ViewTable.h"
#include "platform/FileIdentity.h"

#include <optional>
#include <string>

class CInputList;
class CRunFiles;
namespace platform {
class CPendingResult;
} // namespace platform
class CSequenceNode;
class CWorkDocument;

// What the output step did for one document: the run holds destructive final actions
// back for an input whose result was meant but not written, and the audit trail says why.
struct COutputOutcome {
    enum class CKind {
        NotWanted,  // "FileVariation" 3: no result is written for any input
        Written,    // the result is in resultPath
        NotWritten, // a result was meant, but none was written (reason says why)
        HostError,  // the host raised an error that ended the step
    };
    CKind kind = CKind::NotWritten;
    std::string resultPath;
    std::string reason;
    bool replacedInput = false; // written over the version of its input that the run read
};

// What the conversion handlers' enumeration carries to MatchConversionHandler.
struct ConversionRequest {
    CWorkDocument* document = nullptr;
    std::string outputPath;              // without extension; the matching handler's is appended
    std::string handlerId;               // compared byte for byte, letter case significant
    const CRunFiles* runFiles = nullptr; // files that the conversion must not replace
    CInputList* laterInputs = nullptr;   // nor these, inputs still to come
    std::string inputPath;               // the document's own file, which it may replace
    platform::CPendingResult* pending = nullptr; // keeps a replaced file aside until vouched
    bool matched = false;                        // a handler with this identifier was found
    const char* refusal = nullptr; // ... but its file would have replaced this (a reason)
    HostConversionStatus status = kConversionFailed; // what the conversion answered
    bool hostError = false;                          // the host raised an error while converting
};

// Writes the result of `document` as `output` asks. False when no output path could be
// formed (no output folder, the folder choice cancelled, an unknown "FileVariation");
// true otherwise, whatever the save did. Never lets a host error escape: one that ends
// the step is reported in `outcome` as HostError. When `runFiles` is given, a result that
// would replace a file the run made earlier (other than the document's own) is not
// written; when `laterInputs` is given, nor is one that would replace an input still to
// come. Nor is a result whose name would be formed from a part of the input's path cut to
// its limit, or with a name part that ExplainRefusedNameParts refuses (util/NamePart.h).
// A PDF is saved into `pending`'s own file, and a conversion written at its name keeps what
// it replaces aside in `pending`: Written then means that PlaceSavedResult is to give the
// result its name once the document is closed (without `pending`, no PDF is saved).
// The result is named for `inputPath` when given (after an earlier save the document's
// own path is that save's file), else for the document's own path.
bool SaveDocumentOutput(CWorkDocument& document, const CSequenceNode& output,
                        COutputOutcome& outcome, const CRunFiles* runFiles = nullptr,
                        CInputList* laterInputs = nullptr,
                        platform::CPendingResult* pending = nullptr,
                        const std::string* inputPath = nullptr);

// Gives a result saved into `pending` its name, the document closed: as the output step
// asked, unless its name has meanwhile become a file that it must not replace (asked
// again), or another run's (DontOverwrite); then it is removed, and `outcome` says
// NotWritten and why. A conversion's result is at its name already: what it replaced,
// kept aside, goes. For a result not written, what `pending` holds is removed, and what a
// conversion replaced comes back. A result saved over its input (`inputState`, the version
// the run read) replaces only that version: another one saved there meanwhile stays, and
// the result counts as not written.
void PlaceSavedResult(COutputOutcome& outcome, platform::CPendingResult& pending,
                      const CRunFiles* runFiles, CInputList* laterInputs,
                      const std::string& inputPath,
                      const std::optional<platform::CFileState>& inputState = std::nullopt);

enum class CPdfSave {
    Saved,
    Failed,    // no open document, or the host raised an error (shown in an alert)
    NameTaken, // only if absent was asked, and a file (or a claim a living run holds) is there
};

// Saves `document` as a PDF file for `path` (a platform path text), creating its folder
// first, into `pending`'s own file, which then takes the name (CPendingResult::Place).
// With `onlyIfAbsent` the result takes the name only where nothing is, so that of several
// runs at once only one writes it; a failed save leaves nothing behind.
CPdfSave SaveAsPdf(CWorkDocument& document, const std::string& path,
                   platform::CPendingResult& pending, bool onlyIfAbsent = false);

// Called by the host for each from-PDF conversion handler; converts the request's
// document with the handler whose identifier it names. True, so that the host goes on
// with the next handler, unless the host raised an error in the conversion: that ends
// the step, and false ends the enumeration with it.
HostBool QV_HOSTCALL MatchConversionHandler(HostConversionHandler* handler, void* clientData);

// The folder that the user picks in the host's choose-folder dialog. False when the
// dialog was cancelled or the host raised an error (`hostError` then true).
bool ChooseFolder(std::string& folder, bool& hostError);

// OpenFile with OF_EXIST: whether `path` names an existing file.
bool FileExists(const std::string& path);

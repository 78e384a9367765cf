// The output step: after every command has run on a document, its result is written as
// the sequence's "Output" section says: as a PDF file through the host's save, or in
// another format through one of the host's from-PDF conversion handlers, or not at all.
#pragma once

#include "host/HostTypes.h"
#include "host/ViewTable.h"

#include <string>

class CInputList;
class CRunFiles;
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
};

// What the conversion handlers' enumeration carries to MatchConversionHandler.
struct ConversionRequest {
    CWorkDocument* document = nullptr;
    std::string outputPath;              // without extension; the matching handler's is appended
    std::string handlerId;               // compared byte for byte, letter case significant
    const CRunFiles* runFiles = nullptr; // files that the conversion must not replace
    CInputList* laterInputs = nullptr;   // nor these, inputs still to come
    std::string inputPath;               // the document's own file, which it may replace
    bool matched = false;                // a handler with this identifier was found
    const char* refusal = nullptr;       // ... but its file would have replaced this (a reason)
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
bool SaveDocumentOutput(CWorkDocument& document, const CSequenceNode& output,
                        COutputOutcome& outcome, const CRunFiles* runFiles = nullptr,
                        CInputList* laterInputs = nullptr);

enum class CPdfSave {
    Saved,
    Failed,    // no open document, or the host raised an error (shown in an alert)
    NameTaken, // only if absent was asked, and a file is there
};

// Saves `document` as a PDF file at `path` (a platform path text), creating its folder
// first. With `onlyIfAbsent` the name is claimed first, so that of several runs at once
// only one writes it, and a failed save leaves no claim behind.
CPdfSave SaveAsPdf(CWorkDocument& document, const std::string& path, bool onlyIfAbsent = false);

// Called by the host for each from-PDF conversion handler; converts the request's
// document with the handler whose identifier it names. True, so that the host goes on
// with the next handler, unless the host raised an error in the conversion: that ends
// the step, and false ends the enumeration with it.
HostBool QV_HOSTCALL MatchConversionHandler(HostConversionHandler* handler, void* clientData);

// OpenFile with OF_EXIST: whether `path` names an existing file.
bool FileExists(const std::string& path);

// Turning a sequence's "Input" section into the list of documents a run processes.
#pragma once

#include "runner/InputList.h"

#include <string>
#include <vector>

class CSequenceNode;

// An entry of a scanned folder that the run leaves out, and why.
struct CLeftOutInput {
    std::string folder;
    std::string name;
    std::string reason;
};

// Appends the platform path texts of the run's input documents to `list`, from the
// listed files, a folder's PDF files or the files the user picks. False when the run
// must end before any document is processed (no usable source, a listed entry without
// "DI", no folder, the dialog cancelled). Never lets a host error escape: one ends the
// collection with false. Entries of a scanned folder that the search could not hand back
// whole are added to `leftOut`, when given.
bool CollectInputFiles(const CSequenceNode& input, CInputList& list,
                       std::vector<CLeftOutInput>* leftOut = nullptr);

// Appends `folder`, the folder separator (a backslash on Windows) and the name of every
// entry that the platform's wildcard search finds for that folder and "*." + `extension`
// (letter case ignored, no subfolders, in the search's order). Appends nothing when the search
// finds nothing or is refused. Entries that the search left out go to `leftOut`, when given,
// and so does a listing that could not be read whole, for which the answer is false.
bool AddFolderDocuments(const std::string& extension, const std::string& folder, CInputList& list,
                        std::vector<CLeftOutInput>* leftOut = nullptr);

// Turning a sequence's "Input" section into the list of documents a run processes.
#pragma once

#include <string>
#include <vector>

class CSequenceNode;

// Appends the platform path texts of the run's input documents to `list`, from the
// listed files, a folder's PDF files or the files the user picks. False when the run
// must end before any document is processed (no usable source, a listed entry without
// "DI", no folder, the dialog cancelled). Never lets a host error escape: one ends the
// collection with false.
bool CollectInputFiles(const CSequenceNode& input, std::vector<std::string>& list);

// Appends `folder` + "\" + the name of every entry that the platform's wildcard search
// finds for folder + "\*." + `extension` (letter case ignored, no subfolders, in the
// search's order). Appends nothing when the search finds nothing or fails.
void AddFolderDocuments(const std::string& extension, const std::string& folder,
                        std::vector<std::string>& list);

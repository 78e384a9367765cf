// What a save step of an XML action asks: its items read as the output section of the
// container text asks the same ("FileVariation", "PreselectedFolderPath", the naming
// keys, "HandlerUniqueID"), with "DocSaveDestType" for what the step's kind leaves to
// them. README's table of save items says what each one means here.
#pragma once

#include "actions/XmlAction.h"

#include <cstdint>
#include <string>
#include <vector>

namespace actions {

// Where a result goes, numbered as the output section's "FileVariation".
enum class CSaveDestination : std::int32_t {
    Folder = 0,       // the folder of "PreselectedFolderPath"
    ChosenFolder = 1, // a folder chosen when the document is saved
    BesideInput = 2,  // the input's own folder
    Nowhere = 3,      // no result
};

struct CSaveMeaning {
    CSaveDestination destination = CSaveDestination::BesideInput;
    std::string folder; // a device-independent path (UTF-8), for Folder
    bool dontOverwrite = true;
    bool addToBaseName = false;
    std::string insertBefore;         // UTF-8
    std::string insertAfter;          // UTF-8
    std::string handlerId;            // a conversion handler; empty: a PDF
    std::vector<std::string> notDone; // items asked for that the run does not do, and why
};

struct CSaveStepRead {
    CSaveMeaning meaning;
    std::vector<std::string> mistakes; // each makes the action one that is not run
};

CSaveStepRead ReadSaveStep(const CActionStep& step);

} // namespace actions

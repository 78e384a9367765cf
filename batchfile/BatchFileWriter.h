// Writing the batch file where the user chooses, and saying whether that worked.
#pragma once

#include "host/HostTypes.h"

#include <string>

namespace batchfile {

inline constexpr const char* kBatchFileCreatedMessage = "Batch file has been succesefully created.";
inline constexpr const char* kBatchFileWriteErrorMessage = "Error writing output file.";

// Asks for the file with the save dialog (proposed name "Quorvella", filter "Batch File
// (*.bat)", default extension "*.bat") over `owner`, writes the batch file that starts
// the running host program, and tells the user in a message box how it went. Cancelling
// writes nothing and says nothing. An existing file is replaced without asking; a file
// that cannot be opened is left as it was; a failed write or close is reported as an error.
void WriteBatchFile(HostWindow owner, const std::string& sequencePath, int finalAction,
                    const std::string& destination);

} // namespace batchfile

#include "batchfile/BatchFileWriter.h"

#include "batchfile/BatchFileFormat.h"
#include "framework/MessageBox.h"
#include "platform/FileDialogs.h"
#include "platform/FileOutput.h"
#include "platform/ModuleFiles.h"

#include <array>

namespace batchfile {
namespace {

// Writes the lines in order as the whole file; false when it cannot be written, which
// leaves an existing file as it was.
bool WriteLines(const std::string& path, const std::array<std::string, 4>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
    }
    return platform::WriteWholeFile(path, bytes);
}

} // namespace

void WriteBatchFile(HostWindow owner, const std::string& sequencePath, int finalAction,
                    const std::string& destination) {
    // The host program is the process's executable, not this module.
    std::array<char, 260> hostProgram{};
    platform::GetProcessFileName(hostProgram.data(), hostProgram.size());
    const std::array<std::string, 4> lines =
        FormatBatchFileLines(sequencePath, finalAction, destination, hostProgram.data());

    platform::CFileDialogRequest request;
    request.owner = owner;
    request.filters = "Batch File (*.bat)|*.bat||";
    request.defaultExtension = "*.bat";
    request.proposedName = "Quorvella";
    const std::optional<std::string> target = platform::ShowSaveFileDialog(request);
    if (!target) {
        return;
    }
    framework::ShowMessage(owner, WriteLines(*target, lines) ? kBatchFileCreatedMessage
                                                             : kBatchFileWriteErrorMessage);
}

} // namespace batchfile

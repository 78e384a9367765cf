#include "batchfile/BatchFileWriter.h"

#include "batchfile/BatchFileFormat.h"
#include "framework/MessageBox.h"
#include "platform/FileDialogs.h"
#include "platform/FileOutput.h"
#include "platform/ModuleFiles.h"

#include <array>
#include <cstdio>

namespace batchfile {
namespace {

// Writes the lines in order and closes the file; false when the file cannot be opened
// or any write, or the close, fails.
bool WriteLines(const std::string& path, const std::array<std::string, 4>& lines) {
    std::FILE* file = platform::OpenFileForWriting(path);
    if (file == nullptr) {
        return false;
    }
    bool written = true;
    for (const std::string& line : lines) {
        written = written && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    }
    const bool closed = std::fclose(file) == 0;
    return written && closed;
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

// minihost's command line.
#pragma once

#include "host/HostTableNames.h"
#include "host/HostTypes.h"
#include "minihost/documents/FileChange.h"
#include "minihost/files/FileAccess.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace minihost {

struct CHostOptions {
    std::optional<std::filesystem::path> plugInsFolder; // default: plug_ins beside minihost
    // Version at which each table is offered, indexed by HostTableId; 0: not offered.
    std::array<HostVersion, kHostTableCount> tableVersions{};
    std::int16_t hostMajorVersion = 5;
    std::int16_t hostMinorVersion = 0;
    // The product the host runs as (its configuration's "Product"); none: the key is unknown.
    std::optional<std::string> product = "Exchange-Pro";
    HostVersion offeredHandshakeVersion = 0x00020000;
    std::optional<HostVersion> setupRecordVersion;
    std::optional<HostVersion> handshakeCallVersion;
    std::optional<std::uint64_t> failAtCall;
    std::optional<std::uint64_t> killAtCall; // the process ends there, as a power cut would
    std::optional<std::uint64_t> killInSave; // ... half-way through this save (from 1)
    std::vector<std::string> failOperations;
    std::optional<CFileChange> fileChange; // the last opened document's file, changed by another
    bool traceCalls = false;
    // Walk the frames of every raise's unwind with the system's unwinder (64-bit Windows).
    bool checkUnwind = false;
    std::optional<std::filesystem::path> logFile;
    bool exitAfterStartup = false;
    CDurability saveDurability = CDurability::Closed; // Flushed: every save waits for the disk
    std::optional<std::string> checkSequence;         // check this file, load nothing
    bool strictCheck = false;                         // warnings of the check fail it too
    // Narrow results of table entries carry garbage above them in their register,
    // as a real host may leave it; the tests turn it on (MINIHOST_DIRTY_UPPER_HALVES).
    bool dirtyUpperHalves = false;
    bool hostEntries = false;  // print every entry served, with its SDK name and selector
    bool testHandlers = false; // serve the diagnostic command handlers (Test...) to sequences
    bool help = false;
    bool version = false; // print the release's version and exit
    // Menus and dialogs: menus left off the bar, menu items run after start-up (by
    // language-independent name), and the dialogs' scripted answers, each list consumed
    // in order. An answer is a platform path (open-files: paths joined by ';') or "cancel".
    std::vector<std::string> absentMenus;
    std::vector<std::string> menuCommands;
    std::vector<std::string> chooseFolderAnswers;
    std::vector<std::string> openFilesAnswers;
    // Where the host keeps actions (AcquireSpecialFolderPath): the user's, and its own
    // beside the program; none: the host answers that it has no such folder.
    std::optional<std::string> userSequencesFolder;
    std::optional<std::string> appSequencesFolder;

    CHostOptions();
};

// An option that cannot be used; what() is the message for the user.
class COptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws COptionError.
CHostOptions ParseOptions(const std::vector<std::string>& arguments);

// The options in the text of MINIHOST_OPTIONS (for a host started by a batch file):
// separated by spaces; a double-quoted run may hold spaces. Null gives none.
std::vector<std::string> SplitOptionsText(const char* text);

// The text that --help prints.
std::string GetUsageText();

// The text that --version prints: the program and the release's version.
std::string GetVersionText();

// "5.0", "4.5": major.minor of a table or handshake version.
std::string FormatVersion(HostVersion version);

} // namespace minihost

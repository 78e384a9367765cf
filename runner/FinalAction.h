// What is done with each input document once its output step has ended: nothing, a
// copy or a move into a folder, a delete, a new name within its folder, or a program
// opened with it. The codes are the contract of the batch file.
#pragma once

#include "platform/FileIdentity.h"

#include <optional>
#include <string>

enum class CFinalAction : int {
    Nothing = 0,
    Copy = 1,
    Move = 2,
    Delete = 3,
    Rename = 4, // not offered by the batch file dialog
    Execute = 5,
};

// Whether the action removes the input from where it was (move, delete, rename).
inline bool IsDestructiveAction(int code) {
    return code == static_cast<int>(CFinalAction::Move) ||
           code == static_cast<int>(CFinalAction::Delete) ||
           code == static_cast<int>(CFinalAction::Rename);
}

// Whether the action uses the destination text (copy, move, rename, execute).
inline bool UsesDestination(int code) {
    return code == static_cast<int>(CFinalAction::Copy) ||
           code == static_cast<int>(CFinalAction::Move) ||
           code == static_cast<int>(CFinalAction::Rename) ||
           code == static_cast<int>(CFinalAction::Execute);
}

// The file that a copy, move or rename of `source` makes: the destination folder, the
// folder separator (a backslash on Windows) and the file's name (1, 2), or the destination below
// the file's own drive and folder (4). None for other codes, and when the part of `source` that the
// target takes is too long to be split whole: a target formed from a cut part would name another
// file.
std::optional<std::string> FormFinalActionTarget(const std::string& source,
                                                 const std::string& destination, int code);

// `path` as one argument of a Windows command line: between double quotes, with the
// backslashes and quotes that the Microsoft C runtime's splitting rules need to give it
// back unchanged. A path without a double quote or a trailing backslash is simply quoted.
std::string QuoteCommandLineArgument(const std::string& path);

// What the platform answered, for the audit trail.
struct CFinalActionReport {
    std::string target;     // the copy's, move's or rename's target; the program for code 5
    bool succeeded = false; // the platform call's own answer
    bool changed = false;   // not carried out: the file is not the version read
    std::string failure;    // why the platform call failed, in its words
    long shellResult = 0;   // code 5: the shell's answer (above 32 when started)
};

// Applies final action `code` to the closed file `source`, as the run read it: `expected`.
// `destination` is used as it stands (a folder for 1 and 2, a name relative to the file's
// folder for 4, a program for 5); `failIfExists` is the copy's choice. A target that
// cannot be formed (see FormFinalActionTarget) is not acted on, and a copy, move, rename
// or delete acts only on the version read (platform/FileActions.h). False only for a code
// outside 0 to 5; the platform's answers are not looked at, but given in `report` when one
// is asked for.
bool ApplyFinalAction(const std::string& source, const std::string& destination, bool failIfExists,
                      int code, const platform::CFileState& expected,
                      CFinalActionReport* report = nullptr);

// An action of the host's Action Wizard in its XML form (hosts XI and later): what it takes
// as input and its steps in order. Reading it collects every mistake with its place, not
// only the first, so that a check can show them all; an action with a mistake is not run.
#pragma once

#include "actions/ActionValue.h"
#include "actions/XmlTree.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace actions {

// The handler name of the step that saves the documents as they stand at that step.
inline constexpr std::string_view kSaveStepName = "WorkflowPlaybackSaveFiles";

struct CActionInputs {
    enum class CKind {
        Unnamed,      // no <Sources>: nothing was chosen
        AskForFiles,  // "select files" when the action starts
        AskForFolder, // "select folder" when the action starts
        Folders,      // <Folder path="..."/>: these folders
    };
    CKind kind = CKind::Unnamed;
    std::vector<std::string> folders; // device-independent paths, for Folders
    CTextPlace place;
};

struct CActionStep {
    enum class CKind {
        Command,     // a host command handler
        Save,        // kSaveStepName: saves the document as it stands
        Instruction, // text for a person; not a command
    };
    CKind kind = CKind::Command;
    std::string name;  // the handler's name (Command, Save)
    std::string label; // an Instruction's text, a group's label otherwise
    bool promptUser = false;
    bool pauseBefore = false;
    CActionValue items; // Items: the command's parameters, or the save's
    CTextPlace place;
};

struct CXmlAction {
    std::string title;
    std::string description;
    CActionInputs inputs;
    std::vector<CActionStep> steps; // in file order across groups; no Separator
};

struct CActionMistake {
    CTextPlace place;
    std::string text;
};

struct CXmlActionRead {
    std::optional<CXmlAction> action; // when there is no mistake
    std::vector<CActionMistake> mistakes;
    std::vector<CActionMistake> warnings; // what is left out: an element of no known kind
};

// Whether `text` is an action in the XML form rather than the container text of hosts
// 5.0 to X: by its content (both are ".sequ"), its first character that is not white
// space (after a byte-order mark) opening a tag.
bool IsXmlAction(std::string_view text);

CXmlActionRead ReadXmlAction(std::string_view text, const CXmlLimits& limits = {});

} // namespace actions

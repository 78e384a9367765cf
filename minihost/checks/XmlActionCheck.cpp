#include "minihost/checks/XmlActionCheck.h"

#include "actions/SaveStep.h"
#include "actions/XmlAction.h"
#include "minihost/checks/ParamsCheck.h"
#include "minihost/commands/Handlers.h"
#include "minihost/commands/ParamReader.h"

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <vector>

namespace minihost {
namespace {

using actions::CActionInputs;
using actions::CActionStep;
using actions::CActionValue;

struct CFinding {
    actions::CTextPlace place;
    bool isWarning = false;
    std::string message;
};

std::string Quote(std::string_view text) {
    return QuoteForLog(text);
}

std::string DescribeStep(const CActionStep& step, std::size_t number) {
    const std::string which = "step " + std::to_string(number);
    switch (step.kind) {
    case CActionStep::CKind::Instruction:
        return which + " (an instruction)";
    case CActionStep::CKind::Save:
        return which + " (a save)";
    case CActionStep::CKind::Command:
        break;
    }
    return which + " (" + step.name + ")";
}

// What a person would see, which a launched run does without: said for each step.
void FindUnattendedSteps(const actions::CXmlAction& action, std::vector<CFinding>& findings) {
    std::size_t lastSave = 0;
    for (std::size_t index = 0; index < action.steps.size(); ++index) {
        const CActionStep& step = action.steps[index];
        const std::string which = DescribeStep(step, index + 1);
        if (step.pauseBefore) {
            findings.push_back({step.place, true,
                                which + " pauses before it for a person; a launched run "
                                        "does not wait"});
        }
        if (step.kind == CActionStep::CKind::Instruction) {
            findings.push_back({step.place, true,
                                which + " is for a person (" + Quote(step.label) +
                                    "); a launched run shows it to nobody"});
        }
        if (step.promptUser) {
            findings.push_back({step.place, true,
                                which + " shows its dialog when run by hand; a launched run "
                                        "uses its stored items and shows none"});
        }
        if (step.kind == CActionStep::CKind::Save) {
            lastSave = index + 1;
        }
        if (step.kind == CActionStep::CKind::Command &&
            FindCommandHandler(step.name, false) == nullptr) {
            findings.push_back({step.place, false, ExplainUnknownHandler(step.name)});
        }
    }
    const auto commandAfter = std::find_if(
        action.steps.begin() + static_cast<std::ptrdiff_t>(lastSave), action.steps.end(),
        [](const CActionStep& step) { return step.kind == CActionStep::CKind::Command; });
    if (lastSave == 0) {
        findings.push_back({{1, 1}, true, "no step saves: the run writes no result"});
    } else if (commandAfter != action.steps.end()) {
        findings.push_back({commandAfter->place, true,
                            "the changes of the steps after the last save are not saved"});
    }
    if (action.inputs.kind == CActionInputs::CKind::Unnamed) {
        findings.push_back({{1, 1},
                            true,
                            "the action names no files and no folder to work on: a launched "
                            "run collects nothing"});
    }
}

void PrintValue(std::ostream& out, const CActionValue& value, int indent) {
    using CType = CActionValue::CType;
    switch (value.type) {
    case CType::Null:
        out << "null";
        return;
    case CType::Boolean:
        out << (value.boolean ? "true" : "false");
        return;
    case CType::Integer:
        out << value.integer;
        return;
    case CType::Double:
        out << "double " << value.number;
        return;
    case CType::Text:
        out << "text " << Quote(value.text);
        return;
    case CType::String:
        out << Quote(value.text);
        return;
    case CType::Atom:
        out << "atom " << Quote(value.text);
        return;
    case CType::Items:
        break;
    }
    if (value.members.empty()) {
        out << "{}";
        return;
    }
    out << "{\n";
    for (const actions::CActionMember& member : value.members) {
        out << std::string(static_cast<std::size_t>(indent + 4), ' ') << member.name << " = ";
        PrintValue(out, member.value, indent + 4);
        out << "\n";
    }
    out << std::string(static_cast<std::size_t>(indent), ' ') << "}";
}

// Where a save puts its result and how it names it, as the run reads the save's items.
std::string DescribeSave(const actions::CSaveMeaning& save) {
    std::string text;
    switch (save.destination) {
    case actions::CSaveDestination::Folder:
        text = "into the folder " + Quote(save.folder);
        break;
    case actions::CSaveDestination::ChosenFolder:
        text = "into a folder chosen at each save";
        break;
    case actions::CSaveDestination::BesideInput:
        text = "beside the input";
        break;
    case actions::CSaveDestination::Nowhere:
        return "nothing (FileVariation 3)";
    }
    text += save.addToBaseName ? ", named " + Quote(save.insertBefore + "<name>" + save.insertAfter)
                               : ", under the input's name";
    text += save.handlerId.empty() ? ", as a PDF" : ", converted by " + save.handlerId;
    text += save.dontOverwrite ? ", never replacing a file" : ", replacing a file of that name";
    return text;
}

void PrintPlan(std::ostream& out, const actions::CXmlAction& action) {
    out << "# an action in the XML form: " << Quote(action.title) << "\n";
    switch (action.inputs.kind) {
    case CActionInputs::CKind::Unnamed:
        out << "inputs: none\n";
        break;
    case CActionInputs::CKind::AskForFiles:
        out << "inputs: the files chosen when the run starts\n";
        break;
    case CActionInputs::CKind::AskForFolder:
        out << "inputs: the PDF files of a folder chosen when the run starts\n";
        break;
    case CActionInputs::CKind::Folders:
        for (const std::string& folder : action.inputs.folders) {
            out << "inputs: the PDF files of the folder " << Quote(folder) << "\n";
        }
        break;
    }
    int saves = 0;
    for (std::size_t index = 0; index < action.steps.size(); ++index) {
        const CActionStep& step = action.steps[index];
        out << "step " << index + 1 << ": ";
        if (step.kind == CActionStep::CKind::Instruction) {
            out << "instruction " << Quote(step.label) << ", shown to nobody\n";
            continue;
        }
        if (step.kind == CActionStep::CKind::Save) {
            out << "save " << DescribeSave(actions::ReadSaveStep(step).meaning) << " ";
            ++saves;
        } else {
            out << "command " << step.name << " ";
        }
        PrintValue(out, step.items, 0);
        out << "\n";
    }
    out << (saves == 0
                ? "each input: nothing is saved (no save step); then the final action, as "
                  "for no output\n"
                : "each input: saved " + std::to_string(saves) + (saves == 1 ? " time" : " times") +
                      "; then the final action, held back (move, delete, rename) unless "
                      "every save wrote its result\n");
}

} // namespace

int CheckXmlActionFile(const std::string& file, std::string_view bytes, bool strict,
                       std::ostream& out, std::ostream& err) {
    const actions::CXmlActionRead read = actions::ReadXmlAction(bytes);
    std::vector<CFinding> findings;
    for (const auto& mistake : read.mistakes) {
        findings.push_back({mistake.place, false, mistake.text});
    }
    for (const auto& warning : read.warnings) {
        findings.push_back({warning.place, true, warning.text});
    }
    if (read.action) {
        FindUnattendedSteps(*read.action, findings);
    }
    std::stable_sort(findings.begin(), findings.end(), [](const auto& a, const auto& b) {
        return std::pair(a.place.line, a.place.column) < std::pair(b.place.line, b.place.column);
    });
    bool anyError = false;
    bool anyWarning = false;
    for (const CFinding& finding : findings) {
        anyError = anyError || !finding.isWarning;
        anyWarning = anyWarning || finding.isWarning;
        err << file << ":" << finding.place.line << ":" << finding.place.column << ": "
            << (finding.isWarning ? "warning: " : "error: ") << finding.message << "\n";
    }
    if (anyError) {
        return 1;
    }
    PrintPlan(out, *read.action);
    return strict && anyWarning ? 1 : 0;
}

} // namespace minihost

#include "actions/XmlAction.h"

#include "actions/SaveStep.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

namespace actions {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Collects the mistakes and what is left out, each with the place of its element.
class CActionReader {
public:
    CXmlActionRead Read(const CXmlElement& root) {
        CXmlAction action;
        if (root.name != "Workflow") {
            Mistake(root, "the root element is <" + root.name + ">, not <Workflow>");
        }
        action.title = GetAttribute(root, "title");
        action.description = GetAttribute(root, "description");
        bool sourcesSeen = false;
        for (const CXmlElement& child : root.children) {
            if (child.name == "Sources") {
                if (sourcesSeen) {
                    Mistake(child, "a second <Sources>");
                }
                sourcesSeen = true;
                action.inputs = ReadSources(child);
            } else if (child.name == "Group") {
                ReadGroup(child, action.steps);
            } else {
                LeaveOut(child, "<Workflow>");
            }
        }
        CXmlActionRead read;
        if (m_mistakes.empty()) {
            read.action = std::move(action);
        }
        read.mistakes = std::move(m_mistakes);
        read.warnings = std::move(m_warnings);
        return read;
    }

private:
    CActionInputs ReadSources(const CXmlElement& sources) {
        CActionInputs inputs;
        inputs.place = sources.place;
        const std::string command = GetAttribute(sources, "defaultCommand");
        if (command == "WorkflowPlaybackSelectFile") {
            inputs.kind = CActionInputs::CKind::AskForFiles;
        } else if (command == "WorkflowPlaybackSelectFolder") {
            inputs.kind = CActionInputs::CKind::AskForFolder;
        } else if (!command.empty()) {
            Mistake(sources, "an unknown source \"" + command + "\"");
        }
        for (const CXmlElement& child : sources.children) {
            const std::string* path = child.FindAttribute("path");
            if (child.name != "Folder") {
                Mistake(child, "a source <" + child.name + "> of no known kind");
            } else if (path == nullptr || path->empty()) {
                Mistake(child, "a <Folder> without a path");
            } else if (!command.empty()) {
                Mistake(child, "a <Folder> beside \"" + command + "\"");
            } else {
                inputs.kind = CActionInputs::CKind::Folders;
                inputs.folders.push_back(*path);
            }
        }
        return inputs;
    }

    void ReadGroup(const CXmlElement& group, std::vector<CActionStep>& steps) {
        const std::string label = GetAttribute(group, "label");
        for (const CXmlElement& child : group.children) {
            if (child.name == "Separator") {
                continue;
            }
            CActionStep step;
            step.place = child.place;
            step.label = label;
            step.pauseBefore = ReadFlag(child, "pauseBefore");
            if (child.name == "Instruction") {
                step.kind = CActionStep::CKind::Instruction;
                step.label = GetAttribute(child, "label");
            } else if (child.name == "Command") {
                step.name = GetAttribute(child, "name");
                step.promptUser = ReadFlag(child, "promptUser");
                if (step.name.empty()) {
                    Mistake(child, "a command without a name");
                }
                step.kind = step.name == kSaveStepName ? CActionStep::CKind::Save
                                                       : CActionStep::CKind::Command;
                step.items.type = CActionValue::CType::Items;
                for (const CXmlElement& part : child.children) {
                    if (part.name == "Items") {
                        ReadItems(part, step.items);
                    } else {
                        LeaveOut(part, "<Command>");
                    }
                }
                if (step.kind == CActionStep::CKind::Save) {
                    CSaveStepRead save = ReadSaveStep(step);
                    for (std::string& mistake : save.mistakes) {
                        Mistake(child, std::move(mistake));
                    }
                    for (const std::string& notDone : save.meaning.notDone) {
                        m_warnings.push_back({child.place, notDone});
                    }
                }
            } else {
                LeaveOut(child, "<Group>");
                continue;
            }
            steps.push_back(std::move(step));
        }
    }

    // The members of <Items> into `into`: its <Item>s, and nested <Items> as sub-containers.
    void ReadItems(const CXmlElement& items, CActionValue& into) {
        for (const CXmlElement& child : items.children) {
            const std::string* name = child.FindAttribute("name");
            if (child.name != "Item" && child.name != "Items") {
                LeaveOut(child, "<Items>");
                continue;
            }
            if (name == nullptr || name->empty()) {
                Mistake(child, "an <" + child.name + "> without a name");
                continue;
            }
            CActionValue value;
            if (child.name == "Items") {
                value.type = CActionValue::CType::Items;
                ReadItems(child, value);
            } else if (!ReadItemValue(child, value)) {
                continue;
            }
            into.members.push_back({*name, std::move(value)});
        }
    }

    bool ReadItemValue(const CXmlElement& item, CActionValue& value) {
        using CType = CActionValue::CType;
        static constexpr std::array<std::pair<std::string_view, CType>, 7> kTypes = {{
            {"boolean", CType::Boolean},
            {"integer", CType::Integer},
            {"double", CType::Double},
            {"text", CType::Text},
            {"string", CType::String},
            {"atom", CType::Atom},
            {"null", CType::Null},
        }};
        const std::string type = GetAttribute(item, "type");
        const auto* known = std::find_if(kTypes.begin(), kTypes.end(),
                                         [&](const auto& entry) { return entry.first == type; });
        if (known == kTypes.end()) {
            Mistake(item, type.empty() ? std::string("an <Item> without a type")
                                       : "an unknown item type \"" + type + "\"");
            return false;
        }
        value.type = known->second;
        const std::string text = GetAttribute(item, "value");
        switch (value.type) {
        case CType::Null:
            return true;
        case CType::Boolean:
            value.boolean = text == "true";
            if (text != "true" && text != "false") {
                Mistake(item, "the boolean \"" + text + "\" is neither true nor false");
                return false;
            }
            return true;
        case CType::Integer:
            return ReadNumber(item, text, value.integer, "a 32-bit integer");
        case CType::Double:
            return ReadNumber(item, text, value.number, "a number");
        case CType::Text:
        case CType::String:
        case CType::Atom:
        case CType::Items:
            value.text = text;
            return true;
        }
        return true;
    }

    // The whole of `text` as a number of `number`'s type, written without a locale.
    template <typename TNumber>
    bool ReadNumber(const CXmlElement& item, const std::string& text, TNumber& number,
                    std::string_view what) {
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, number);
        if (text.empty() || stop != end || error != std::errc()) {
            Mistake(item, "\"" + text + "\" is not " + std::string(what));
            return false;
        }
        return true;
    }

    bool ReadFlag(const CXmlElement& element, std::string_view name) {
        const std::string* text = element.FindAttribute(name);
        if (text == nullptr || *text == "false") {
            return false;
        }
        if (*text != "true") {
            Mistake(element, std::string(name) + "=\"" + *text + "\" is neither true nor false");
        }
        return *text == "true";
    }

    static std::string GetAttribute(const CXmlElement& element, std::string_view name) {
        const std::string* value = element.FindAttribute(name);
        return value != nullptr ? *value : std::string();
    }

    void Mistake(const CXmlElement& element, std::string text) {
        m_mistakes.push_back({element.place, std::move(text)});
    }

    void LeaveOut(const CXmlElement& element, std::string_view within) {
        m_warnings.push_back(
            {element.place, "<" + element.name + "> in " + std::string(within) + " is left out"});
    }

    std::vector<CActionMistake> m_mistakes;
    std::vector<CActionMistake> m_warnings;
};

} // namespace

bool IsXmlAction(std::string_view text) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        return true; // UTF-16, which the container text never is
    }
    if (text.starts_with(kUtf8Mark)) {
        text.remove_prefix(kUtf8Mark.size());
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '<';
}

CXmlActionRead ReadXmlAction(std::string_view text, const CXmlLimits& limits) {
    CXmlDocument document = ReadXmlDocument(text, limits);
    if (document.error) {
        CXmlActionRead read;
        read.mistakes.push_back({document.error->place, std::move(document.error->text)});
        return read;
    }
    return CActionReader().Read(*document.root);
}

} // namespace actions

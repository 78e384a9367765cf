#include "runner/ActionContainers.h"

#include "actions/SaveStep.h"
#include "host/CoreTable.h"
#include "host/ExtraTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "platform/CodePage.h"
#include "runner/SequenceNode.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace {

using actions::CActionValue;

// One value to put, made ready outside the host's error frame: inside it the run holds
// nothing with a destructor, so every text is converted and every key known before.
struct CPut {
    enum class CKind { Container, Boolean, Integer, Double, Null, Atom, String, Text };
    CKind kind = CKind::Null;
    std::size_t into = 0; // the container it goes into: 0 the root, then in order made
    std::string key;
    bool boolean = false;
    std::int32_t integer = 0;
    double number = 0.0;
    std::string text; // String and Atom in the system's code page, Text in UTF-8
};

class CContainerPlan {
public:
    explicit CContainerPlan(unsigned codePage)
        : m_codePage(codePage) {}

    [[nodiscard]] const std::vector<CPut>& GetPuts() const { return m_puts; }
    [[nodiscard]] std::size_t CountContainers() const { return m_containers; }
    [[nodiscard]] const std::string& GetFailure() const { return m_failure; }

    std::size_t AddContainer(std::size_t into, std::string key) {
        Add(Make(CPut::CKind::Container, into, std::move(key)));
        return m_containers++;
    }
    void AddInteger(std::size_t into, std::string key, std::int32_t value) {
        CPut put = Make(CPut::CKind::Integer, into, std::move(key));
        put.integer = value;
        Add(std::move(put));
    }
    void AddBoolean(std::size_t into, std::string key, bool value) {
        CPut put = Make(CPut::CKind::Boolean, into, std::move(key));
        put.boolean = value;
        Add(std::move(put));
    }
    // A text that the run reads as 8-bit text (a path, a name part, a handler): in the
    // code page, or a failure naming `what`.
    void AddEightBit(std::size_t into, std::string key, CPut::CKind kind, const std::string& utf8,
                     std::string_view what) {
        std::optional<std::string> text = platform::ConvertFromUtf8(utf8, m_codePage);
        if (!text) {
            Fail(std::string(what) + " \"" + utf8 + "\" holds a character that this system's " +
                 "code page (" + std::to_string(m_codePage) + ") cannot write");
            return;
        }
        AddText(into, std::move(key), kind, std::move(*text));
    }

    // A string already in the code page.
    void AddBytes(std::size_t into, std::string key, std::string bytes) {
        AddText(into, std::move(key), CPut::CKind::String, std::move(bytes));
    }

    // A command's item as it stands: texts stay Unicode, strings are bytes.
    void AddValue(std::size_t into, const std::string& key, const CActionValue& value) {
        using CType = CActionValue::CType;
        switch (value.type) {
        case CType::Null:
            Add(Make(CPut::CKind::Null, into, key));
            break;
        case CType::Boolean:
            AddBoolean(into, key, value.boolean);
            break;
        case CType::Integer:
            AddInteger(into, key, value.integer);
            break;
        case CType::Double: {
            CPut put = Make(CPut::CKind::Double, into, key);
            put.number = value.number;
            Add(std::move(put));
        } break;
        case CType::Text:
            AddText(into, key, CPut::CKind::Text, value.text);
            break;
        case CType::String:
            AddText(into, key, CPut::CKind::String, value.text);
            break;
        case CType::Atom:
            AddEightBit(into, key, CPut::CKind::Atom, value.text, "the atom");
            break;
        case CType::Items: {
            const std::size_t items = AddContainer(into, key);
            for (const actions::CActionMember& member : value.members) {
                AddValue(items, member.name, member.value);
            }
            break;
        }
        }
    }

    void Fail(std::string why) {
        if (m_failure.empty()) {
            m_failure = std::move(why);
        }
    }

private:
    static CPut Make(CPut::CKind kind, std::size_t into, std::string key) {
        CPut put;
        put.kind = kind;
        put.into = into;
        put.key = std::move(key);
        return put;
    }
    void AddText(std::size_t into, std::string key, CPut::CKind kind, std::string text) {
        CPut put = Make(kind, into, std::move(key));
        put.text = std::move(text);
        Add(std::move(put));
    }
    void Add(CPut put) { m_puts.push_back(std::move(put)); }

    unsigned m_codePage;
    std::vector<CPut> m_puts;
    std::size_t m_containers = 1; // the root
    std::string m_failure;
};

// The host's non-interactive policy for a command ("UIPolicy" in its configuration): no
// dialog, no question, errors reported to the caller (kAVCommandUISilent).
constexpr std::int32_t kUiPolicySilent = 3;

constexpr std::int32_t kFolderFiles = 1;
constexpr std::int32_t kPickedFiles = 2;
constexpr std::int32_t kChosenFolder = 3;
constexpr std::int32_t kNoOutput = 3;

void PlanInput(const actions::CActionInputs& inputs, CContainerPlan& plan) {
    const std::size_t input = plan.AddContainer(0, "Input");
    switch (inputs.kind) {
    case actions::CActionInputs::CKind::Unnamed:
        break; // no "FileVariation": the run says that the action names no input
    case actions::CActionInputs::CKind::AskForFiles:
        plan.AddInteger(input, "FileVariation", kPickedFiles);
        break;
    case actions::CActionInputs::CKind::AskForFolder:
        plan.AddInteger(input, "FileVariation", kChosenFolder);
        break;
    case actions::CActionInputs::CKind::Folders: {
        plan.AddInteger(input, "FileVariation", kFolderFiles);
        const std::size_t folders = plan.AddContainer(input, "PreselectedFolderPaths");
        for (std::size_t i = 0; i < inputs.folders.size(); ++i) {
            const std::size_t entry = plan.AddContainer(folders, std::to_string(i));
            plan.AddEightBit(entry, "DI", CPut::CKind::String, inputs.folders[i], "the folder");
        }
        break;
    }
    }
}

// A save step's items as the output section's keys (README: the save items).
void PlanSave(const actions::CActionStep& step, std::size_t params, CContainerPlan& plan) {
    const actions::CSaveMeaning meaning = actions::ReadSaveStep(step).meaning;
    plan.AddInteger(params, "FileVariation", static_cast<std::int32_t>(meaning.destination));
    if (!meaning.folder.empty()) {
        const std::size_t folder = plan.AddContainer(params, "PreselectedFolderPath");
        plan.AddEightBit(folder, "DI", CPut::CKind::String, meaning.folder, "the save folder");
    }
    plan.AddBoolean(params, "DontOverwrite", meaning.dontOverwrite);
    plan.AddBoolean(params, "AddToBaseName", meaning.addToBaseName);
    plan.AddEightBit(params, "InsertBeforeBaseName", CPut::CKind::String, meaning.insertBefore,
                     "InsertBeforeBaseName");
    plan.AddEightBit(params, "InsertAfterBaseName", CPut::CKind::String, meaning.insertAfter,
                     "InsertAfterBaseName");
    if (!meaning.handlerId.empty()) {
        plan.AddEightBit(params, "HandlerUniqueID", CPut::CKind::String, meaning.handlerId,
                         "HandlerUniqueID");
    }
}

// What a person would have been asked at each step where the host's own run stops for
// one: the run asks nobody, and the trail says so (the run's "unattended" records).
std::vector<std::string> ListUnattendedSteps(const actions::CXmlAction& action, unsigned codePage) {
    std::vector<std::string> notes;
    int number = 1; // the next command's, counted from 1 as the trail counts steps
    for (const actions::CActionStep& step : action.steps) {
        const std::string where = "step " + std::to_string(number) + " (" + step.name + ")";
        if (step.kind == actions::CActionStep::CKind::Instruction) {
            const std::optional<std::string> text = platform::ConvertFromUtf8(step.label, codePage);
            notes.push_back(
                "before step " + std::to_string(number) + ": the instruction " +
                (text ? "\"" + *text + "\"" : std::string("(in characters of another code page)")) +
                " would have waited for a person; it is not shown");
            continue;
        }
        if (step.pauseBefore) {
            notes.push_back(where + ": the action would have paused before it (pauseBefore); "
                                    "it goes on");
        }
        if (step.promptUser) {
            notes.push_back(where + ": its dialog would have been shown (promptUser); it runs "
                                    "with its stored items");
        }
        ++number;
    }
    return notes;
}

CContainerPlan PlanAction(const actions::CXmlAction& action, unsigned codePage) {
    CContainerPlan plan(codePage);
    const std::size_t commands = plan.AddContainer(0, "Commands");
    int index = 0;
    for (const actions::CActionStep& step : action.steps) {
        if (step.kind == actions::CActionStep::CKind::Instruction) {
            continue; // text for a person, not a command
        }
        const std::size_t entry = plan.AddContainer(commands, std::to_string(index++));
        plan.AddEightBit(entry, "HandlerName", CPut::CKind::Atom, step.name, "the command name");
        const std::size_t config = plan.AddContainer(entry, "Config");
        if (step.kind == actions::CActionStep::CKind::Save) {
            PlanSave(step, plan.AddContainer(entry, "Params"), plan);
        } else {
            // Nobody is there to answer a dialog: every command runs with its stored items.
            plan.AddInteger(config, "UIPolicy", kUiPolicySilent);
            plan.AddValue(entry, "Params", step.items);
        }
    }
    const std::vector<std::string> notes = ListUnattendedSteps(action, codePage);
    if (!notes.empty()) {
        const std::size_t unattended = plan.AddContainer(0, "Unattended");
        for (std::size_t i = 0; i < notes.size(); ++i) {
            plan.AddBytes(unattended, std::to_string(i), notes[i]);
        }
    }
    PlanInput(action.inputs, plan);
    const std::size_t output = plan.AddContainer(0, "Output");
    plan.AddInteger(output, "FileVariation", kNoOutput);
    return plan;
}

} // namespace

bool FillFromXmlAction(const actions::CXmlAction& action, CSequenceNode& root,
                       std::string& failure) {
    root.Release();
    const CContainerPlan plan = PlanAction(action, platform::GetAnsiCodePage());
    if (!plan.GetFailure().empty()) {
        failure = plan.GetFailure();
        return false;
    }

    // What the frame acquires: the root, and what is made but not yet put into it.
    const std::vector<CPut>& puts = plan.GetPuts();
    std::vector<HostContainer> containers(plan.CountContainers(), nullptr);
    std::size_t made = 1;
    HostContainer top = nullptr;
    HostContainer loose = nullptr;
    HostText looseText = nullptr;
    char* looseBlock = nullptr;
    bool outOfMemory = false;
    const bool completed = CallInErrorFrame([&] {
        top = ExtraContainerNew();
        containers[0] = top;
        for (const CPut& put : puts) {
            HostContainer into = containers[put.into];
            const char* key = put.key.c_str();
            switch (put.kind) {
            case CPut::CKind::Container:
                loose = ExtraContainerNew();
                ExtraContainerPutContainer(into, key, loose);
                containers[made++] = loose;
                loose = nullptr;
                break;
            case CPut::CKind::Boolean:
                ExtraContainerPutBool(into, key, put.boolean ? kHostTrue : kHostFalse);
                break;
            case CPut::CKind::Integer:
                ExtraContainerPutInt(into, key, put.integer);
                break;
            case CPut::CKind::Double:
                ExtraContainerPutDouble(into, key, put.number);
                break;
            case CPut::CKind::Null:
                ExtraContainerPutNull(into, key);
                break;
            case CPut::CKind::Atom:
                ExtraContainerPutAtom(into, key, CoreAtomFromString(put.text.c_str()));
                break;
            case CPut::CKind::String:
                looseBlock = static_cast<char*>(SupportMemAlloc(put.text.size() + 1));
                if (looseBlock == nullptr) {
                    outOfMemory = true;
                    return;
                }
                std::memcpy(looseBlock, put.text.c_str(), put.text.size() + 1);
                ExtraContainerPutString(into, key, looseBlock);
                looseBlock = nullptr;
                break;
            case CPut::CKind::Text:
                // The host reads UTF-8 through its UTF-16 parameter, as the format says.
                looseText = ExtraTextFromUnicode(
                    reinterpret_cast<const std::uint16_t*>(put.text.c_str()), // NOLINT
                    kUnicodeUtf8);
                ExtraContainerPutText(into, key, looseText);
                looseText = nullptr;
                break;
            }
        }
    });
    if (looseBlock != nullptr) {
        SupportMemFree(looseBlock);
    }
    if (looseText != nullptr) {
        ExtraTextDestroy(looseText);
    }
    if (loose != nullptr) {
        ExtraContainerDestroy(loose);
    }
    if (!completed || outOfMemory) {
        if (top != nullptr) {
            ExtraContainerDestroy(top);
        }
        const std::string hostText = outOfMemory ? "" : GetHostErrorText(CoreGetErrorCode());
        failure = outOfMemory        ? "the host had no memory for the action"
                  : hostText.empty() ? "the host raised an error while it took the action in"
                                     : hostText;
        return false;
    }
    root.Adopt(top);
    return true;
}

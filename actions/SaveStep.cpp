#include "actions/SaveStep.h"

#include <array>
#include <string_view>

namespace actions {
namespace {

using CType = CActionValue::CType;

const CActionValue* FindItem(const CActionValue& items, std::string_view name) {
    for (const CActionMember& member : items.members) {
        if (member.name == name) {
            return &member.value;
        }
    }
    return nullptr;
}

// Whether an item asks for something: present, and not false, 0, null or empty.
bool IsAsked(const CActionValue* value) {
    if (value == nullptr) {
        return false;
    }
    switch (value->type) {
    case CType::Null:
        return false;
    case CType::Boolean:
        return value->boolean;
    case CType::Integer:
        return value->integer != 0;
    case CType::Double:
        return value->number != 0.0;
    case CType::Items:
        return !value->members.empty();
    default:
        return !value->text.empty();
    }
}

bool IsWords(const CActionValue& value) {
    return value.type == CType::Text || value.type == CType::String || value.type == CType::Atom;
}

class CSaveStepReader {
public:
    explicit CSaveStepReader(const CActionValue& items)
        : m_items(items) {}

    CSaveStepRead Read() {
        CSaveMeaning& meaning = m_read.meaning;
        // The step's kind: a plain save keeps the document's own name and place and
        // replaces the file, as the host's Save does; the others name a result beside the
        // input or in a folder, and replace nothing unless asked.
        std::string kind;
        ReadWords("DocSaveDestType", kind);
        if (kind == "WorkflowPlaybackSave") {
            meaning.dontOverwrite = false;
        } else if (kind == "WorkflowPlaybackSaveInAFolder") {
            meaning.destination = CSaveDestination::Folder;
        } else if (!kind.empty() && kind != "WorkflowPlaybackSaveAs") {
            m_read.mistakes.emplace_back("DocSaveDestType \"" + kind +
                                         "\" is no kind of save known");
        }
        if (const CActionValue* variation = FindItem(m_items, "FileVariation")) {
            if (variation->type != CType::Integer || variation->integer < 0 ||
                variation->integer > 3) {
                m_read.mistakes.emplace_back("FileVariation is not 0, 1, 2 or 3");
            } else {
                meaning.destination = static_cast<CSaveDestination>(variation->integer);
            }
        }
        ReadFolder();
        if (meaning.destination == CSaveDestination::Folder && meaning.folder.empty()) {
            m_read.mistakes.emplace_back("the step saves into a folder but names none "
                                         "(PreselectedFolderPath)");
        }
        ReadFlag("DontOverwrite", meaning.dontOverwrite);
        ReadFlag("AddToBaseName", meaning.addToBaseName);
        if (meaning.addToBaseName) {
            ReadWords("InsertBeforeBaseName", meaning.insertBefore);
            ReadWords("InsertAfterBaseName", meaning.insertAfter);
        }
        ReadWords("HandlerUniqueID", meaning.handlerId);
        NoteNotDone();
        return std::move(m_read);
    }

private:
    // "PreselectedFolderPath": a sub-container with "DI", as the container text writes it,
    // or the path itself.
    void ReadFolder() {
        const CActionValue* folder = FindItem(m_items, "PreselectedFolderPath");
        if (folder != nullptr && folder->type == CType::Items) {
            folder = FindItem(*folder, "DI");
        }
        if (folder == nullptr || folder->type == CType::Null) {
            return;
        }
        if (!IsWords(*folder)) {
            m_read.mistakes.emplace_back("PreselectedFolderPath holds no path");
            return;
        }
        m_read.meaning.folder = folder->text;
    }

    void ReadFlag(std::string_view name, bool& flag) {
        const CActionValue* value = FindItem(m_items, name);
        if (value == nullptr) {
            return;
        }
        if (value->type == CType::Boolean) {
            flag = value->boolean;
        } else if (value->type == CType::Integer) {
            flag = value->integer != 0;
        } else {
            m_read.mistakes.emplace_back(std::string(name) + " is neither true nor false");
        }
    }

    void ReadWords(std::string_view name, std::string& words) {
        const CActionValue* value = FindItem(m_items, name);
        if (value == nullptr || value->type == CType::Null) {
            return;
        }
        if (!IsWords(*value)) {
            m_read.mistakes.emplace_back(std::string(name) + " holds no text");
            return;
        }
        words = value->text;
    }

    // What the host's own save would do beyond saving, which a run does not.
    void NoteNotDone() {
        struct CNotDone {
            std::string_view item;
            std::string_view why;
        };
        static constexpr std::array<CNotDone, 5> kNotDone = {{
            {"OptimizePDF", "the PDF optimizer is not run: the result is saved as it stands"},
            {"RunPDFOptimizer", "the PDF optimizer is not run: the result is saved as it stands"},
            {"NumbericNaming", "no number is added to a name: a name taken is as DontOverwrite "
                               "says"},
            {"EmbedIndex", "no search index is embedded"},
            {"HandleOutput", "the step's reports are not written"},
        }};
        for (const CNotDone& entry : kNotDone) {
            if (IsAsked(FindItem(m_items, entry.item))) {
                m_read.meaning.notDone.push_back(std::string(entry.item) + ": " +
                                                 std::string(entry.why));
            }
        }
    }

    const CActionValue& m_items;
    CSaveStepRead m_read;
};

} // namespace

CSaveStepRead ReadSaveStep(const CActionStep& step) {
    return CSaveStepReader(step.items).Read();
}

} // namespace actions

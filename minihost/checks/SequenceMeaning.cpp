#include "minihost/checks/SequenceMeaning.h"

#include "minihost/checks/DIPathCheck.h"
#include "minihost/checks/KeySuggestion.h"
#include "minihost/checks/ParamsCheck.h"
#include "minihost/commands/ParamReader.h"
#include "minihost/conversions/Conversions.h"
#include "minihost/files/FileAccess.h"
#include "util/NamePart.h"
#include "util/PathParts.h"

#include <array>
#include <optional>
#include <span>

namespace minihost {

void CSequenceFindings::AddErrorAtKey(const CContainer& container, std::string_view key,
                                      std::string message) {
    m_findings.push_back({m_positions.FindKey(container, key), false, std::move(message)});
}

void CSequenceFindings::AddErrorAtValue(const CContainer& container, std::string_view key,
                                        std::string message) {
    m_findings.push_back({m_positions.FindValue(container, key), false, std::move(message)});
}

void CSequenceFindings::AddWarningAtValue(const CContainer& container, std::string_view key,
                                          std::string message) {
    m_findings.push_back({m_positions.FindValue(container, key), true, std::move(message)});
}

void CSequenceFindings::AddErrorAt(const CContainer& container, std::string message) {
    m_findings.push_back({m_positions.FindOpening(container), false, std::move(message)});
}

namespace {

// The keys the run reads, by container.
constexpr std::array<std::string_view, 3> kRootKeys = {"Commands", "Input", "Output"};
constexpr std::array<std::string_view, 3> kStepKeys = {"HandlerName", "Config", "Params"};
constexpr std::array<std::string_view, 3> kInputKeys = {"FileVariation", "PreselectedFilesPaths",
                                                        "PreselectedFolderPath"};
constexpr std::array<std::string_view, 7> kOutputKeys = {
    "FileVariation",       "PreselectedFolderPath", "AddToBaseName",  "InsertBeforeBaseName",
    "InsertAfterBaseName", "DontOverwrite",         "HandlerUniqueID"};
constexpr std::array<std::string_view, 1> kPathKeys = {"DI"};

enum class CWanted { Integer, Boolean, Atom, Text, Container };

const char* DescribeWanted(CWanted wanted) {
    switch (wanted) {
    case CWanted::Integer:
        return "a number, as in 1";
    case CWanted::Boolean:
        return "true or false";
    case CWanted::Atom:
        return "an atom, as in atom \"RotatePages\"";
    case CWanted::Text:
        return "a string or a text, as in \"...\"";
    case CWanted::Container:
        return "a container, { ... }";
    }
    return "";
}

bool IsOfKind(const CValue& value, CWanted wanted) {
    switch (wanted) {
    case CWanted::Integer:
        return std::holds_alternative<std::int32_t>(value);
    case CWanted::Boolean:
        return std::holds_alternative<bool>(value);
    case CWanted::Atom:
        return std::holds_alternative<CAtomValue>(value);
    case CWanted::Text:
        return std::holds_alternative<std::string>(value) ||
               std::holds_alternative<CTextValue>(value);
    case CWanted::Container:
        return std::holds_alternative<std::unique_ptr<CContainer>>(value);
    }
    return false;
}

std::string Quote(std::string_view text) {
    return QuoteForLog(text);
}

// "an integer", "a string".
std::string WithArticle(std::string_view noun) {
    const bool vowel =
        !noun.empty() && std::string_view("aeiou").find(noun.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(noun);
}

class CMeaningCheck {
public:
    CMeaningCheck(const CSequencePositions& positions, unsigned codePage)
        : m_findings(positions)
        , m_codePage(codePage) {}

    std::vector<CSequenceFinding> CheckRoot(const CContainer& root) {
        CheckKnownKeys(root, "the sequence", kRootKeys);
        for (const std::string_view section : kRootKeys) {
            if (root.Find(section) == nullptr) {
                m_findings.AddErrorAt(root, "the sequence has no " + Quote(section) +
                                                ": the run does nothing");
            }
        }
        if (const CContainer* commands = Require(root, "Commands", CWanted::Container)) {
            CheckCommands(*commands);
        }
        if (const CContainer* input = Require(root, "Input", CWanted::Container)) {
            CheckInput(*input);
        }
        if (const CContainer* output = Require(root, "Output", CWanted::Container)) {
            CheckOutput(*output);
        }
        return m_findings.List();
    }

private:
    // Every key of `container` is one the run reads there; a misspelt one is named with
    // the key it most likely meant.
    void CheckKnownKeys(const CContainer& container, std::string_view where,
                        std::span<const std::string_view> known) {
        for (const auto& [key, value] : container.GetEntries()) {
            if (std::find(known.begin(), known.end(), key) != known.end()) {
                continue;
            }
            const std::string nearest = SuggestKey(key, known);
            m_findings.AddErrorAtKey(container, key,
                                     "unknown key " + Quote(key) + " in " + std::string(where) +
                                         ", which the run ignores; " +
                                         (nearest.empty()
                                              ? "it reads " + JoinNames(known)
                                              : "did you mean " + Quote(nearest) + "?"));
        }
    }

    // The value under `key` when it is of the kind wanted; an error when it is of another
    // (the run reads it as absent).
    const CValue* FindOfKind(const CContainer& container, std::string_view key, CWanted wanted) {
        const CValue* value = container.Find(key);
        if (value == nullptr || IsOfKind(*value, wanted)) {
            return value;
        }
        m_findings.AddErrorAtValue(container, key,
                                   Quote(key) + " must be " + DescribeWanted(wanted) + ", not " +
                                       WithArticle(GetValueTypeName(*value)) +
                                       ": the run reads it as absent");
        return nullptr;
    }

    const CContainer* Require(const CContainer& container, std::string_view key, CWanted wanted) {
        const CValue* value = FindOfKind(container, key, wanted);
        return value != nullptr ? std::get<std::unique_ptr<CContainer>>(*value).get() : nullptr;
    }

    std::optional<std::int32_t> FindInt(const CContainer& container, std::string_view key) {
        const CValue* value = FindOfKind(container, key, CWanted::Integer);
        return value != nullptr ? std::optional(std::get<std::int32_t>(*value)) : std::nullopt;
    }

    std::optional<std::string> FindText(const CContainer& container, std::string_view key) {
        if (FindOfKind(container, key, CWanted::Text) == nullptr) {
            return std::nullopt;
        }
        return container.GetStringOrText(key);
    }

    // The keys of a numbered list run "0", "1", ... without a gap; the run reads entry i
    // for i below the count. Answers how many entries it reads.
    std::size_t CheckNumberedList(const CContainer& list, std::string_view what,
                                  std::string_view consequence) {
        const std::size_t count = list.GetCount();
        for (std::size_t index = 0; index < count; ++index) {
            if (list.Find(std::to_string(index)) != nullptr) {
                continue;
            }
            // The first key out of place is where the gap shows.
            for (const auto& [key, value] : list.GetEntries()) {
                const auto number = ReadIndex(key);
                if (!number || *number >= count) {
                    m_findings.AddErrorAtKey(list, key,
                                             "the " + std::string(what) +
                                                 " are keyed 0, 1, 2, ... without a gap; " +
                                                 "there is no " + Quote(std::to_string(index)) +
                                                 ", so " + std::string(consequence));
                    break;
                }
            }
            return index;
        }
        return count;
    }

    static std::optional<std::size_t> ReadIndex(std::string_view key) {
        if (key.empty() || key.size() > 9 || (key.size() > 1 && key.front() == '0')) {
            return std::nullopt;
        }
        std::size_t number = 0;
        for (const char c : key) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            number = number * 10 + static_cast<std::size_t>(c - '0');
        }
        return number;
    }

    void CheckCommands(const CContainer& commands) {
        const std::size_t read = CheckNumberedList(commands, "steps", "the run stops at that step");
        for (std::size_t index = 0; index < read; ++index) {
            const std::string key = std::to_string(index);
            if (const CContainer* step = Require(commands, key, CWanted::Container)) {
                CheckStep(*step, index + 1);
            }
        }
    }

    void CheckStep(const CContainer& step, std::size_t number) {
        const std::string which = "step " + std::to_string(number);
        CheckKnownKeys(step, which, kStepKeys);
        for (const std::string_view key : kStepKeys) {
            if (step.Find(key) == nullptr) {
                m_findings.AddErrorAt(step, which + " has no " + Quote(key) +
                                                ": the run stops at this step");
            }
        }
        Require(step, "Config", CWanted::Container);
        const CContainer* params = Require(step, "Params", CWanted::Container);
        const CValue* name = FindOfKind(step, "HandlerName", CWanted::Atom);
        if (name == nullptr) {
            return;
        }
        const std::string& handlerName = std::get<CAtomValue>(*name).name;
        const CCommandHandler* handler = FindCommandHandler(handlerName, false);
        if (handler == nullptr) {
            m_findings.AddErrorAtValue(step, "HandlerName", ExplainUnknownHandler(handlerName));
            return;
        }
        if (params != nullptr) {
            if (const std::string refusal = CheckHandlerParams(*handler, *params);
                !refusal.empty()) {
                m_findings.AddErrorAtValue(step, "Params",
                                           std::string(handler->name) + " refuses its Params: " +
                                               refusal + "; the run stops at this step");
            }
        }
    }

    void CheckInput(const CContainer& input) {
        CheckKnownKeys(input, "Input", kInputKeys);
        const CValue* present = input.Find("FileVariation");
        const std::optional<std::int32_t> variation = FindInt(input, "FileVariation");
        if (present == nullptr) {
            m_findings.AddErrorAt(input, "Input has no \"FileVariation\" (0 listed files, 1 a "
                                         "folder, 2 files picked): the run collects nothing");
            return;
        }
        if (!variation) {
            return;
        }
        switch (*variation) {
        case 0:
            CheckListedFiles(input);
            break;
        case 1:
            if (const CContainer* folder = RequireSection(input, "PreselectedFolderPath",
                                                          "FileVariation 1 scans the folder")) {
                CheckPath(*folder, "a folder", true, true);
            }
            break;
        case 2:
            break;
        default:
            m_findings.AddErrorAtValue(input, "FileVariation",
                                       "Input's FileVariation is 0 (listed files), 1 (a folder) "
                                       "or 2 (files picked), not " +
                                           std::to_string(*variation) +
                                           ": the run collects nothing");
            return;
        }
        WarnUnread(input, "PreselectedFilesPaths", *variation != 0, "FileVariation 0");
        WarnUnread(input, "PreselectedFolderPath", *variation != 1, "FileVariation 1");
    }

    // A sub-container that `why` needs; an error when it is missing.
    const CContainer* RequireSection(const CContainer& container, std::string_view key,
                                     std::string_view why) {
        if (container.Find(key) == nullptr) {
            m_findings.AddErrorAt(container, std::string(why) + ", but there is no " + Quote(key) +
                                                 ": the run collects nothing");
            return nullptr;
        }
        return Require(container, key, CWanted::Container);
    }

    void WarnUnread(const CContainer& container, std::string_view key, bool unread,
                    std::string_view readWith) {
        if (unread && container.Find(key) != nullptr) {
            m_findings.AddWarningAtValue(container, key,
                                         Quote(key) + " is read only with " +
                                             std::string(readWith) + "; here it is not read");
        }
    }

    void CheckListedFiles(const CContainer& input) {
        const CContainer* files =
            RequireSection(input, "PreselectedFilesPaths", "FileVariation 0 lists the files");
        if (files == nullptr) {
            return;
        }
        m_listedBaseNames.emplace();
        // The run reads key i for each i below the count and passes over a key that is not
        // there: of 0, 2 and 3 it reads 0 and 2.
        const std::size_t count = files->GetCount();
        const std::string last = std::to_string(count == 0 ? 0 : count - 1);
        static_cast<void>(
            CheckNumberedList(*files, "files",
                              "the run reads the files keyed 0 to " + last +
                                  " that are there (one key for each file listed), and no other"));
        for (std::size_t index = 0; index < count; ++index) {
            const std::string key = std::to_string(index);
            if (files->Find(key) == nullptr) {
                continue;
            }
            if (const CContainer* entry = Require(*files, key, CWanted::Container)) {
                if (const auto path = CheckPath(*entry, "a file", false, true)) {
                    NoteListedFile(*path);
                }
            }
        }
    }

    // The "DI" of `holder`, there and usable on this platform; an input that does not
    // exist (yet) is warned about, and a file where a folder is wanted (or the other way
    // round) is an error. Answers the path, when usable.
    std::optional<std::string> CheckPath(const CContainer& holder, std::string_view what,
                                         bool isFolder, bool isInput) {
        CheckKnownKeys(holder, "a path", kPathKeys);
        if (holder.Find("DI") == nullptr) {
            m_findings.AddErrorAt(
                holder, "no \"DI\" names " + std::string(what) + " here: " +
                            (isInput ? "the run collects nothing" : "no result is written"));
            return std::nullopt;
        }
        const std::optional<std::string> text = FindText(holder, "DI");
        if (!text) {
            return std::nullopt;
        }
        if (const std::string why = ExplainUnusableDIPath(*text, kHostPathStyle, m_codePage);
            !why.empty()) {
            m_findings.AddErrorAtValue(holder, "DI",
                                       "the DI path " + Quote(*text) +
                                           " cannot be used on this system: " + why);
            return std::nullopt;
        }
        std::string path = FormatPlatformPath(*ParseDIPath(*text, kHostPathStyle, m_codePage));
        const CFound found = FindWhatIsAt(path);
        const std::string named =
            std::string(isFolder ? (isInput ? "the folder " : "the output folder ") : "the file ") +
            path;
        if (found == CFound::Nothing) {
            if (isInput) {
                m_findings.AddWarningAtValue(holder, "DI", named + " does not exist (yet)");
            }
        } else if (isFolder && found != CFound::Folder) {
            m_findings.AddErrorAtValue(
                holder, "DI",
                named + " is " + DescribeFound(found) + ": " +
                    (isInput ? "the run collects nothing" : "no result is written"));
            return std::nullopt;
        } else if (!isFolder && found != CFound::File) {
            // The run collects it and meets it when it opens the document.
            m_findings.AddErrorAtValue(holder, "DI",
                                       named + " is " + DescribeFound(found) +
                                           ": the run cannot open it as a document and "
                                           "skips it");
            return std::nullopt;
        }
        return path;
    }

    enum class CFound { Nothing, File, Folder, NoFile };

    static CFound FindWhatIsAt(const std::string& path) {
        if (IsExistingFolder(path)) {
            return CFound::Folder;
        }
        try {
            CheckFileReadable(path);
            return CFound::File;
        } catch (const CFileAccessError& error) {
            switch (error.GetKind()) {
            case CFileAccessError::CKind::Denied:
                return CFound::File;
            case CFileAccessError::CKind::IsFolder:
                return CFound::Folder;
            case CFileAccessError::CKind::NotAFile:
                return CFound::NoFile;
            default:
                return CFound::Nothing;
            }
        }
    }

    static const char* DescribeFound(CFound found) {
        switch (found) {
        case CFound::File:
            return "a file";
        case CFound::Folder:
            return "a folder";
        case CFound::NoFile:
            return "a device, a pipe or a socket";
        case CFound::Nothing:
            break;
        }
        return "nothing";
    }

    // The base name of a listed file, from which the run forms its result's name; a name
    // too long to split gives no result anyway.
    void NoteListedFile(const std::string& path) {
        const CSplitPath parts = SplitPath(path, m_codePage);
        if (!parts.nameWasCut) {
            m_listedBaseNames->push_back(parts.baseName);
        }
    }

    // The run writes no result under a name that a name part leads out of its folder or to
    // a device: judged for each listed file, else for whatever input comes.
    void CheckNameParts(const CContainer& output, std::string_view before, std::string_view after) {
        CNamePartRefusal refusal =
            ExplainRefusedNameParts({before, std::nullopt, after}, m_codePage, Quote);
        for (std::size_t i = 0;
             !refusal.IsRefused() && m_listedBaseNames && i < m_listedBaseNames->size(); ++i) {
            refusal = ExplainRefusedNameParts({before, (*m_listedBaseNames)[i], after}, m_codePage,
                                              Quote);
        }
        if (refusal.IsRefused()) {
            m_findings.AddErrorAtValue(
                output, refusal.inAfter ? "InsertAfterBaseName" : "InsertBeforeBaseName",
                refusal.reason +
                    ": the run writes no such result and holds back its input's move, delete "
                    "or rename");
        }
    }

    void CheckOutput(const CContainer& output) {
        CheckKnownKeys(output, "Output", kOutputKeys);
        const std::optional<std::int32_t> variation = FindInt(output, "FileVariation");
        const std::optional<std::string> handler = FindText(output, "HandlerUniqueID");
        FindOfKind(output, "AddToBaseName", CWanted::Boolean);
        const CValue* dontOverwrite = FindOfKind(output, "DontOverwrite", CWanted::Boolean);
        const std::optional<std::string> before = FindText(output, "InsertBeforeBaseName");
        const std::optional<std::string> after = FindText(output, "InsertAfterBaseName");
        const std::int32_t chosen = variation.value_or(2);
        if (chosen < 0 || chosen > 3) {
            m_findings.AddErrorAtValue(output, "FileVariation",
                                       "Output's FileVariation is 0 (a folder), 1 (a folder "
                                       "chosen for each document), 2 (beside the input) or 3 "
                                       "(none), not " +
                                           std::to_string(chosen) + ": no result is written");
        }
        if (chosen == 0) {
            if (output.Find("PreselectedFolderPath") == nullptr) {
                m_findings.AddErrorAt(output, "Output's FileVariation 0 writes into the folder of "
                                              "\"PreselectedFolderPath\", but there is none: no "
                                              "result is written");
            } else if (const CContainer* folder =
                           Require(output, "PreselectedFolderPath", CWanted::Container)) {
                const auto path = CheckPath(*folder, "the output folder", true, false);
                // A PDF save makes its folder; a conversion does not.
                if (path && handler && !handler->empty() && !IsExistingFolder(*path)) {
                    m_findings.AddWarningAtValue(*folder, "DI",
                                                 "the output folder " + *path +
                                                     " does not exist (yet), and a conversion "
                                                     "does not make it");
                }
            }
        }
        WarnUnread(output, "PreselectedFolderPath", chosen != 0, "FileVariation 0");
        const CValue* add = output.Find("AddToBaseName");
        const bool adds =
            add != nullptr && std::holds_alternative<bool>(*add) && std::get<bool>(*add);
        WarnUnread(output, "InsertBeforeBaseName", !adds, "AddToBaseName true");
        WarnUnread(output, "InsertAfterBaseName", !adds, "AddToBaseName true");
        if (adds && chosen >= 0 && chosen < 3) {
            CheckNameParts(output, before.value_or(""), after.value_or(""));
        }
        if (handler && !handler->empty()) {
            CheckConversion(output, *handler);
            // The host's batch leaves a conversion's file to its handler, which replaces
            // whatever is there: the key promises what the run does not do.
            if (dontOverwrite != nullptr && std::get<bool>(*dontOverwrite) && chosen >= 0 &&
                chosen < 3) {
                m_findings.AddWarningAtValue(
                    output, "DontOverwrite",
                    "\"DontOverwrite\" is not consulted for a conversion (HandlerUniqueID " +
                        Quote(*handler) + "): its handler replaces a file of the result's name");
            }
        }
    }

    void CheckConversion(const CContainer& output, const std::string& handler) {
        std::vector<std::string_view> served;
        for (const CConversion& conversion : ListConversions()) {
            if (conversion.uniqueId == handler) {
                return;
            }
            served.emplace_back(conversion.uniqueId);
        }
        m_findings.AddErrorAtValue(output, "HandlerUniqueID",
                                   "no conversion handler is named " + Quote(handler) +
                                       ", so no result is written; this host has " +
                                       JoinNames(served));
    }

    CSequenceFindings m_findings;
    unsigned m_codePage;
    // With listed inputs, their base names; nothing when the inputs come otherwise.
    std::optional<std::vector<std::string>> m_listedBaseNames;
};

} // namespace

std::vector<CSequenceFinding> CheckSequenceMeaning(const CContainer& root,
                                                   const CSequencePositions& positions,
                                                   unsigned codePage) {
    return CMeaningCheck(positions, codePage).CheckRoot(root);
}

} // namespace minihost

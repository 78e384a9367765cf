#include "minihost/Options.h"

#include "minihost/conversions/Conversions.h"
#include "minihost/menus/MenuBar.h"
#include "minihost/tables/OperationNames.h"
#include "quorvella/Version.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace minihost {
namespace {

template <class Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

// major.minor, or a 32-bit number written 0x...
std::optional<HostVersion> ParseVersion(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        return ParseNumber<std::uint32_t>(text.substr(2), 16);
    }
    const auto dot = text.find('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const auto major = ParseNumber<std::uint16_t>(text.substr(0, dot));
    const auto minor = ParseNumber<std::uint16_t>(text.substr(dot + 1));
    if (!major || !minor) {
        return std::nullopt;
    }
    return MakeHostVersion(*major, *minor);
}

HostVersion RequireVersion(std::string_view option, std::string_view text) {
    const auto version = ParseVersion(text);
    if (!version) {
        throw COptionError(std::string(option) +
                           " needs a version such as 5.0 or 0x00050000, not '" + std::string(text) +
                           "'");
    }
    return *version;
}

std::string ListTableNames() {
    std::string list;
    for (const char* name : kHostTableNames) {
        list += list.empty() ? "" : " ";
        list += name;
    }
    return list;
}

void SetTableVersion(CHostOptions& options, std::string_view value) {
    const auto equals = value.find('=');
    if (equals == std::string_view::npos) {
        throw COptionError("--table needs NAME=VERSION, not '" + std::string(value) + "'");
    }
    const std::string_view name = value.substr(0, equals);
    const std::string_view version = value.substr(equals + 1);
    const auto* found = std::find(kHostTableNames.begin(), kHostTableNames.end(), name);
    if (found == kHostTableNames.end()) {
        throw COptionError("--table: there is no table '" + std::string(name) +
                           "'; the tables are " + ListTableNames());
    }
    const auto index = static_cast<std::size_t>(found - kHostTableNames.begin());
    options.tableVersions.at(index) = version == "absent" ? 0 : RequireVersion("--table", version);
}

void SetHostVersion(CHostOptions& options, std::string_view value) {
    const auto version = ParseVersion(value);
    const auto limit = static_cast<HostVersion>(std::numeric_limits<std::int16_t>::max());
    if (!version || (*version >> 16U) > limit || (*version & 0xFFFFU) > limit) {
        throw COptionError("--host-version needs MAJOR.MINOR such as 5.0, not '" +
                           std::string(value) + "'");
    }
    options.hostMajorVersion = static_cast<std::int16_t>(*version >> 16U);
    options.hostMinorVersion = static_cast<std::int16_t>(*version & 0xFFFFU);
}

void AddFailOperation(CHostOptions& options, std::string_view value) {
    const auto names = ListOperationNames();
    if (std::find(names.begin(), names.end(), value) == names.end()) {
        throw COptionError("--fail-op: there is no host operation '" + std::string(value) +
                           "' (operations are named TABLE.OPERATION, e.g. AcroSupport.MemAlloc)");
    }
    options.failOperations.emplace_back(value);
}

void AddAbsentMenu(CHostOptions& options, const std::string& value) {
    const auto names = CMenuBar::ListStandardMenuNames();
    if (std::find(names.begin(), names.end(), value) == names.end()) {
        throw COptionError("--no-menu: there is no menu '" + value + "'; the menus are " +
                           names.front() + " and " + names.back());
    }
    options.absentMenus.push_back(value);
}

// A dialog's answer: a path, or for the open-files dialog paths joined by ';'.
std::string RequireAnswer(std::string_view option, std::string value, bool list) {
    if (value.empty() || (list && (value.find(";;") != std::string::npos || value.front() == ';' ||
                                   value.back() == ';'))) {
        throw COptionError(std::string(option) + " needs a path or \"cancel\", not '" + value +
                           "'");
    }
    return value;
}

} // namespace

CHostOptions::CHostOptions() {
    tableVersions.fill(0x00050000);
    const char* dirty = std::getenv("MINIHOST_DIRTY_UPPER_HALVES");
    dirtyUpperHalves = dirty != nullptr && *dirty != '\0' && std::string_view(dirty) != "0";
}

CHostOptions ParseOptions(const std::vector<std::string>& arguments) {
    CHostOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = option.find('=');
            option.starts_with("--") && equals != std::string::npos) {
            inlineValue = option.substr(equals + 1);
            option.resize(equals);
        }
        const auto value = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= arguments.size()) {
                throw COptionError(option + " needs a value");
            }
            return arguments[++i];
        };
        const auto flag = [&]() {
            if (inlineValue) {
                throw COptionError(option + " takes no value");
            }
        };

        if (option == "--help" || option == "-h") {
            flag();
            options.help = true;
        } else if (option == "--version") {
            flag();
            options.version = true;
        } else if (option == "--host-entries") {
            flag();
            options.hostEntries = true;
        } else if (option == "--test-handlers") {
            flag();
            options.testHandlers = true;
        } else if (option == "--dirty-upper-halves") {
            flag();
            options.dirtyUpperHalves = true;
        } else if (option == "--plugins") {
            options.plugInsFolder = value();
        } else if (option == "--table") {
            SetTableVersion(options, value());
        } else if (option == "--host-version") {
            SetHostVersion(options, value());
        } else if (option == "--product") {
            const std::string product = value();
            options.product = product == "undefined" ? std::nullopt : std::optional(product);
        } else if (option == "--offer-handshake") {
            options.offeredHandshakeVersion = RequireVersion(option, value());
        } else if (option == "--setup-record-version") {
            options.setupRecordVersion = RequireVersion(option, value());
        } else if (option == "--handshake-call-version") {
            options.handshakeCallVersion = RequireVersion(option, value());
        } else if (option == "--fail-at" || option == "--kill-at" || option == "--kill-in-save") {
            const std::string text = value();
            const auto call = ParseNumber<std::uint64_t>(text);
            if (!call || *call == 0) {
                std::string message = option;
                message +=
                    option == "--kill-in-save" ? " needs a save number" : " needs a call number";
                message += " from 1 up, not '" + text + "'";
                throw COptionError(message);
            }
            (option == "--fail-at"   ? options.failAtCall
             : option == "--kill-at" ? options.killAtCall
                                     : options.killInSave) = call;
        } else if (option == "--replace-at" || option == "--rewrite-at" || option == "--cut-at") {
            const std::string text = value();
            const auto call = ParseNumber<std::uint64_t>(text);
            if (!call || *call == 0) {
                throw COptionError(option + " needs a call number from 1 up, not '" += text + "'");
            }
            options.fileChange =
                CFileChange{*call, option == "--cut-at"       ? CFileChange::CKind::Cut
                                   : option == "--rewrite-at" ? CFileChange::CKind::Rewrite
                                                              : CFileChange::CKind::Replace};
        } else if (option == "--fail-op") {
            AddFailOperation(options, value());
        } else if (option == "--trace-calls") {
            flag();
            options.traceCalls = true;
        } else if (option == "--check-unwind") {
            flag();
            options.checkUnwind = true;
        } else if (option == "--log") {
            options.logFile = value();
        } else if (option == "--durable-saves") {
            flag();
            options.saveDurability = CDurability::Flushed;
        } else if (option == "--exit-after-startup") {
            flag();
            options.exitAfterStartup = true;
        } else if (option == "--check-sequence") {
            options.checkSequence = value();
        } else if (option == "--strict") {
            flag();
            options.strictCheck = true;
        } else if (option == "--no-menu") {
            AddAbsentMenu(options, value());
        } else if (option == "--menu") {
            options.menuCommands.push_back(value());
        } else if (option == "--choose-folder") {
            options.chooseFolderAnswers.push_back(RequireAnswer(option, value(), false));
        } else if (option == "--open-files") {
            options.openFilesAnswers.push_back(RequireAnswer(option, value(), true));
        } else if (option == "--sequences-folder") {
            const std::string given = value();
            const bool user = given.starts_with("user=");
            if ((!user && !given.starts_with("app=")) || given.ends_with("=")) {
                throw COptionError("--sequences-folder needs user=PATH or app=PATH, not '" + given +
                                   "'");
            }
            (user ? options.userSequencesFolder : options.appSequencesFolder) =
                given.substr(given.find('=') + 1);
        } else {
            throw COptionError("unknown option '" + arguments[i] + "'");
        }
    }
    return options;
}

std::vector<std::string> SplitOptionsText(const char* text) {
    std::vector<std::string> options;
    if (text == nullptr) {
        return options;
    }
    std::string option;
    bool inOption = false;
    bool quoted = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '"') {
            quoted = !quoted;
            inOption = true;
        } else if (*c == ' ' && !quoted) {
            if (inOption) {
                options.push_back(std::move(option));
                option.clear();
            }
            inOption = false;
        } else {
            option += *c;
            inOption = true;
        }
    }
    if (inOption) {
        options.push_back(std::move(option));
    }
    return options;
}

std::string FormatVersion(HostVersion version) {
    return std::to_string(version >> 16U) + "." + std::to_string(version & 0xFFFFU);
}

std::string GetVersionText() {
    return std::string("minihost (Quorvella) ") + QV_VERSION_TEXT + "\n";
}

std::string GetUsageText() {
    return "Usage: minihost [options]\n"
           "\n"
           "A stand-in PDF host. It loads every plug-in module (*.api) of its plug-ins folder\n"
           "through the plug-in handshake, starts them and logs what it does.\n"
           "\n"
           "Options:\n"
           "  --plugins DIR                plug-ins folder (default: plug_ins beside minihost)\n"
           "  --table NAME=VERSION         offer table NAME at VERSION, or \"absent\"; every "
           "table\n"
           "                               is offered at 5.0 unless told otherwise\n"
           "  --host-version MAJOR.MINOR   the version the host reports (default 5.0)\n"
           "  --product NAME               the product the host runs as: Reader for the free\n"
           "                               reader (default Exchange-Pro); undefined: the host\n"
           "                               does not know the key\n"
           "  --offer-handshake VERSION    handshake version offered to PlugInMain (default 2.0)\n"
           "  --setup-record-version V     version written into the set-up record\n"
           "                               (default: the version agreed with PlugInMain)\n"
           "  --handshake-call-version V   version passed to the handshake callback\n"
           "                               (default: the version agreed with PlugInMain)\n"
           "  --fail-at N                  raise a host error at the Nth host call that may fail\n"
           "  --fail-op TABLE.OPERATION    raise a host error at every call of that operation\n"
           "  --kill-at N                  end the process at the Nth host call that may fail\n"
           "                               (a save half-way), as a power cut would\n"
           "  --kill-in-save N             end the process half-way through the Nth save\n"
           "  --replace-at N               at the Nth host call that may fail, put a new file\n"
           "                               in the place of the last opened document's file\n"
           "  --rewrite-at N               at the Nth host call that may fail, write new bytes\n"
           "                               into the last opened document's file, in place\n"
           "  --cut-at N                   at the Nth host call that may fail, cut the last\n"
           "                               opened document's file to half its size\n"
           "  --trace-calls                log every host call that may fail, with its number\n"
           "  --check-unwind               walk the frames of each raise's unwind with the\n"
           "                               system's unwinder down to the frame it reaches,\n"
           "                               and log it (64-bit Windows; a frame it would\n"
           "                               misread is misuse)\n"
           "  --log FILE                   write the log to FILE instead of standard error\n"
           "  --exit-after-startup         exit as soon as start-up is finished\n"
           "  --durable-saves              flush every saved file to the disk before it\n"
           "                               replaces the target (it then survives a power\n"
           "                               cut; saves are atomic either way)\n"
           "  --check-sequence FILE        check a sequence file's form and what it means to\n"
           "                               the run, and print it normalised; loads no\n"
           "                               plug-ins (exit 1 for an error, 0 for warnings alone)\n"
           "  --strict                     with --check-sequence: exit 1 for warnings too\n"
           "  --no-menu MENU               leave menu MENU (Extensions, AboutExtensions) off\n"
           "  --menu NAME                  run the menu item named NAME after start-up\n"
           "  --choose-folder PATH|cancel  next answer of the choose-folder dialog\n"
           "  --sequences-folder user=PATH|app=PATH\n"
           "                               where the host keeps actions, the user's or its\n"
           "                               own (unset: it has no such folder)\n"
           "  --open-files PATH[;PATH...]|cancel\n"
           "                               next answer of the open-files dialog\n"
           "                               (--menu and the answers can be repeated; the\n"
           "                               answers are used in order, and a dialog with\n"
           "                               none left is cancelled)\n"
           "  --dirty-upper-halves         fill the bits above every narrow result in its\n"
           "                               register with garbage, as a real host may\n"
           "                               (also MINIHOST_DIRTY_UPPER_HALVES=1)\n"
           "  --test-handlers              serve the diagnostic command handlers (TestFail,\n"
           "                               TestReplaceFile, ...) that tests drive runs with\n"
           "  --host-entries               list every table entry served: table, SDK name\n"
           "                               and selector, tab-separated\n"
           "  --help                       show this text\n"
           "  --version                    show the Quorvella release this host belongs to\n"
           "\n"
           "VERSION is major.minor (5.0, 4.5) or a 32-bit number such as 0x00040005.\n"
           "Tables: " +
           ListTableNames() +
           "\n"
           "\n"
           "MINIHOST_OPTIONS, when set, holds options read before the command line's,\n"
           "separated by spaces (\"double quotes\" keep spaces in one).\n"
           "\n"
           "Exit status:\n"
           "  0  a clean run; --check-sequence found nothing, or warnings alone\n"
           "  1  the host could not start (no main window, no log file); --check-sequence\n"
           "     found an error (or, with --strict, a warning) or could not read the file\n"
           "  2  unusable options, or no plug-ins folder\n"
           "  3  a plug-in left host objects acquired or misused the host\n" +
           (*GetMissingConversionsNote() != '\0' ? "\n" : "") + GetMissingConversionsNote();
}

} // namespace minihost

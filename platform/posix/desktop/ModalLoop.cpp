// The modal loop of the desktop library's dialogs: each script action of a dialog is
// carried out as a user's click, selection or key would be on Windows.
#include "platform/posix/desktop/Controls.h"
#include "platform/posix/desktop/Dialogs.h"
#include "platform/posix/desktop/WindowStore.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace desktop {

using detail::CWindow;
using detail::FindWindow;
using detail::WriteRecord;

namespace {

struct CAction {
    std::string verb;
    std::string rest;
};

CAction SplitAction(const std::string& line) {
    const auto space = line.find(' ');
    if (space == std::string::npos) {
        return {line, ""};
    }
    const auto rest = line.find_first_not_of(' ', space);
    return {line.substr(0, space), rest == std::string::npos ? "" : line.substr(rest)};
}

bool IsDialogAction(const std::string& line) {
    const std::string verb = SplitAction(line).verb;
    return verb == "select" || verb == "click" || verb == "focus" || verb == "key" ||
           verb == "close" || verb == "snapshot";
}

std::optional<int> ReadNumber(const std::string& text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

bool IsPushButton(const CWindow& control) {
    const std::uint32_t type = control.style & detail::kButtonTypeMask;
    return control.className == "Button" && (type == 0 || type == detail::kDefaultPushButton);
}

int GetDefaultButtonId(const CWindow& dialog) {
    for (const CWindow* control : dialog.controls) {
        if (control->className == "Button" &&
            (control->style & detail::kButtonTypeMask) == detail::kDefaultPushButton) {
            return control->id;
        }
    }
    return detail::kOkId;
}

std::string DescribeControl(const CWindow& control) {
    std::string line = "control: " + std::to_string(control.id) + " " + control.className + " \"" +
                       control.text + "\" " + (control.enabled ? "enabled" : "disabled");
    if (control.className == "ListBox" || control.className == "ComboBox") {
        line += " selection " + std::to_string(control.selection) + " items [";
        for (std::size_t i = 0; i < control.items.size(); ++i) {
            line += (i == 0 ? "\"" : ", \"") + control.items[i].text +
                    "\"=" + std::to_string(control.items[i].data);
        }
        line += "]";
    }
    return line;
}

class CModalRun {
public:
    CModalRun(HostWindow dialog, CCommandProc proc, void* context)
        : m_dialog(dialog)
        , m_proc(proc)
        , m_context(context) {}

    // Carries out `line`; false when it cannot be, and the dialog is then cancelled.
    bool Perform(const std::string& line) {
        const CAction action = SplitAction(line);
        if (action.verb == "close") {
            WriteRecord("dialog: close");
            Send(detail::kCancelId, 0);
            return true;
        }
        if (action.verb == "snapshot") {
            WriteRecord("dialog: snapshot");
            for (const CWindow* control : Dialog().controls) {
                WriteRecord(DescribeControl(*control));
            }
            return true;
        }
        if (action.verb == "key") {
            return PressKey(action.rest);
        }
        const CAction target = SplitAction(action.rest);
        const std::optional<int> id = ReadNumber(target.verb);
        CWindow* control = id ? FindWindow(GetDialogItem(m_dialog, *id)) : nullptr;
        if (control == nullptr) {
            WriteRecord("dialog: no control for \"" + line + "\", cancel");
            return false;
        }
        if (!control->enabled) {
            WriteRecord("dialog: " + action.verb + " " + target.verb + " ignored (disabled)");
            return true;
        }
        if (action.verb == "focus") {
            WriteRecord("dialog: focus " + target.verb);
            Dialog().focus = control;
            return true;
        }
        if (action.verb == "click") {
            return Click(*control);
        }
        return Select(*control, target.rest);
    }

    void Send(int id, int code) { m_proc(m_context, id, code); }

private:
    CWindow& Dialog() { return *FindWindow(m_dialog); }

    bool Click(CWindow& control) {
        if (control.className != "Button") {
            WriteRecord("dialog: " + std::to_string(control.id) + " is no button, cancel");
            return false;
        }
        WriteRecord("dialog: click " + std::to_string(control.id));
        Dialog().focus = &control;
        Send(control.id, 0);
        return true;
    }

    bool Select(CWindow& control, const std::string& item) {
        if (control.className != "ListBox" && control.className != "ComboBox") {
            WriteRecord("dialog: " + std::to_string(control.id) + " is no list, cancel");
            return false;
        }
        std::optional<std::size_t> position;
        if (item.starts_with("#")) {
            const std::optional<int> number = ReadNumber(item.substr(1));
            if (number && *number >= 0 &&
                static_cast<std::size_t>(*number) < control.items.size()) {
                position = static_cast<std::size_t>(*number);
            }
        } else {
            const auto found = std::find_if(control.items.begin(), control.items.end(),
                                            [&](const auto& entry) { return entry.text == item; });
            if (found != control.items.end()) {
                position = static_cast<std::size_t>(found - control.items.begin());
            }
        }
        if (!position) {
            WriteRecord("dialog: no item " + item + " in " + std::to_string(control.id) +
                        ", cancel");
            return false;
        }
        control.selection = static_cast<int>(*position);
        Dialog().focus = &control;
        WriteRecord("dialog: select " + std::to_string(control.id) + " \"" +
                    control.items[*position].text + "\"");
        const bool notifies =
            control.className == "ComboBox" || (control.style & detail::kListNotifyStyle) != 0;
        if (notifies) {
            Send(control.id, 1); // LBN_SELCHANGE, CBN_SELCHANGE
        }
        return true;
    }

    bool PressKey(const std::string& key) {
        CWindow& dialog = Dialog();
        if (key == "escape") {
            WriteRecord("dialog: key escape");
            Send(detail::kCancelId, 0);
            return true;
        }
        if (key == "tab") {
            MoveFocus(dialog);
            WriteRecord("dialog: key tab -> " + (dialog.focus != nullptr
                                                     ? std::to_string(FindWindow(dialog.focus)->id)
                                                     : std::string("none")));
            return true;
        }
        if (key == "enter") {
            // A focused push button is pressed; otherwise the default button is.
            const CWindow* focused = FindWindow(dialog.focus);
            const int id = focused != nullptr && IsPushButton(*focused)
                               ? focused->id
                               : GetDefaultButtonId(dialog);
            WriteRecord("dialog: key enter -> " + std::to_string(id));
            Send(id, 0);
            return true;
        }
        WriteRecord("dialog: no key " + key + ", cancel");
        return false;
    }

    static void MoveFocus(CWindow& dialog) {
        auto& controls = dialog.controls;
        const auto current = std::find(controls.begin(), controls.end(), dialog.focus);
        const std::size_t start = current == controls.end()
                                      ? 0
                                      : static_cast<std::size_t>(current - controls.begin()) + 1;
        for (std::size_t step = 0; step < controls.size(); ++step) {
            CWindow* candidate = controls[(start + step) % controls.size()];
            if (candidate->enabled && (candidate->style & detail::kTabStopStyle) != 0) {
                dialog.focus = candidate;
                return;
            }
        }
    }

    HostWindow m_dialog;
    CCommandProc m_proc;
    void* m_context;
};

} // namespace

int RunModalDialog(HostWindow dialog, CCommandProc proc, void* context) {
    CWindow* record = FindWindow(dialog);
    if (record == nullptr || record->className != "#32770" || proc == nullptr) {
        return -1;
    }
    WriteRecord("dialog: open \"" + record->text + "\" owner " +
                detail::DescribeWindow(record->owner));
    HostWindow owner = record->owner;
    const bool ownerWasEnabled = IsWindowEnabled(owner);
    EnableWindow(owner, false);

    CModalRun run(dialog, proc, context);
    while (FindWindow(dialog) != nullptr && !FindWindow(dialog)->ended) {
        detail::NotifyIdle(dialog);
        if (FindWindow(dialog) == nullptr || FindWindow(dialog)->ended) {
            break;
        }
        const std::optional<std::string> line = detail::PeekScriptAction();
        bool performed = false;
        if (!line) {
            WriteRecord("dialog: no answer left, cancel");
        } else if (!IsDialogAction(*line)) {
            WriteRecord("dialog: \"" + *line + "\" is no dialog action, cancel");
        } else {
            detail::DropScriptAction();
            performed = run.Perform(*line);
        }
        if (!performed && FindWindow(dialog) != nullptr && !FindWindow(dialog)->ended) {
            run.Send(detail::kCancelId, 0);
            EndDialog(dialog, detail::kCancelId); // when the handler did not end it
        }
    }

    if (ownerWasEnabled) {
        EnableWindow(owner, true);
    }
    CWindow* ended = FindWindow(dialog);
    if (ended == nullptr) {
        return -1;
    }
    WriteRecord("dialog: end " + std::to_string(ended->result));
    return ended->result;
}

void EndDialog(HostWindow dialog, int result) {
    CWindow* record = FindWindow(dialog);
    if (record != nullptr && !record->ended) {
        record->ended = true;
        record->result = result;
    }
}

} // namespace desktop

#include "platform/posix/desktop/Script.h"

#include "platform/posix/desktop/WindowStore.h"

#include <cstdlib>
#include <fstream>

namespace desktop {
namespace {

struct CScript {
    std::vector<std::string> lines;
    std::size_t next = 0;
    bool loaded = false; // QV_DESKTOP_SCRIPT read, or replaced by SetScript
};

CScript& GetScript() {
    static CScript script;
    if (!script.loaded) {
        script.loaded = true;
        const char* file = std::getenv("QV_DESKTOP_SCRIPT");
        if (file != nullptr && *file != '\0') {
            std::ifstream stream(file);
            for (std::string line; std::getline(stream, line);) {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                script.lines.push_back(line);
            }
        }
    }
    return script;
}

bool IsAction(const std::string& line) {
    const auto first = line.find_first_not_of(" \t");
    return first != std::string::npos && line[first] != '#';
}

// Moves past blank lines and comments; the action there, or nothing.
std::optional<std::string> SkipToAction() {
    CScript& script = GetScript();
    while (script.next < script.lines.size() && !IsAction(script.lines[script.next])) {
        ++script.next;
    }
    if (script.next == script.lines.size()) {
        return std::nullopt;
    }
    const std::string& line = script.lines[script.next];
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

std::vector<std::string>& GetRecordLines() {
    static std::vector<std::string> lines;
    return lines;
}

CIdleObserver& GetIdleObserver() {
    static CIdleObserver observer;
    return observer;
}

} // namespace

namespace detail {

void WriteRecord(const std::string& line) {
    GetRecordLines().push_back(line);
    const char* file = std::getenv("QV_DESKTOP_RECORD");
    if (file != nullptr && *file != '\0') {
        std::ofstream stream(file, std::ios::app | std::ios::binary);
        stream << line << '\n';
    }
}

std::optional<std::string> PeekScriptAction() {
    return SkipToAction();
}

void DropScriptAction() {
    if (SkipToAction()) {
        ++GetScript().next;
    }
}

void NotifyIdle(HostWindow dialog) {
    // A copy, so that the observer may replace itself.
    const CIdleObserver observer = GetIdleObserver();
    if (observer) {
        observer(dialog);
    }
}

} // namespace detail

void SetScript(const std::vector<std::string>& lines) {
    CScript& script = GetScript();
    script.lines = lines;
    script.next = 0;
}

std::size_t CountScriptActionsLeft() {
    const CScript& script = GetScript();
    std::size_t count = 0;
    for (std::size_t i = script.next; i < script.lines.size(); ++i) {
        count += IsAction(script.lines[i]) ? 1 : 0;
    }
    return count;
}

std::vector<std::string> GetRecord() {
    return GetRecordLines();
}

void ClearRecord() {
    GetRecordLines().clear();
}

void SetIdleObserver(CIdleObserver observer) {
    GetIdleObserver() = std::move(observer);
}

} // namespace desktop

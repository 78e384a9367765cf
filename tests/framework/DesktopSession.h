// A test's use of the Linux desktop library: a script of answers for this test alone,
// and its record read back. Everything is reset when the session goes.
#pragma once

#include "platform/posix/desktop/Script.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class CDesktopSession {
public:
    explicit CDesktopSession(const std::vector<std::string>& script = {}) {
        desktop::SetScript(script);
        desktop::ClearRecord();
    }
    CDesktopSession(const CDesktopSession&) = delete;
    CDesktopSession& operator=(const CDesktopSession&) = delete;
    ~CDesktopSession() {
        desktop::SetIdleObserver({});
        desktop::SetScript({});
        desktop::ClearRecord();
    }

    // The record lines that start with `prefix` ("message:", "dialog:", ...).
    static std::vector<std::string> ListRecord(std::string_view prefix) {
        std::vector<std::string> lines;
        for (const std::string& line : desktop::GetRecord()) {
            if (line.starts_with(prefix)) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    // The texts of the message boxes shown, in order.
    static std::vector<std::string> ListMessages() {
        std::vector<std::string> texts;
        for (const std::string& line : ListRecord("message: \"")) {
            const std::size_t start = std::string_view("message: \"").size();
            texts.push_back(line.substr(start, line.find("\" title \"", start) - start));
        }
        return texts;
    }

    static bool WasRecorded(std::string_view line) {
        const std::vector<std::string> record = desktop::GetRecord();
        return std::find(record.begin(), record.end(), line) != record.end();
    }

    static std::string GetTranscript() {
        std::string text;
        for (const std::string& line : desktop::GetRecord()) {
            text += "  " + line + "\n";
        }
        return text;
    }
};

} // namespace testing_support

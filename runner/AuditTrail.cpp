#include "runner/AuditTrail.h"

#include <array>
#include <ctime>

namespace {

std::string FormatUtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#if defined(_WIN32)
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    std::array<char, 32> text{};
    static_cast<void>(std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts));
    return text.data();
}

std::string YesNo(bool value) {
    return value ? "yes" : "no";
}

} // namespace

std::string CAuditTrail::EscapeValue(std::string_view value) {
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                escaped += "\\x";
                escaped += kHex.at(byte >> 4U);
                escaped += kHex.at(byte & 0x0FU);
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

void CAuditTrail::WriteRecord(std::string_view kind,
                              const std::vector<std::pair<std::string_view, std::string>>& fields) {
    if (!IsEnabled()) {
        return;
    }
    std::string line(kind);
    for (const auto& [name, value] : fields) {
        line += '\t';
        line += name;
        line += '=';
        line += EscapeValue(value);
    }
    line += '\n';
    // Opened for each record, so that a run that ends abruptly still leaves what it did.
    std::FILE* stream = std::fopen(m_file.c_str(), "ab");
    if (stream == nullptr) {
        return;
    }
    static_cast<void>(std::fwrite(line.data(), 1, line.size(), stream));
    static_cast<void>(std::fclose(stream));
}

void CAuditTrail::RecordRunStart(std::string_view sequence, int finalActionCode,
                                 std::string_view destination) {
    WriteRecord("run", {{"time", FormatUtcNow()},
                        {"sequence", std::string(sequence)},
                        {"final", std::to_string(finalActionCode)},
                        {"destination", std::string(destination)}});
}

void CAuditTrail::RecordInput(const CInputRecord& input, int finalActionCode) {
    ++m_inputs;
    m_opened += input.opened ? 1 : 0;
    m_written += input.result.empty() ? 0 : 1;
    m_applied += input.actionApplied ? 1 : 0;
    m_heldBack += input.heldBack ? 1 : 0;
    std::vector<std::pair<std::string_view, std::string>> fields = {
        {"path", input.path}, {"opened", YesNo(input.opened)}};
    if (input.opened) {
        fields.emplace_back("steps", std::to_string(input.stepsDone) + "/" +
                                         std::to_string(input.stepCount));
        fields.emplace_back("ended", input.ended);
    }
    fields.emplace_back("result", input.result.empty() ? "none" : input.result);
    if (input.result.empty() && !input.reason.empty()) {
        fields.emplace_back("reason", input.reason);
    }
    fields.emplace_back("action", std::to_string(finalActionCode));
    fields.emplace_back("applied", YesNo(input.actionApplied));
    fields.emplace_back("heldback", YesNo(input.heldBack));
    fields.emplace_back("outcome", input.outcome);
    WriteRecord("input", fields);
}

void CAuditTrail::RecordLeftOut(std::string_view folder, std::string_view name,
                                std::string_view reason) {
    WriteRecord("leftout", {{"folder", std::string(folder)},
                            {"name", std::string(name)},
                            {"reason", std::string(reason)}});
}

void CAuditTrail::RecordRunEnd(std::string_view stoppedBy) {
    WriteRecord("end", {{"inputs", std::to_string(m_inputs)},
                        {"opened", std::to_string(m_opened)},
                        {"written", std::to_string(m_written)},
                        {"applied", std::to_string(m_applied)},
                        {"heldback", std::to_string(m_heldBack)},
                        {"stopped", stoppedBy.empty() ? "no" : std::string(stoppedBy)}});
}

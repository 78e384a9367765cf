#include "tests/support/TrailLines.h"

#include <fstream>

namespace testing_support {

std::vector<std::string> ReadTrailLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream stream(file, std::ios::binary);
    for (std::string line; std::getline(stream, line);) {
        for (const char* name : {"\tid=", "\ttime=", "\tduration="}) {
            if (const auto start = line.find(name); start != std::string::npos) {
                line.erase(start, line.find('\t', start + 1) - start);
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string GetTrailField(const std::string& line, const std::string& name) {
    const std::string key = "\t" + name + "=";
    const auto start = line.find(key);
    if (start == std::string::npos) {
        return "";
    }
    const auto valueStart = start + key.size();
    return line.substr(valueStart, line.find('\t', valueStart) - valueStart);
}

std::string GetTrailText(const std::string& line, const std::string& name) {
    const std::string value = GetTrailField(line, name);
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const char kind = value[++i];
        if (kind == 'x' && i + 2 < value.size()) {
            text += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += kind == 't' ? '\t' : kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind;
        }
    }
    return text;
}

} // namespace testing_support

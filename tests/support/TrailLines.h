// Reading an audit trail back in tests: its records, with or without the fields that
// differ from run to run (the run's id, its times and durations).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// The lines of the trail `file`, each without its "id", "time" and "duration" fields.
std::vector<std::string> ReadTrailLines(const std::filesystem::path& file);

// The value of the field `name` of the trail line `line`; empty when it has none.
std::string GetTrailField(const std::string& line, const std::string& name);

// That field's value as it was before the trail escaped it.
std::string GetTrailText(const std::string& line, const std::string& name);

} // namespace testing_support

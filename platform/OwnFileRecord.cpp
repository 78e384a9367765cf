#include "platform/OwnFileRecord.h"

#include "platform/OwnFileStore.h"
#include "platform/RecordText.h"

#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

// This run's record. Not thread_local: the host calls the plug-in on its one thread.
std::intptr_t g_record = -1;
std::string g_recordPath;

constexpr const char* kExtension = ".record";

// One noted file: "path TAB original TAB volume TAB index TAB born".
struct CNotedFile {
    std::string path;
    std::string original;
    COwnFileStamp stamp;
};

std::optional<CNotedFile> ParseLine(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    if (fields.size() != 5 || fields[0].empty()) {
        return std::nullopt; // a line cut short by a full disk or a kill
    }
    CNotedFile noted{UnescapeRecordValue(fields[0]), UnescapeRecordValue(fields[1]), {}};
    const auto number = [](std::string_view field) {
        return std::strtoull(std::string(field).c_str(), nullptr, 10);
    };
    noted.stamp.identity = {number(fields[2]), number(fields[3])};
    noted.stamp.born = static_cast<std::int64_t>(number(fields[4]));
    return noted;
}

// Whether `path` still names the file noted with `stamp`.
bool StillNames(const std::string& path, const COwnFileStamp& stamp) {
    const auto there = own_store::ReadPathStamp(path);
    return there && *there == stamp;
}

// Takes up one dead run's notes: first what it made goes, then what it put aside comes
// back where its name is free (a name that a file of its own held is free by then).
void TakeUp(const std::string& run, const std::string& content,
            std::vector<CLeftOwnFile>& leftovers) {
    std::vector<CNotedFile> asides;
    std::vector<CNotedFile> made;
    for (std::size_t start = 0; start < content.size();) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        if (auto noted = ParseLine(std::string_view(content).substr(start, end - start))) {
            (noted->original.empty() ? made : asides).push_back(std::move(*noted));
        }
        start = end + 1;
    }
    for (const CNotedFile& noted : made) {
        if (!StillNames(noted.path, noted.stamp)) {
            continue; // named as the result, removed, or never made there
        }
        std::string why;
        leftovers.push_back({noted.path, run,
                             own_store::RemovePath(noted.path, why)
                                 ? "removed"
                                 : "left: it cannot be removed: " + why});
    }
    for (const CNotedFile& noted : asides) {
        if (!StillNames(noted.path, noted.stamp)) {
            continue;
        }
        leftovers.push_back({noted.path, run,
                             own_store::RenameWithoutReplacing(noted.path, noted.original)
                                 ? "put back to " + noted.original
                                 : "left: " + noted.original + " is another file's name now"});
    }
}

} // namespace

void RecordOwnFile(const std::string& path, const COwnFileStamp& stamp,
                   const std::string& original) {
    if (g_record < 0) {
        return;
    }
    const std::string line = EscapeRecordValue(path) + '\t' + EscapeRecordValue(original) + '\t' +
                             std::to_string(stamp.identity.volume) + '\t' +
                             std::to_string(stamp.identity.index) + '\t' +
                             std::to_string(stamp.born) + '\n';
    static_cast<void>(own_store::AppendRecord(g_record, line));
}

bool BeginOwnFileRecord(const std::string& runId, std::vector<CLeftOwnFile>& leftovers) {
    EndOwnFileRecord();
    const std::string folder = own_store::FindRecordFolder();
    if (folder.empty()) {
        return false;
    }
    g_recordPath = folder + runId + kExtension;
    g_record = own_store::CreateRecord(g_recordPath);
    for (const std::string& path : own_store::ListRecords(folder)) {
        std::string content;
        if (path == g_recordPath) {
            continue;
        }
        const std::intptr_t dead = own_store::TakeDeadRecord(path, content);
        if (dead < 0) {
            continue;
        }
        const std::size_t name = path.find_last_of("\\/") + 1;
        const std::string run =
            path.substr(name, path.size() - name - std::string_view(kExtension).size());
        TakeUp(run, content, leftovers);
        own_store::RemoveRecord(dead, path);
    }
    return g_record >= 0;
}

void EndOwnFileRecord() {
    if (g_record >= 0) {
        own_store::RemoveRecord(g_record, g_recordPath);
    }
    g_record = -1;
    g_recordPath.clear();
}

} // namespace platform

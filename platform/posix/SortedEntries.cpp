#include "platform/posix/SortedEntries.h"

#include "platform/ScratchFile.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

// Past this many, entries go to the scratch file in sorted runs of this many.
constexpr std::size_t kKeptInMemory = 1000;

bool IsBefore(const CFoundEntry& a, const CFoundEntry& b) {
    return a.name < b.name;
}

// One entry of a run: its name, a zero byte, and 1 for a folder or 0.
bool WriteEntry(std::FILE* file, const CFoundEntry& entry) {
    return std::fwrite(entry.name.c_str(), 1, entry.name.size() + 1, file) ==
               entry.name.size() + 1 &&
           std::fputc(entry.isFolder ? 1 : 0, file) != EOF;
}

bool ReadEntry(std::FILE* file, CFoundEntry& entry) {
    entry.name.clear();
    int c = std::fgetc(file);
    for (; c != EOF && c != '\0'; c = std::fgetc(file)) {
        entry.name += static_cast<char>(c);
    }
    const int kind = c == EOF ? EOF : std::fgetc(file);
    entry.isFolder = kind == 1;
    return kind != EOF;
}

} // namespace

CSortedEntries::~CSortedEntries() {
    if (m_spill != nullptr) {
        static_cast<void>(std::fclose(m_spill));
    }
}

void CSortedEntries::Add(CFoundEntry entry) {
    if (m_kept.size() >= kKeptInMemory && !m_spillFailed) {
        SpillKept();
    }
    m_kept.push_back(std::move(entry));
}

void CSortedEntries::SpillKept() {
    if (m_spill == nullptr) {
        m_spill = OpenScratchFile();
        if (m_spill == nullptr) {
            m_spillFailed = true;
            return;
        }
    }
    std::sort(m_kept.begin(), m_kept.end(), IsBefore);
    CRun run;
    bool written = fseeko(m_spill, 0, SEEK_END) == 0 && (run.next = ftello(m_spill)) >= 0;
    for (const CFoundEntry& entry : m_kept) {
        written = written && WriteEntry(m_spill, entry);
    }
    // The run counts once the system has taken all of it; until then it is kept.
    written = written && std::fflush(m_spill) == 0 && (run.end = ftello(m_spill)) >= 0;
    if (!written) {
        // A disk that cannot take the entries: the runs it took are read as written, and
        // this one and every entry after it stay in memory.
        m_spillFailed = true;
        return;
    }
    m_runs.push_back(std::move(run));
    m_kept.clear();
}

bool CSortedEntries::ReadHead(CRun& run) {
    if (run.next >= run.end) {
        return false;
    }
    // Every run was written whole: what cannot be read up to its end is a failure.
    if (fseeko(m_spill, run.next, SEEK_SET) != 0 || !ReadEntry(m_spill, run.head) ||
        (run.next = ftello(m_spill)) <= 0 || run.next > run.end) {
        m_readFailed = true;
        return false;
    }
    return true;
}

bool CSortedEntries::HasLaterHead(const CRun& a, const CRun& b) {
    return IsBefore(b.head, a.head);
}

void CSortedEntries::Sort() {
    if (!m_runs.empty() && !m_kept.empty() && !m_spillFailed) {
        SpillKept();
    }
    std::sort(m_kept.begin(), m_kept.end(), IsBefore);
    std::erase_if(m_runs, [this](CRun& run) { return !ReadHead(run); });
    std::make_heap(m_runs.begin(), m_runs.end(), HasLaterHead);
}

bool CSortedEntries::ReadNext(CFoundEntry& entry) {
    if (m_readFailed) {
        return false;
    }
    const bool fromKept = m_nextKept < m_kept.size();
    if (m_runs.empty() || (fromKept && IsBefore(m_kept[m_nextKept], m_runs.front().head))) {
        if (!fromKept) {
            return false;
        }
        entry = std::move(m_kept[m_nextKept++]);
        return true;
    }
    std::pop_heap(m_runs.begin(), m_runs.end(), HasLaterHead);
    CRun& run = m_runs.back();
    entry = std::move(run.head);
    if (ReadHead(run)) {
        std::push_heap(m_runs.begin(), m_runs.end(), HasLaterHead);
    } else {
        m_runs.pop_back();
    }
    // An entry read after a failure could be out of its place: the listing ends there.
    return !m_readFailed;
}

} // namespace platform

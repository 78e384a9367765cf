// A folder's entries in name order, as the Linux search hands them out. Up to a thousand
// are sorted in memory; past that, every thousand is sorted and written to a scratch file
// as a run of its own, and the runs are merged as the entries are read, so that a folder
// of a hundred thousand files takes the memory of one of a thousand. A run counts once the
// disk has taken it whole; when it cannot, the rest stays in memory and is merged too.
#pragma once

#include "platform/FileSearch.h"

#include <cstdio>
#include <sys/types.h>
#include <vector>

namespace platform {

class CSortedEntries {
public:
    CSortedEntries() = default;
    CSortedEntries(const CSortedEntries&) = delete;
    CSortedEntries& operator=(const CSortedEntries&) = delete;
    ~CSortedEntries();

    void Add(CFoundEntry entry);
    // Ends the adding; ReadNext gives the entries in name order from here on.
    void Sort();
    // The next entry in name order; false at the end, and when the scratch file failed a
    // read (HasFailed: the listing is not whole).
    bool ReadNext(CFoundEntry& entry);
    [[nodiscard]] bool HasFailed() const { return m_readFailed; }

private:
    // A sorted run in the scratch file: where its next entry starts, where it ends, and
    // the entry read last, which is the run's smallest left.
    struct CRun {
        off_t next = 0;
        off_t end = 0;
        CFoundEntry head;
    };

    // The heap's order: the run with the smallest head on top.
    static bool HasLaterHead(const CRun& a, const CRun& b);
    void SpillKept();
    bool ReadHead(CRun& run);

    std::vector<CFoundEntry> m_kept; // sorted once Sort has run; merged with the runs
    std::size_t m_nextKept = 0;
    std::FILE* m_spill = nullptr;
    bool m_spillFailed = false; // no scratch file could be made or written: the rest is kept
    bool m_readFailed = false;
    std::vector<CRun> m_runs; // a heap by head once Sort has run
};

} // namespace platform

// The input list of a run: the platform path texts of its documents, in order, complete
// before the first document is opened, each with the identity and version of the file it
// named when it was collected. The first entries are kept in memory; the rest go to a
// scratch file in batches, each counted as kept only once the disk has taken it whole, with
// a filter in memory for the questions about identities, so that a run of a hundred
// thousand inputs takes the memory of a run of a thousand. When the scratch file cannot
// take a batch, that batch and every entry after it stay in memory: nothing is dropped,
// nothing shifts.
#pragma once

#include "platform/FileIdentity.h"
#include "runner/IdentityFilter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CInputList {
public:
    CInputList() = default;
    CInputList(const CInputList&) = delete;
    CInputList& operator=(const CInputList&) = delete;
    ~CInputList();

    // Appends `path` (which holds no zero byte) with the identity and version of the file
    // it names now, none when it names nothing. Throws std::bad_alloc.
    void Append(std::string_view path);

    // The next entry, the first on the first call, and when asked the state its file had
    // when collected; false when none is left, and when the scratch file could not be read
    // back (HasFailed: the entries from there on are lost to the run, CountUnread says how
    // many). The list takes no more entries once reading has begun.
    bool ReadNext(std::string& path, std::optional<platform::CFileState>* collected = nullptr);
    [[nodiscard]] bool HasFailed() const { return m_readFailed; }
    [[nodiscard]] std::size_t CountUnread() const { return m_count - m_next; }

    // Whether an entry after the one read last was collected as the file `identity`:
    // an input still to come. True also when the scratch file cannot be read to tell.
    bool HoldsLaterInput(const platform::CFileIdentity& identity) {
        return HoldsInput(identity, true);
    }
    // The same for any entry, the ones read included.
    bool HoldsInput(const platform::CFileIdentity& identity, bool laterOnly = false);

private:
    struct CEntry {
        std::string path;
        std::optional<platform::CFileState> state;
    };

    void WritePending();
    bool ReadSpilled(CEntry& entry);

    std::vector<CEntry> m_kept;    // the first entries
    std::vector<CEntry> m_pending; // entries waiting for the scratch file
    std::vector<CEntry> m_tail;    // entries after the spilled ones: the scratch file failed
    std::FILE* m_spill = nullptr;  // the spilled entries, as written by WritePending
    std::size_t m_spilled = 0;     // entries the scratch file has taken whole
    bool m_spillFailed = false;    // no scratch file could be made or written: all is kept
    bool m_readFailed = false;
    CIdentityFilter m_filter; // the spilled identities
    std::size_t m_count = 0;
    std::size_t m_next = 0;
};

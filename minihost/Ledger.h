// The ledger of everything the host handed out acquired: objects and memory blocks.
// What the plug-in releases leaves the ledger; what is left at exit is reported, and
// then reclaimed by the host.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace minihost {

class CLedger {
public:
    // How the host takes back an object that the plug-in never released.
    using CReclaim = void (*)(void* handle);

    // Records `handle` as acquired; `kind` names the release call's family ("memory",
    // "path", ...), `detail` says where it came from. A handle acquired again while held
    // (a host object handed out twice) must be released as often.
    void Acquire(void* handle, std::string_view kind, std::string_view detail, CReclaim reclaim);

    // Releases one acquisition of `handle`. False when it is not held as that kind: a
    // release of something never handed out, or released once too often.
    bool Release(const void* handle, std::string_view kind);

    // How many handles are held.
    [[nodiscard]] std::size_t GetCount() const { return m_entries.size(); }

    // One line for each entry still acquired, oldest first.
    [[nodiscard]] std::vector<std::string> ListOutstanding() const;

    // Reclaims every entry still acquired, newest first, and empties the ledger.
    void ReclaimOutstanding();

private:
    struct CEntry {
        std::uint64_t serial = 0;
        std::string kind;
        std::string detail;
        CReclaim reclaim = nullptr;
        std::size_t acquisitions = 1;
    };
    [[nodiscard]] std::vector<std::pair<void*, const CEntry*>> ListInOrder() const;

    std::map<void*, CEntry, std::less<>> m_entries;
    std::uint64_t m_nextSerial = 1;
};

} // namespace minihost

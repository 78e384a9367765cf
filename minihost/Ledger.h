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
    // "path", ...), `detail` says where it came from.
    void Acquire(void* handle, std::string_view kind, std::string_view detail, CReclaim reclaim);

    // Takes `handle` off the ledger. False when it is not there as that kind: a release
    // of something never handed out, or released twice.
    bool Release(const void* handle, std::string_view kind);

    [[nodiscard]] bool Holds(const void* handle, std::string_view kind) const;
    [[nodiscard]] std::size_t Count() const { return m_entries.size(); }

    // One line for each entry still acquired, oldest first.
    [[nodiscard]] std::vector<std::string> Outstanding() const;

    // Reclaims every entry still acquired, newest first, and empties the ledger.
    void ReclaimOutstanding();

private:
    struct CEntry {
        std::uint64_t serial = 0;
        std::string kind;
        std::string detail;
        CReclaim reclaim = nullptr;
    };
    [[nodiscard]] std::vector<std::pair<void*, const CEntry*>> InOrder() const;

    std::map<void*, CEntry, std::less<>> m_entries;
    std::uint64_t m_nextSerial = 1;
};

} // namespace minihost

// The input list of a run: the platform path texts of its documents, in order, complete
// before the first document is opened. The first entries are kept in memory; the rest go
// to a scratch file, so that a run of a hundred thousand inputs takes the memory of a run
// of a thousand.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class CInputList {
public:
    CInputList() = default;
    CInputList(const CInputList&) = delete;
    CInputList& operator=(const CInputList&) = delete;
    ~CInputList();

    // Appends `path` (which holds no zero byte). Throws std::bad_alloc.
    void Append(std::string_view path);

    // The next entry, the first on the first call; false when none is left. The list
    // takes no more entries once reading has begun.
    bool ReadNext(std::string& path);

private:
    std::vector<std::string> m_kept;
    std::FILE* m_spill = nullptr; // the entries after m_kept, each ended by a zero byte
    bool m_spillFailed = false;   // no scratch file could be made: all is kept
    std::size_t m_count = 0;
    std::size_t m_next = 0;
};

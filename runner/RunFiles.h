// The files that one run has made: the results it wrote and the copies, moves and renames
// of its inputs. A run never writes a result over one of them, and a copy never replaces
// one of its results: either would destroy what the run has just made, while the input it
// came from may already be moved or deleted.
//
// Files are told apart by their identities, not their texts: one file has many spellings.
// The first are kept in memory; the rest go to a scratch file, with a filter in memory
// that answers most questions without reading it, so that a run of a hundred thousand
// inputs takes the memory of a run of a thousand.
#pragma once

#include "platform/FileIdentity.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

class CRunFiles {
public:
    CRunFiles() = default;
    CRunFiles(const CRunFiles&) = delete;
    CRunFiles& operator=(const CRunFiles&) = delete;
    ~CRunFiles();

    // Notes the file at `path`, just written or placed; a path that names nothing is not
    // noted.
    void NoteResult(const std::string& path);
    void NotePlaced(const std::string& path);

    // Whether `path` names a result of this run.
    [[nodiscard]] bool IsResult(const std::string& path) const;
    // Whether `path` names a result of this run or an input it placed.
    [[nodiscard]] bool IsMadeByRun(const std::string& path) const;

private:
    void Note(const std::string& path, bool isResult);
    [[nodiscard]] bool Contains(const platform::CFileIdentity& identity, bool resultsOnly) const;
    [[nodiscard]] bool IsInFilter(const platform::CFileIdentity& identity) const;
    [[nodiscard]] bool IsSpilled(const platform::CFileIdentity& identity, bool resultsOnly) const;

    std::unordered_map<platform::CFileIdentity, bool> m_kept; // identity: is a result
    std::vector<std::uint64_t> m_filter; // bits of the spilled identities; empty until then
    std::FILE* m_spill = nullptr;        // identities and kinds past m_kept
    bool m_spillFailed = false; // no scratch file could be made or written: the rest is kept
};

// The files that one run has made: the results it wrote and the copies, moves and renames
// of its inputs. A run never writes a result over one of them, and a copy never replaces
// one of its results: either would destroy what the run has just made, while the input it
// came from may already be moved or deleted.
//
// Files are told apart by their identities, not their texts: one file has many spellings.
// The first are kept in memory; the rest go to a scratch file in batches, each counted as
// kept once the disk has taken it whole, with a filter in memory that answers most
// questions without reading it, so that a run of a hundred thousand inputs takes the
// memory of a run of a thousand. When the disk cannot take a batch, it and all after it
// stay in memory; when the scratch file cannot be read back, every question about it is
// answered "made by the run", so that nothing is written over what it may hold.
#pragma once

#include "platform/FileIdentity.h"
#include "runner/IdentityFilter.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <utility>
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
    // Notes the result whose identity the caller has read already.
    void NoteResult(const platform::CFileIdentity& identity);

    // Whether `path` names a result of this run.
    [[nodiscard]] bool IsResult(const std::string& path) const;
    // Whether `path` names a result of this run or an input it placed.
    [[nodiscard]] bool IsMadeByRun(const std::string& path) const;

    // Whether the scratch file failed a read: answers since then were "made by the run".
    [[nodiscard]] bool HasFailed() const { return m_readFailed; }

private:
    void Note(const platform::CFileIdentity& identity, bool isResult);
    void Note(const std::string& path, bool isResult);
    void WritePending();
    [[nodiscard]] bool Contains(const platform::CFileIdentity& identity, bool resultsOnly) const;
    [[nodiscard]] bool IsSpilled(const platform::CFileIdentity& identity, bool resultsOnly) const;

    std::unordered_map<platform::CFileIdentity, bool> m_kept;        // identity: is a result
    std::vector<std::pair<platform::CFileIdentity, bool>> m_pending; // waiting for the disk
    CIdentityFilter m_filter;                                        // the spilled identities
    std::FILE* m_spill = nullptr; // identities and kinds past m_kept
    std::size_t m_spilled = 0;    // records the scratch file has taken whole
    bool m_spillFailed = false;   // no scratch file could be made or written: the rest is kept
    mutable bool m_readFailed = false;
};

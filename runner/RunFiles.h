// The files that one run has made: the results it wrote and the copies, moves and renames
// of its inputs. A run never writes a result over one of them, and a copy never replaces
// one of its results: either would destroy what the run has just made, while the input it
// came from may already be moved or deleted.
#pragma once

#include "platform/FileIdentity.h"

#include <string>
#include <unordered_set>

class CRunFiles {
public:
    // Notes the file at `path`, just written or placed; a path that names nothing is not
    // noted.
    void NoteResult(const std::string& path);
    void NotePlaced(const std::string& path);

    // Whether `path` names a result of this run.
    [[nodiscard]] bool IsResult(const std::string& path) const;
    // Whether `path` names a result of this run or an input it placed.
    [[nodiscard]] bool IsMadeByRun(const std::string& path) const;

private:
    // Identities, not texts: one file has many spellings.
    std::unordered_set<platform::CFileIdentity> m_results;
    std::unordered_set<platform::CFileIdentity> m_placed;
};

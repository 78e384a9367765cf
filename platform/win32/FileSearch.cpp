#include "platform/FileSearch.h"

#include <windows.h>

namespace platform {

struct CFileSearch::CState {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data{};
    bool pending = false; // `data` holds an entry not yet handed out
};

CFileSearch::CFileSearch(const std::string& pattern)
    : m_state(std::make_unique<CState>()) {
    // Refused here as well as by the system, whose limit Wine does not always apply.
    if (pattern.size() > kMaxSearchPattern) {
        return;
    }
    m_state->handle = FindFirstFileA(pattern.c_str(), &m_state->data);
    m_state->pending = m_state->handle != INVALID_HANDLE_VALUE;
}

CFileSearch::~CFileSearch() {
    if (m_state->handle != INVALID_HANDLE_VALUE) {
        FindClose(m_state->handle);
    }
}

bool CFileSearch::FindNext(CFoundEntry& entry) {
    if (!m_state->pending) {
        if (m_state->handle == INVALID_HANDLE_VALUE ||
            FindNextFileA(m_state->handle, &m_state->data) == FALSE) {
            return false;
        }
    }
    m_state->pending = false;
    entry.name = static_cast<const char*>(m_state->data.cFileName);
    entry.isFolder = (m_state->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

} // namespace platform

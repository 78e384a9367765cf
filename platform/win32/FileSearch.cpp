#include "platform/FileSearch.h"

#include "platform/Wildcard.h"

#include <windows.h>

namespace platform {
namespace {

// `text` in UTF-16 from the ANSI code page; empty when it holds a byte sequence that the
// code page does not define.
std::wstring Widen(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                            static_cast<int>(text.size()), wide.data(), size);
    }
    return wide;
}

// `name` in the ANSI code page, and whether it is held exactly: no character replaced by
// the default one, none by a look-alike (best fit would make "a" of "ā").
bool Narrow(const wchar_t* name, std::string& narrow) {
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0) {
        narrow.clear();
        return false;
    }
    narrow.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, narrow.data(), size, nullptr,
                        &usedDefault);
    narrow.pop_back(); // the terminating zero
    return usedDefault == FALSE && Widen(narrow) == name;
}

} // namespace

struct CFileSearch::CState {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;        // `data` holds an entry not yet looked at
    std::string mask;            // the pattern's last part, which long names must match
    DWORD error = ERROR_SUCCESS; // why FindNextFileW stopped
};

// The search runs on UTF-16 names: the "A" search hands back names through the ANSI code
// page with best fit, so that two names may come back as one, or as "??.pdf".
CFileSearch::CFileSearch(const std::string& pattern)
    : m_state(std::make_unique<CState>()) {
    const std::wstring wide = Widen(pattern);
    if (wide.empty() && !pattern.empty()) {
        m_refusal = "the search pattern is not a text of the system code page";
        return;
    }
    // Counted in characters, as Windows counts MAX_PATH; refused here as well as by the
    // system, whose limit Wine does not always apply.
    if (wide.size() > kMaxSearchPattern) {
        m_refusal = "the folder's path is longer than " + std::to_string(kMaxSearchPattern) +
                    " characters with the search pattern";
        return;
    }
    const std::size_t separator = pattern.find_last_of("\\/");
    m_state->mask = separator == std::string::npos ? pattern : pattern.substr(separator + 1);
    m_state->handle = FindFirstFileW(wide.c_str(), &m_state->data);
    m_state->pending = m_state->handle != INVALID_HANDLE_VALUE;
}

CFileSearch::~CFileSearch() {
    if (m_state->handle != INVALID_HANDLE_VALUE) {
        FindClose(m_state->handle);
    }
}

bool CFileSearch::FindNext(CFoundEntry& entry) {
    for (;;) {
        if (!m_state->pending) {
            if (m_state->handle == INVALID_HANDLE_VALUE) {
                return false;
            }
            if (FindNextFileW(m_state->handle, &m_state->data) == FALSE) {
                m_state->error = GetLastError();
                return false;
            }
        }
        m_state->pending = false;
        std::string name;
        const bool exact = Narrow(static_cast<const wchar_t*>(m_state->data.cFileName), name);
        // Windows matched the pattern against the 8.3 short name too; only the long name
        // counts. A name the code page cannot hold is looked at as it prints.
        if (!MatchesWildcard(m_state->mask, name)) {
            continue;
        }
        // A link leads out of the folder; a cloud or deduplicated file, a reparse point
        // too, stands for its own data and is taken.
        if ((m_state->data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            IsReparseTagNameSurrogate(m_state->data.dwReserved0)) {
            m_leftOut.push_back({name, kLinkLeftOut});
            continue;
        }
        if (!exact) {
            m_leftOut.push_back({name, "its name cannot be written in the system code page (" +
                                           std::to_string(GetACP()) + ")"});
            continue;
        }
        entry.name = std::move(name);
        entry.isFolder = (m_state->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }
}

std::string CFileSearch::GetFailure() const {
    if (m_state->error == ERROR_SUCCESS || m_state->error == ERROR_NO_MORE_FILES) {
        return "";
    }
    return "the folder's listing ended with error " + std::to_string(m_state->error);
}

} // namespace platform

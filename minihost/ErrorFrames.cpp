#include "minihost/ErrorFrames.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace minihost {

CErrorFrames::CErrorFrames() {
    // Pushing happens on every guarded call; no allocation there in the usual case.
    m_frames.reserve(64);
}

void CErrorFrames::Push(HostErrorFrame* frame) {
    m_frames.push_back(frame);
}

bool CErrorFrames::Pop(HostErrorFrame* frame) {
    if (!m_frames.empty() && m_frames.back() == frame) {
        m_frames.pop_back();
        return true;
    }
    const auto found = std::find(m_frames.begin(), m_frames.end(), frame);
    if (found != m_frames.end()) {
        m_frames.erase(found, m_frames.end());
    }
    return false;
}

void CErrorFrames::Raise(HostErrorCode code) {
    m_lastError = code;
    if (m_frames.empty()) {
        // The host wraps every call into a plug-in in a frame of its own, so this is
        // a fault of the host itself.
        static_cast<void>(
            std::fputs("minihost: a host error was raised outside every error frame\n", stderr));
        std::abort();
    }
    HostErrorFrame* top = m_frames.back();
    top->restore(top);
    static_cast<void>(std::fputs("minihost: an error frame's restore routine returned\n", stderr));
    std::abort();
}

} // namespace minihost

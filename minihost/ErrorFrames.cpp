#include "minihost/ErrorFrames.h"

#include <cstdio>
#include <cstdlib>

namespace minihost {

CErrorFrames::CErrorFrames() {
    // Pushing happens on every guarded call; no allocation there in the usual case.
    m_frames.reserve(64);
}

void CErrorFrames::Push(void* environment, HostRestoreProc restore) {
    NoteSkippedCleanup();
    m_frames.push_back({environment, restore});
}

bool CErrorFrames::Pop() {
    NoteSkippedCleanup();
    if (m_frames.empty()) {
        return false;
    }
    m_frames.pop_back();
    return true;
}

bool CErrorFrames::PopTo(std::size_t depth) {
    NoteSkippedCleanup();
    if (m_frames.size() < depth) {
        return false;
    }
    m_frames.resize(depth);
    return true;
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
    const CFrame top = m_frames.back();
    m_raisedEnvironment = top.environment;
    top.restore(top.environment);
    static_cast<void>(std::fputs("minihost: an error frame's restore routine returned\n", stderr));
    std::abort();
}

void CErrorFrames::ExpectCleanup() {
    NoteSkippedCleanup();
    m_cleanupExpected = true;
    ++m_cleanupRaises;
}

void CErrorFrames::RunCleanup() {
    m_cleanupExpected = false;
    ++m_cleanupRuns;
}

void CErrorFrames::NoteSkippedCleanup() {
    if (m_cleanupExpected) {
        m_cleanupExpected = false;
        ++m_skippedCleanups;
    }
}

} // namespace minihost

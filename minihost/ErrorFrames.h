// The host's stack of error frames, and raising an error into its top frame.
#pragma once

#include "host/CoreTable.h"
#include "host/HostTypes.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace minihost {

class CErrorFrames {
public:
    CErrorFrames();

    // Pushes a frame: an error raised while it is on top calls `restore(environment)`.
    void Push(void* environment, HostRestoreProc restore);

    // Pops the top frame; false when there is none.
    bool Pop();

    // Pops frames until `depth` are left; false when there were fewer.
    bool PopTo(std::size_t depth);

    // Makes `code` the current error and calls the top frame's restore procedure with
    // its environment; that procedure does not return. Holds no C++ object while doing so.
    [[noreturn]] void Raise(HostErrorCode code);

    // The cleanup of the host's frames that a raise crosses (minihost/RaiseCleanup.h):
    // expected before the raise, run by the unwind of the restore procedure's longjmp.
    // One still expected at the next push or pop, which comes after the longjmp, was
    // skipped.
    void ExpectCleanup();
    void RunCleanup();
    // The raises whose cleanup was skipped since the last call.
    [[nodiscard]] std::size_t TakeSkippedCleanups() { return std::exchange(m_skippedCleanups, 0); }
    [[nodiscard]] std::size_t GetCleanupRaiseCount() const { return m_cleanupRaises; }
    [[nodiscard]] std::size_t GetCleanupRunCount() const { return m_cleanupRuns; }

    [[nodiscard]] HostErrorCode GetLastErrorCode() const { return m_lastError; }
    [[nodiscard]] std::size_t GetDepth() const { return m_frames.size(); }
    // The environment of the frame that the last raise went to.
    [[nodiscard]] void* GetRaisedEnvironment() const { return m_raisedEnvironment; }

private:
    struct CFrame {
        void* environment;
        HostRestoreProc restore;
    };
    void NoteSkippedCleanup();

    std::vector<CFrame> m_frames;
    HostErrorCode m_lastError = 0;
    void* m_raisedEnvironment = nullptr;
    bool m_cleanupExpected = false;
    std::size_t m_cleanupRaises = 0;
    std::size_t m_cleanupRuns = 0;
    std::size_t m_skippedCleanups = 0;
};

} // namespace minihost

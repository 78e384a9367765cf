// The host's stack of error frames, and raising an error into its top frame.
#pragma once

#include "host/CoreTable.h"
#include "host/HostTypes.h"

#include <cstddef>
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

    [[nodiscard]] HostErrorCode GetLastErrorCode() const { return m_lastError; }
    [[nodiscard]] std::size_t GetDepth() const { return m_frames.size(); }

private:
    struct CFrame {
        void* environment;
        HostRestoreProc restore;
    };
    std::vector<CFrame> m_frames;
    HostErrorCode m_lastError = 0;
};

} // namespace minihost

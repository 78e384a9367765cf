// The host's stack of error frames, and raising an error into its top frame.
#pragma once

#include "host/HostErrorFrame.h"
#include "host/HostTypes.h"

#include <cstddef>
#include <vector>

namespace minihost {

class CErrorFrames {
public:
    CErrorFrames();

    void Push(HostErrorFrame* frame);

    // Pops `frame`. When it is not the top frame, the frames above it go too and the
    // result is false: the plug-in left frames pushed. False also for an unknown frame.
    bool Pop(HostErrorFrame* frame);

    // Makes `code` the current error and calls the top frame's restore routine, which
    // does not return. Holds no C++ object while doing so.
    [[noreturn]] void Raise(HostErrorCode code);

    [[nodiscard]] HostErrorCode GetLastErrorCode() const { return m_lastError; }
    [[nodiscard]] std::size_t GetDepth() const { return m_frames.size(); }

private:
    std::vector<HostErrorFrame*> m_frames;
    HostErrorCode m_lastError = 0;
};

} // namespace minihost

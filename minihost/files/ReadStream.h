// A read stream on an open file: the object behind a HostStream handle. It holds the
// file's bytes, read when the stream was opened, and the file's platform path, which
// readers name in their error messages.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace minihost {

class CReadStream {
public:
    CReadStream(std::string displayName, std::string bytes)
        : m_displayName(std::move(displayName))
        , m_bytes(std::move(bytes)) {}

    // The platform path of the file the stream reads.
    [[nodiscard]] const std::string& GetDisplayName() const { return m_displayName; }
    [[nodiscard]] std::string_view GetBytes() const { return m_bytes; }

private:
    std::string m_displayName;
    std::string m_bytes;
};

} // namespace minihost

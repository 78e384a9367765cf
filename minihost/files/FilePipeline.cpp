#include "minihost/files/FilePipeline.h"

#include <algorithm>

namespace minihost {
namespace {

constexpr std::size_t kBufferSize = std::size_t{256} * 1024;

} // namespace

CFilePipeline::CFilePipeline(CNewFile& file, std::uint64_t stopAfter)
    : Pipeline("minihost file", nullptr)
    , m_file(file)
    , m_stopAfter(stopAfter) {
    m_buffer.reserve(kBufferSize);
}

void CFilePipeline::write(unsigned char const* data, size_t len) {
    while (len > 0 && m_taken < m_stopAfter && !m_failure) {
        const auto part = static_cast<std::size_t>(
            std::min<std::uint64_t>({len, m_stopAfter - m_taken, kBufferSize - m_buffer.size()}));
        m_buffer.insert(m_buffer.end(), data, data + part);
        m_taken += part;
        data += part;
        len -= part;
        if (m_buffer.size() == kBufferSize || m_taken == m_stopAfter) {
            Flush();
        }
    }
}

void CFilePipeline::Flush() noexcept {
    if (m_buffer.empty() || m_failure) {
        return;
    }
    try {
        m_file.Write(m_buffer.data(), m_buffer.size());
    } catch (const CFileAccessError& error) {
        m_failure = error;
    }
    m_buffer.clear();
}

void CFilePipeline::Complete() {
    Flush();
    if (m_failure) {
        throw CFileAccessError(*m_failure);
    }
}

} // namespace minihost

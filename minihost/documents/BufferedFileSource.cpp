#include "minihost/documents/BufferedFileSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QUtil.hh>

namespace minihost {
namespace {

constexpr std::size_t kBlockSize = std::size_t{64} * 1024;

} // namespace

CBufferedFileSource::CBufferedFileSource(std::string name, std::FILE* file)
    : m_name(std::move(name))
    , m_file(file)
    , m_block(std::make_unique_for_overwrite<char[]>(kBlockSize)) {}

CBufferedFileSource::~CBufferedFileSource() {
    static_cast<void>(std::fclose(m_file));
}

void CBufferedFileSource::ThrowSystemError(const std::string& what, int error) const {
    throw QPDFExc(qpdf_e_system, m_name, "", m_position, what + ": " + std::strerror(error));
}

bool CBufferedFileSource::FillBlock(qpdf_offset_t offset) {
    // Emptied first: qpdf goes on reading after a failure it catches, and must not be
    // served the block of before.
    m_blockLength = 0;
    const std::size_t count = ReadFile(offset, m_block.get(), kBlockSize);
    m_blockOffset = offset;
    m_blockLength = count;
    if (count > 0 && count < kBlockSize) {
        m_end = offset + static_cast<qpdf_offset_t>(count);
    }
    return count > 0;
}

std::size_t CBufferedFileSource::ReadFile(qpdf_offset_t offset, char* into, std::size_t length) {
    if (QUtil::seek(m_file, offset, SEEK_SET) != 0) {
        const int error = errno;
        ThrowSystemError("seek to " + std::to_string(offset), error);
    }
    // A short read is the end of the file only when nothing failed: the end is remembered.
    // A failure before does not make this read fail.
    std::clearerr(m_file);
    const std::size_t count = std::fread(into, 1, length, m_file);
    if (std::ferror(m_file) != 0) {
        const int error = errno;
        ThrowSystemError("read " + std::to_string(length) + " bytes", error);
    }
    // A file cut short while it is read (by another program, a share gone) fails the read:
    // qpdf would take the cut for the end of a damaged file and go on without the rest.
    const qpdf_offset_t reached = offset + static_cast<qpdf_offset_t>(count);
    if (count < length && m_end >= 0 && reached < m_end) {
        throw QPDFExc(qpdf_e_system, m_name, "", reached,
                      "read " + std::to_string(length) + " bytes: the file ends at " +
                          std::to_string(reached) + ", short of the " + std::to_string(m_end) +
                          " bytes it had");
    }
    return count;
}

qpdf_offset_t CBufferedFileSource::GetFileEnd() {
    if (m_end >= 0) {
        return m_end;
    }
    if (QUtil::seek(m_file, 0, SEEK_END) != 0) {
        const int error = errno;
        ThrowSystemError("seek to the end", error);
    }
    const qpdf_offset_t end = QUtil::tell(m_file);
    if (end < 0) {
        const int error = errno;
        ThrowSystemError("tell the end", error);
    }
    m_end = end;
    return m_end;
}

void CBufferedFileSource::seek(qpdf_offset_t offset, int whence) {
    qpdf_offset_t base = 0;
    if (whence == SEEK_CUR) {
        base = m_position;
    } else if (whence == SEEK_END) {
        base = GetFileEnd();
    }
    // The offset may come from the file (a stream's length): it is checked before it is
    // added, and a place outside the file's reach is refused as qpdf's own source refuses
    // it, so that qpdf can recover.
    constexpr qpdf_offset_t kFurthest = std::numeric_limits<qpdf_offset_t>::max();
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > kFurthest - offset)) {
        throw QPDFExc(qpdf_e_system, m_name, "", m_position,
                      "seek by " + std::to_string(offset) + " from " + std::to_string(base) +
                          ", outside the file");
    }
    m_position = base + offset;
}

void CBufferedFileSource::unreadCh(char /*ch*/) {
    if (m_position > 0) {
        --m_position;
    }
}

size_t CBufferedFileSource::read(char* into, size_t length) {
    setLastOffset(m_position);
    std::size_t done = 0;
    while (done < length && (m_end < 0 || m_position < m_end)) {
        const qpdf_offset_t blockEnd = m_blockOffset + static_cast<qpdf_offset_t>(m_blockLength);
        if (m_position >= m_blockOffset && m_position < blockEnd) {
            const auto at = static_cast<std::size_t>(m_position - m_blockOffset);
            const std::size_t part = std::min(length - done, m_blockLength - at);
            std::memcpy(into + done, m_block.get() + at, part);
            done += part;
            m_position += static_cast<qpdf_offset_t>(part);
        } else if (length - done >= kBlockSize) {
            const std::size_t count = ReadFile(m_position, into + done, length - done);
            if (count == 0) {
                break;
            }
            done += count;
            m_position += static_cast<qpdf_offset_t>(count);
        } else if (!FillBlock(m_position)) {
            break;
        }
    }
    if (done == 0 && length > 0) {
        // As qpdf's own source does: a read at or past the end leaves it at the end.
        m_position = GetFileEnd();
        setLastOffset(m_position);
    }
    return done;
}

qpdf_offset_t CBufferedFileSource::findAndSkipNextEOL() {
    char ch = 0;
    for (;;) {
        if (read(&ch, 1) == 0) {
            return m_position;
        }
        if (ch == '\r' || ch == '\n') {
            break;
        }
    }
    const qpdf_offset_t eol = m_position - 1;
    while (read(&ch, 1) == 1) {
        if (ch != '\r' && ch != '\n') {
            unreadCh(ch);
            break;
        }
    }
    return eol;
}

} // namespace minihost

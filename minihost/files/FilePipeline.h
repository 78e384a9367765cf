// qpdf's output going straight into a new file, so that a document or a conversion of a
// gigabyte is never whole in memory.
#pragma once

#include "minihost/files/FileAccess.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <qpdf/Pipeline.hh>
#include <vector>

namespace minihost {

// qpdf hands over its output in pieces of a few bytes: they are gathered, and written a
// buffer at a time. Nothing is thrown out of it through qpdf's frames (an exception from a
// pipeline may meet another one thrown while qpdf unwinds, and end the program): a write
// that fails, or the stop asked for, ends the writing, and Complete reports a failure once
// qpdf is done.
class CFilePipeline : public Pipeline {
public:
    // Writes into `file`, and no more than `stopAfter` bytes.
    explicit CFilePipeline(CNewFile& file,
                           std::uint64_t stopAfter = std::numeric_limits<std::uint64_t>::max());

    void write(unsigned char const* data, size_t len) override;
    void finish() override { Flush(); }

    // Writes what is gathered; throws the CFileAccessError of a write that failed.
    void Complete();

private:
    void Flush() noexcept;

    CNewFile& m_file;
    std::uint64_t m_stopAfter;
    std::uint64_t m_taken = 0; // the bytes taken into the file or the buffer
    std::vector<unsigned char> m_buffer;
    std::optional<CFileAccessError> m_failure;
};

} // namespace minihost

// A document's file as qpdf reads it, through a block of its own. qpdf's own file source
// asks the C library where it is and moves there again for nearly every token, and every
// such question is a call into the kernel: a few hundred for a small page. Here a move
// within the block costs nothing, and the file is read a block at a time, or straight
// into qpdf's buffer for a long read (a stream of images), so that a gigabyte document
// still takes no more memory than a block.
#pragma once

#include <cstdio>
#include <memory>
#include <qpdf/InputSource.hh>
#include <string>

namespace minihost {

class CBufferedFileSource : public InputSource {
public:
    // Reads `file`, open for reading in binary, and closes it when it goes. `name` is the
    // name that qpdf's messages give the file.
    CBufferedFileSource(std::string name, std::FILE* file);
    CBufferedFileSource(const CBufferedFileSource&) = delete;
    CBufferedFileSource& operator=(const CBufferedFileSource&) = delete;
    ~CBufferedFileSource() override;

    qpdf_offset_t findAndSkipNextEOL() override;
    [[nodiscard]] std::string const& getName() const override { return m_name; }
    qpdf_offset_t tell() override { return m_position; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { m_position = 0; }
    size_t read(char* into, size_t length) override;
    void unreadCh(char ch) override;

private:
    // Reads the block that begins at `offset`; false at the end of the file.
    bool FillBlock(qpdf_offset_t offset);
    // Reads into `into` from `offset`, past the block; the bytes read.
    std::size_t ReadFile(qpdf_offset_t offset, char* into, std::size_t length);
    [[nodiscard]] qpdf_offset_t GetFileEnd();
    [[noreturn]] void ThrowSystemError(const std::string& what, int error) const;

    std::string m_name;
    std::FILE* m_file;
    std::unique_ptr<char[]> m_block; // not cleared: only what was read is ever used
    qpdf_offset_t m_blockOffset = 0;
    std::size_t m_blockLength = 0;
    qpdf_offset_t m_position = 0;
    // Where the file ends, once known: it does not change while it is a document's (a save
    // over it puts a new file in its place). A read that ends before it fails.
    qpdf_offset_t m_end = -1;
};

} // namespace minihost

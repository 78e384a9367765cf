// minihost's buffered document source against qpdf's own file source: the same moves and
// reads over the same file give the same bytes, positions and offsets, at the edges of
// its block and of the file.
#include "minihost/documents/BufferedFileSource.h"

#include "tests/support/TestFolders.h"

#include <cstdio>
#include <fstream>
#include <qpdf/FileInputSource.hh>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr qpdf_offset_t kBlock = qpdf_offset_t{64} * 1024;

// Line ends of every kind, a line longer than a block, and no line end at the close.
std::string MakeContent() {
    std::string content = "%PDF-1.4\r\nline\rnext\n\n\r\r\nstream\n";
    content += std::string(kBlock + 300, 'x') + "\r\n";
    for (int line = 0; content.size() < 3 * kBlock; ++line) {
        content += "line " + std::to_string(line) + (line % 3 == 0 ? "\r\n" : "\n");
    }
    return content + "%%EOF";
}

class BufferedFileSourceTest : public testing::Test {
protected:
    void SetUp() override {
        m_file = (m_folder.GetPath() / "in.pdf").string();
        std::ofstream(m_file, std::ios::binary) << m_content;
        m_reference = std::make_unique<FileInputSource>(m_file.c_str());
        m_stream = std::fopen(m_file.c_str(), "rb");
        m_source = std::make_unique<minihost::CBufferedFileSource>(m_file, m_stream);
    }

    // Both sources, as qpdf sees them.
    [[nodiscard]] std::vector<InputSource*> Both() const {
        return {m_reference.get(), m_source.get()};
    }

    void ExpectSameRead(std::size_t length, const std::string& step) {
        std::vector<std::string> read;
        for (InputSource* source : Both()) {
            std::string bytes(length, '\0');
            bytes.resize(source->read(bytes.data(), length));
            read.push_back(bytes + "@" + std::to_string(source->tell()) + "/" +
                           std::to_string(source->getLastOffset()));
        }
        EXPECT_EQ(read[0], read[1]) << step;
    }

    testing_support::CTempFolder m_folder;
    std::string m_content = MakeContent();
    std::string m_file;
    std::unique_ptr<FileInputSource> m_reference;
    std::FILE* m_stream = nullptr; // the source's, which closes it
    std::unique_ptr<minihost::CBufferedFileSource> m_source;
};

TEST_F(BufferedFileSourceTest, ReadsAsQpdfsOwnSourceAtEveryEdge) {
    const auto size = static_cast<qpdf_offset_t>(m_content.size());
    for (const qpdf_offset_t offset : {qpdf_offset_t{0}, qpdf_offset_t{9}, kBlock - 1, kBlock,
                                       kBlock + 1, 2 * kBlock + 5, size - 3, size, size + 10}) {
        for (const std::size_t length : {1, 7, 4000, 70000, 300000}) {
            const std::string step =
                "at " + std::to_string(offset) + ", " + std::to_string(length) + " bytes";
            for (InputSource* source : Both()) {
                source->seek(offset, SEEK_SET);
            }
            ExpectSameRead(length, step);
            ExpectSameRead(length, step + ", then on");
            std::vector<std::string> eol;
            for (InputSource* source : Both()) {
                source->seek(offset, SEEK_SET);
                const qpdf_offset_t found = source->findAndSkipNextEOL();
                eol.push_back(std::to_string(found) + "@" + std::to_string(source->tell()));
            }
            EXPECT_EQ(eol[0], eol[1]) << step << ", to the next line end";
        }
    }
}

TEST_F(BufferedFileSourceTest, MovesFromTheEndAndBackAndRefusesToGoBeforeTheStart) {
    for (InputSource* source : Both()) {
        source->seek(-20, SEEK_END);
        source->seek(5, SEEK_CUR);
    }
    ExpectSameRead(100, "15 bytes before the end");
    for (InputSource* source : Both()) {
        source->seek(kBlock, SEEK_SET);
        char ch = 0;
        source->read(&ch, 1);
        source->unreadCh(ch);
    }
    ExpectSameRead(10, "a character read again across the block's edge");
    for (InputSource* source : Both()) {
        source->rewind();
        EXPECT_THROW(source->seek(-1, SEEK_CUR), std::runtime_error);
    }
}

#if !defined(_WIN32)
// qpdf catches a failed read and reads on: what it reads next must be the file's bytes.
TEST_F(BufferedFileSourceTest, AReadThatFailedOnceLeavesNothingStaleBehind) {
    char ch = 0;
    m_source->seek(10, SEEK_SET);
    m_source->read(&ch, 1);
    // For a moment the stream's descriptor is a folder, which cannot be read.
    const int descriptor = fileno(m_stream);
    const int file = dup(descriptor);
    const int folder = open(m_folder.GetPath().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(dup2(folder, descriptor), descriptor);
    std::string bytes(4, '\0');
    m_source->seek(kBlock + 100, SEEK_SET);
    EXPECT_THROW(m_source->read(bytes.data(), bytes.size()), std::runtime_error);
    ASSERT_EQ(dup2(file, descriptor), descriptor);
    close(file);
    close(folder);

    m_source->seek(kBlock + 100, SEEK_SET);
    ASSERT_EQ(m_source->read(bytes.data(), bytes.size()), bytes.size());
    EXPECT_EQ(bytes, m_content.substr(kBlock + 100, 4));
}
#endif

} // namespace

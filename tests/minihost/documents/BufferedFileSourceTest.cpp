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
        m_source = std::make_unique<minihost::CBufferedFileSource>(
            m_file, std::fopen(m_file.c_str(), "rb"));
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

} // namespace

// minihost's buffered document source against qpdf's own file source: the same moves and
// reads over the same file give the same bytes, positions and offsets, at the edges of
// its block and of the file.
#include "minihost/documents/BufferedFileSource.h"

#include "tests/support/TestFolders.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <qpdf/FileInputSource.hh>
#include <string>

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

// What a source gives back for a read: the bytes, then where it is and where the read began.
std::string Read(InputSource& source, std::size_t length) {
    std::string bytes(length, '\0');
    bytes.resize(source.read(bytes.data(), length));
    return bytes + "@" + std::to_string(source.tell()) + "/" +
           std::to_string(source.getLastOffset());
}

class BufferedFileSourceTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string file = (m_folder.GetPath() / "in.pdf").string();
        std::ofstream(file, std::ios::binary) << m_content;
        m_reference = std::make_unique<FileInputSource>(file.c_str());
        m_stream = std::fopen(file.c_str(), "rb");
        m_source = std::make_unique<minihost::CBufferedFileSource>(file, m_stream);
    }

    // Does `steps` to both sources and compares what they give back.
    void ExpectSame(const std::string& what,
                    const std::function<std::string(InputSource&)>& steps) {
        const std::string expected = steps(*m_reference);
        EXPECT_EQ(steps(*m_source), expected) << what;
    }

    testing_support::CTempFolder m_folder;
    std::string m_content = MakeContent();
    std::unique_ptr<FileInputSource> m_reference;
    std::FILE* m_stream = nullptr; // the source's, which closes it
    std::unique_ptr<minihost::CBufferedFileSource> m_source;
};

TEST_F(BufferedFileSourceTest, ReadsAsQpdfsOwnSourceAtEveryEdge) {
    const auto size = static_cast<qpdf_offset_t>(m_content.size());
    for (const qpdf_offset_t offset : {qpdf_offset_t{0}, qpdf_offset_t{9}, kBlock - 1, kBlock,
                                       kBlock + 1, 2 * kBlock + 5, size - 3, size, size + 10}) {
        for (const std::size_t length : {1U, 7U, 4000U, 70000U, 300000U}) {
            const std::string at =
                "at " + std::to_string(offset) + ", " + std::to_string(length) + " bytes";
            ExpectSame(at, [&](InputSource& source) {
                source.seek(offset, SEEK_SET);
                return Read(source, length) + Read(source, length);
            });
            ExpectSame(at + ", to the next line end", [&](InputSource& source) {
                source.seek(offset, SEEK_SET);
                const qpdf_offset_t found = source.findAndSkipNextEOL();
                return std::to_string(found) + "@" + std::to_string(source.tell());
            });
        }
    }
}

// A move may come from the file (a stream's length): one outside it is refused, never
// taken (the sum of the two would overflow).
TEST_F(BufferedFileSourceTest, MovesFromTheEndAndBackAndRefusesToLeaveTheFile) {
    ExpectSame("15 bytes before the end", [](InputSource& source) {
        source.seek(-20, SEEK_END);
        source.seek(5, SEEK_CUR);
        return Read(source, 100);
    });
    ExpectSame("a character read again across the block's edge", [](InputSource& source) {
        source.seek(kBlock, SEEK_SET);
        Read(source, 1);
        source.unreadCh('x');
        return Read(source, 10);
    });
    for (InputSource* source :
         std::initializer_list<InputSource*>{m_reference.get(), m_source.get()}) {
        source->seek(5, SEEK_SET);
        EXPECT_THROW(source->seek(-6, SEEK_CUR), std::runtime_error);
        EXPECT_THROW(source->seek(std::numeric_limits<qpdf_offset_t>::max(), SEEK_CUR),
                     std::runtime_error);
    }
}

#if !defined(_WIN32)
// qpdf catches a failed read and reads on: what it reads next must be the file's bytes.
TEST_F(BufferedFileSourceTest, AReadThatFailedOnceLeavesNothingStaleBehind) {
    m_source->seek(10, SEEK_SET);
    Read(*m_source, 1);
    // For a moment the stream's descriptor is a folder, which cannot be read.
    const int descriptor = fileno(m_stream);
    const int file = dup(descriptor);
    const int folder = open(m_folder.GetPath().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(dup2(folder, descriptor), descriptor);
    m_source->seek(kBlock + 100, SEEK_SET);
    EXPECT_THROW(Read(*m_source, 4), std::runtime_error);
    ASSERT_EQ(dup2(file, descriptor), descriptor);
    close(file);
    close(folder);

    m_source->seek(kBlock + 100, SEEK_SET);
    EXPECT_EQ(Read(*m_source, 4).substr(0, 4), m_content.substr(kBlock + 100, 4));
}
#endif

} // namespace

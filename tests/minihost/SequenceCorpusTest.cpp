// Every input of the fuzz corpus, replayed through the fuzz target itself (which aborts
// on a crash or a failed round trip) and through the parser: the seeds named valid-*
// must read (valid-cp932-* in code page 932, the others in 1252), those named
// malformed-* must be refused.
#include "minihost/containers/SequenceForm.h"
#include "quorvella/SourceDir.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> ListCorpus() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(QV_SOURCE_DIR "/fuzz/corpus")) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class SequenceCorpus : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(SequenceCorpus, InputReadsWithoutHarm) {
    std::ifstream stream(GetParam(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(stream),
                            std::istreambuf_iterator<char>()};
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the fuzzer's signature
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());

    const std::string name = GetParam().filename().string();
    const unsigned codePage = name.starts_with("valid-cp932-") ? 932 : 1252;
    const auto read = minihost::ParseSequenceForm(bytes, codePage);
    if (name.starts_with("valid-")) {
        EXPECT_FALSE(read.error) << minihost::FormatSequenceFormError(name, *read.error);
    } else if (name.starts_with("malformed-")) {
        EXPECT_TRUE(read.error);
    }
}

TEST(SequenceCorpusSeeds, AreThere) {
    EXPECT_GE(ListCorpus().size(), 20U);
}

INSTANTIATE_TEST_SUITE_P(Fuzz, SequenceCorpus, ::testing::ValuesIn(ListCorpus()),
                         [](const auto& testInfo) {
                             std::string name = testInfo.param.filename().string();
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

} // namespace

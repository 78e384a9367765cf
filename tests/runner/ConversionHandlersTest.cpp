// The conversion step's walk through the host's from-PDF handlers, on a real document.
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ViewTable.h"
#include "minihost/conversions/Conversions.h"
#include "runner/OutputSaving.h"
#include "runner/WorkDocument.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/SamplePdfs.h"

#include <cstdint>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

// The request, and how many handlers the host asked about.
struct CCountedRequest {
    ConversionRequest request;
    int asked = 0;
    std::size_t recordSize = 0; // as the host laid out the last handler record
};

HostBool QV_HOSTCALL CountAndMatch(HostConversionHandler* handler, void* clientData) {
    auto* counted = static_cast<CCountedRequest*>(clientData);
    ++counted->asked;
    counted->recordSize = handler->size;
    return MatchConversionHandler(handler, &counted->request);
}

class ConversionHandlers : public testing_support::CInProcessHostTest {
protected:
    // Converts a two-page document with the JSON handler, the first of minihost's
    // handlers, into the test's folder.
    void Convert(minihost::CHostOptions options, CCountedRequest& counted) {
        ASSERT_TRUE(StartHostAndSetUpPlugIn(std::move(options)));
        const std::filesystem::path input = m_folder.GetPath() / "a.pdf";
        testing_support::WriteSamplePdf(input, 2);
        CWorkDocument document;
        ASSERT_TRUE(document.Open(input.string().c_str()));
        counted.request.document = &document;
        counted.request.outputPath = (m_folder.GetPath() / "a").string();
        counted.request.handlerId = "com.minihost.json";
        EXPECT_TRUE(CallInErrorFrame(
            [&] { ViewEnumConversionFromPdfHandlers(MakeCallback(&CountAndMatch), &counted); }));
        document.Close();
    }

    testing_support::CTempFolder m_folder;
};

// A host of 5.0 lays its handler records out as 5.0 defined them; a newer host appends
// fields, which the plug-in neither reads nor copies.
class ConversionHandlerRecords : public ConversionHandlers,
                                 public ::testing::WithParamInterface<std::int16_t> {};

TEST_P(ConversionHandlerRecords, EveryHandlerIsAskedAndTheMatchingOneConverts) {
    minihost::CHostOptions options;
    options.hostMajorVersion = GetParam();
    CCountedRequest counted;
    Convert(std::move(options), counted);
    // 296 and 312 bytes in the 32-bit build.
    const std::size_t appended = GetParam() < 6 ? 0 : 4 * sizeof(void*);
    EXPECT_EQ(counted.recordSize, sizeof(HostConversionHandler) + appended);
    EXPECT_EQ(counted.asked, static_cast<int>(minihost::ListConversions().size()));
    EXPECT_TRUE(counted.request.matched);
    EXPECT_FALSE(counted.request.hostError);
    EXPECT_EQ(counted.request.outputPath, (m_folder.GetPath() / "a.json").string());
    EXPECT_TRUE(std::filesystem::exists(m_folder.GetPath() / "a.json"));
}

INSTANTIATE_TEST_SUITE_P(HostVersions, ConversionHandlerRecords, ::testing::Values(5, 10));

// Where the build has a handler after the JSON one, it is never asked.
TEST_F(ConversionHandlers, AHostErrorInTheConversionEndsTheWalkThere) {
    minihost::CHostOptions options;
    options.failOperations = {"AcroView.ConvertFromPdf"};
    CCountedRequest counted;
    Convert(std::move(options), counted);
    EXPECT_EQ(counted.asked, 1);
    EXPECT_TRUE(counted.request.matched);
    EXPECT_TRUE(counted.request.hostError);
    EXPECT_FALSE(std::filesystem::exists(m_folder.GetPath() / "a.json"));
}

} // namespace

#include "tests/batch/BatchRun.h"

#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/FileContents.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/TrailLines.h"
#include "util/PathParts.h"

#include <fstream>
#include <qpdf/QPDF.hh>

namespace testing_support {

namespace fs = std::filesystem;
using minihost::CAtomValue;
using minihost::CContainer;

CContainerPtr MakeStep(const std::string& handler, CContainerPtr params) {
    auto step = std::make_unique<CContainer>();
    step->Put("HandlerName", CAtomValue{handler});
    step->Put("Config", std::make_unique<CContainer>());
    step->Put("Params", params ? std::move(params) : std::make_unique<CContainer>());
    return step;
}

CContainerPtr MakeListOf(std::vector<CContainerPtr> items) {
    auto list = std::make_unique<CContainer>();
    for (std::size_t i = 0; i < items.size(); ++i) {
        list->Put(std::to_string(i), std::move(items[i]));
    }
    return list;
}

CContainerPtr MakeListedInput(const std::vector<fs::path>& files) {
    std::vector<CContainerPtr> entries;
    entries.reserve(files.size());
    for (const auto& file : files) {
        entries.push_back(MakeDIContainer(file));
    }
    auto input = std::make_unique<CContainer>();
    input->Put("FileVariation", 0);
    input->Put("PreselectedFilesPaths", MakeListOf(std::move(entries)));
    return input;
}

CContainerPtr MakeFolderInput(const fs::path& folder) {
    auto input = std::make_unique<CContainer>();
    input->Put("FileVariation", 1);
    input->Put("PreselectedFolderPath", MakeDIContainer(folder));
    return input;
}

CContainerPtr MakeOutput(int variation, const fs::path& folder) {
    auto output = std::make_unique<CContainer>();
    output->Put("FileVariation", variation);
    if (!folder.empty()) {
        output->Put("PreselectedFolderPath", MakeDIContainer(folder));
    }
    return output;
}

CContainerPtr MakeParams(const std::vector<std::pair<std::string, CSimpleValue>>& values) {
    auto params = std::make_unique<CContainer>();
    for (const auto& [key, value] : values) {
        std::visit([&, name = key](const auto& held) { params->Put(name, held); }, value);
    }
    return params;
}

void CBatchRunTest::SetUp() {
    fs::create_directories(In());
    fs::create_directories(Dest());
}

fs::path CBatchRunTest::AddInput(const std::string& name, int pages) {
    fs::path file = In() / name;
    WriteSamplePdf(file, pages);
    return file;
}

void CBatchRunTest::WriteSequence(CContainerPtr commands, CContainerPtr input,
                                  CContainerPtr output) {
    CContainer root;
    if (commands) {
        root.Put("Commands", std::move(commands));
    }
    if (input) {
        root.Put("Input", std::move(input));
    }
    if (output) {
        root.Put("Output", std::move(output));
    }
    WriteSequenceFile(SequenceFile(), root);
}

CMiniHostRun CBatchRunTest::RunBatch(const std::string& finalAction, const std::string& destination,
                                     const std::vector<std::string>& arguments) {
    return RunWithVariables({{"QUORVELLASEQU", ToPlatformText(SequenceFile())},
                             {"QUORVELLAFINAL", finalAction},
                             {"QUORVELLADEST", destination},
                             {"QUORVELLALOG", ToPlatformText(TrailFile())}},
                            arguments);
}

CMiniHostRun
CBatchRunTest::RunWithVariables(const std::vector<std::pair<std::string, std::string>>& variables,
                                const std::vector<std::string>& arguments) {
    return RunMiniHost(arguments, "", variables);
}

std::vector<std::string> CBatchRunTest::ReadTrail() const {
    return ReadTrailLines(TrailFile());
}

fs::path CBatchRunTest::MakeFolderBeyondThePartLimit() const {
    // The run splits the text it is given, with slashes; the folder part ends with one.
    const std::string in = In().string() + "/";
    const std::size_t upperLength = kMaxPathPartLength - in.size() - 1;
    fs::path folder = In() / std::string(upperLength, 'u') / "below";
    fs::create_directories(folder);
    return folder;
}

CContainerPtr Rotate(int angle) {
    return MakeList(MakeStep("RotatePages", MakeParams({{"Angle", angle}})));
}

std::vector<int> ReadRotations(const fs::path& file) {
    QPDF pdf;
    pdf.processFile(ToQpdfFileName(file).c_str());
    return ReadPageRotations(pdf);
}

void ExpectCleanRun(const CMiniHostRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(WasClosedByTheRun(run)) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
}

} // namespace testing_support

// Written batch files run by the real cmd: the host program they start receives exactly
// the three values, whatever characters cmd would otherwise act on.
#include "batchfile/BatchFileFormat.h"
#include "tests/support/FileContents.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct CRunCase {
    const char* name;
    const char* sequencePath;
    int finalAction;
    const char* destination;
    const char* programFolder; // where the stand-in host program is put
};

void PrintTo(const CRunCase& runCase, std::ostream* stream) {
    *stream << runCase.name;
}

class BatchFileUnderCmd : public ::testing::TestWithParam<CRunCase> {};

TEST_P(BatchFileUnderCmd, StartsTheHostProgramWithExactlyTheThreeValues) {
    const CRunCase& runCase = GetParam();
    const testing_support::CTempFolder folder;
    const fs::path programFolder = folder.GetPath() / runCase.programFolder;
    fs::create_directories(programFolder);
    const fs::path program = programFolder / "rec.exe";
    fs::copy_file(testing_support::GetBinFolder() / "batch_value_recorder.exe", program);

    const fs::path batchFile = folder.GetPath() / "run.bat";
    std::ofstream(batchFile, std::ios::binary) << batchfile::FormatBatchFile(
        runCase.sequencePath, runCase.finalAction, runCase.destination, program.string());
    const fs::path recorded = folder.GetPath() / "values.txt";
    const testing_support::CProcessResult run =
        testing_support::RunProgram(R"(C:\windows\system32\cmd.exe)", {"/c", batchFile.string()},
                                    {{"QV_RECORDED_VALUES", recorded.string()}});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // cmd's "SET NAME=" with nothing after "=" removes the variable: the program then
    // finds it unset, which the batch run reads as an empty destination.
    const std::string destination = *runCase.destination != '\0' ? runCase.destination : "(unset)";
    EXPECT_EQ(testing_support::ReadFileBytes(recorded),
              std::string("QUORVELLASEQU=") + runCase.sequencePath + "\nQUORVELLAFINAL=" +
                  std::to_string(runCase.finalAction) + "\nQUORVELLADEST=" + destination + "\n")
        << testing_support::ReadFileBytes(batchFile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchFileUnderCmd,
    ::testing::Values(CRunCase{"SpecialCharacters", R"(C:\Seq\a|b<c>d^e&f%g.sequ)", 2,
                               R"(D:\R&D 100%)", "100%&^ dir"},
                      CRunCase{"ProgramPathWithSpaces", R"(C:\Seq\Scan Pages.sequ)", 5,
                               R"(C:\Program Files\Tools\stamp run.exe)", "host program"},
                      CRunCase{"NoDestination", R"(C:\Seq\plain.sequ)", 0, "", "plain"}),
    [](const ::testing::TestParamInfo<CRunCase>& tested) {
        return std::string(tested.param.name);
    });

} // namespace

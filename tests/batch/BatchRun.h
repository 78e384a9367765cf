// End-to-end batch runs: the real minihost with the real module, started with the
// launch request's variables, on real PDF files in a temporary folder.
#pragma once

#include "minihost/containers/Container.h"
#include "tests/support/MiniHostRun.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

using CContainerPtr = std::unique_ptr<minihost::CContainer>;

// A command entry: "HandlerName" (an atom), an empty "Config" and `params`.
CContainerPtr MakeStep(const std::string& handler, CContainerPtr params = nullptr);
// A numbered list: the items under "0", "1", ...
CContainerPtr MakeListOf(std::vector<CContainerPtr> items);
template <class... Items>
CContainerPtr MakeList(Items... items) {
    std::vector<CContainerPtr> list;
    (list.push_back(std::move(items)), ...);
    return MakeListOf(std::move(list));
}
// An "Input" section listing `files`.
CContainerPtr MakeListedInput(const std::vector<std::filesystem::path>& files);
// An "Input" section naming a folder.
CContainerPtr MakeFolderInput(const std::filesystem::path& folder);
// An "Output" section with "FileVariation" `variation` and, when given, a folder.
CContainerPtr MakeOutput(int variation, const std::filesystem::path& folder = {});
// A container of the given integer, boolean and string values.
using CSimpleValue = std::variant<std::int32_t, bool, std::string>;
CContainerPtr MakeParams(const std::vector<std::pair<std::string, CSimpleValue>>& values);

class CBatchRunTest : public ::testing::Test {
protected:
    [[nodiscard]] std::filesystem::path In() const { return m_folder.GetPath() / "In"; }
    [[nodiscard]] std::filesystem::path Out() const { return m_folder.GetPath() / "Out"; }
    [[nodiscard]] std::filesystem::path Dest() const { return m_folder.GetPath() / "Dest"; }
    [[nodiscard]] std::filesystem::path SequenceFile() const {
        return m_folder.GetPath() / "run.sequ";
    }
    [[nodiscard]] std::filesystem::path TrailFile() const {
        return m_folder.GetPath() / "trail.log";
    }

    void SetUp() override;

    // Writes a sample PDF of `pages` pages into In.
    std::filesystem::path AddInput(const std::string& name, int pages = 2);

    // Writes the sequence file from its three sections (any may be null: left out).
    void WriteSequence(CContainerPtr commands, CContainerPtr input, CContainerPtr output);

    // Runs minihost with QUORVELLASEQU set to the sequence file, the final action and its
    // destination, and QUORVELLALOG set to the trail file.
    CMiniHostRun RunBatch(const std::string& finalAction, const std::string& destination,
                          const std::vector<std::string>& arguments = {});

    // The same with every variable given as it stands (an absent one is not set).
    static CMiniHostRun
    RunWithVariables(const std::vector<std::pair<std::string, std::string>>& variables,
                     const std::vector<std::string>& arguments = {});

    // The audit trail's lines, without the fields that differ from run to run (the id,
    // times and durations: ReadTrailLines).
    [[nodiscard]] std::vector<std::string> ReadTrail() const;

    // A new folder below In whose path text is longer than a path part may be, made so that
    // the part cut to its limit names the existing folder above it: a path formed from the
    // cut part would lead one folder up.
    [[nodiscard]] std::filesystem::path MakeFolderBeyondThePartLimit() const;

    CTempFolder m_folder;
};

// One step turning every page by `angle`.
CContainerPtr Rotate(int angle);

// The /Rotate of every page of the PDF file.
std::vector<int> ReadRotations(const std::filesystem::path& file);

// The launch request closed the host when it was done.
inline bool WasClosedByTheRun(const CMiniHostRun& run) {
    return run.WasLogged("host: the main window was destroyed; exiting");
}

// The run ended well: the host closed by the run, nothing left acquired.
void ExpectCleanRun(const CMiniHostRun& run);

} // namespace testing_support

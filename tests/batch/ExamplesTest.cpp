// Every example sequence of examples/ runs: its placeholder folders /SAMPLES and /OUT
// are replaced by temporary ones, the files it names are made, the dialogs it asks for
// are answered, and the run must open, process and write every input.
#include "minihost/containers/SequenceForm.h"
#include "minihost/files/PathNotation.h"
#include "platform/CodePage.h"
#include "tests/batch/BatchRun.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::CMiniHostRun;

std::string ReadText(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

fs::path ToPlatformPath(const std::string& diPath) {
    const auto path = minihost::ConvertDIPathToPlatform(diPath, minihost::kHostPathStyle,
                                                        platform::GetAnsiCodePage());
    return path ? fs::path(*path) : fs::path();
}

// Escapes a text for a quoted text of the sequence form.
std::string Quote(const std::string& text) {
    std::string quoted;
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted;
}

class Examples : public testing_support::CBatchRunTest {
protected:
    // Makes the inputs that `input` names; the answers of the dialogs it will ask for go
    // into `arguments`.
    void MakeInputs(const minihost::CContainer& input, std::vector<std::string>& arguments) {
        const int variation = input.GetInt("FileVariation").value_or(-1);
        if (variation == 0) {
            const auto* list = input.GetContainer("PreselectedFilesPaths");
            ASSERT_NE(list, nullptr);
            for (const auto& [key, value] : list->GetEntries()) {
                const auto* entry = list->GetContainer(key);
                ASSERT_NE(entry, nullptr);
                const fs::path file = ToPlatformPath(*entry->GetStringOrText("DI"));
                fs::create_directories(file.parent_path());
                testing_support::WriteSamplePdf(file, 3);
                ++m_expectedInputs;
            }
        } else if (variation == 1) {
            const auto* folder = input.GetContainer("PreselectedFolderPath");
            ASSERT_NE(folder, nullptr);
            const fs::path path = ToPlatformPath(*folder->GetStringOrText("DI"));
            fs::create_directories(path);
            for (const char* name : {"a.pdf", "B.PDF"}) {
                testing_support::WriteSamplePdf(path / name, 3);
                ++m_expectedInputs;
            }
        } else {
            ASSERT_EQ(variation, 2);
            const fs::path a = AddInput("picked a.pdf", 3);
            const fs::path b = AddInput("picked b.pdf", 3);
            arguments.insert(arguments.end(), {"--open-files", a.string() + ";" + b.string()});
            m_expectedInputs += 2;
        }
    }

    int m_expectedInputs = 0;
};

TEST_F(Examples, EveryExampleProcessesEveryInput) {
    std::vector<fs::path> examples;
    for (const auto& entry : fs::directory_iterator(fs::path(QV_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() == ".sequ") {
            examples.push_back(entry.path());
        }
    }
    ASSERT_GE(examples.size(), 6U);
    for (const fs::path& example : examples) {
        SCOPED_TRACE(example.filename().string());
        const std::string samples = testing_support::ToDIPath(m_folder.GetPath() / "SAMPLES");
        const std::string out = testing_support::ToDIPath(m_folder.GetPath() / "OUT");
        std::string text = ReadText(example);
        ReplaceAll(text, "\"/SAMPLES", "\"" + Quote(samples));
        ReplaceAll(text, "\"/OUT", "\"" + Quote(out));
        std::ofstream(SequenceFile(), std::ios::binary) << text;

        const auto parsed = minihost::ParseSequenceForm(text, platform::GetAnsiCodePage());
        ASSERT_TRUE(parsed.container) << example;
        const auto* input = parsed.container->GetContainer("Input");
        const auto* output = parsed.container->GetContainer("Output");
        ASSERT_NE(input, nullptr);
        ASSERT_NE(output, nullptr);
#if defined(_WIN32)
        // The Windows build has no plain-text conversion (minihost --help says so).
        if (output->GetStringOrText("HandlerUniqueID") == "com.minihost.text") {
            continue;
        }
#endif
        std::vector<std::string> arguments;
        m_expectedInputs = 0;
        MakeInputs(*input, arguments);
        const int outputVariation = output->GetInt("FileVariation").value_or(2);
        // A conversion writes into an existing folder only, as a user would have it.
        if (const auto* folder = output->GetContainer("PreselectedFolderPath")) {
            fs::create_directories(ToPlatformPath(*folder->GetStringOrText("DI")));
        }
        // The folder dialog is shown again for every document, and picks existing folders.
        fs::create_directories(m_folder.GetPath() / "chosen");
        for (int i = 0; outputVariation == 1 && i < m_expectedInputs; ++i) {
            arguments.insert(arguments.end(),
                             {"--choose-folder", (m_folder.GetPath() / "chosen").string()});
        }

        const CMiniHostRun run = RunBatch("0", "", arguments);
        EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
        EXPECT_TRUE(testing_support::WasClosedByTheRun(run)) << run.GetTranscript();
        const auto trail = ReadTrail();
        ASSERT_EQ(trail.size(), static_cast<std::size_t>(m_expectedInputs) + 2)
            << run.GetTranscript();
        for (std::size_t i = 1; i + 1 < trail.size(); ++i) {
            EXPECT_NE(trail[i].find("\topened=yes\t"), std::string::npos) << trail[i];
            EXPECT_EQ(trail[i].find("\tended=done\t") == std::string::npos &&
                          trail[i].find("\tended=cancelled\t") == std::string::npos,
                      false)
                << trail[i];
            const bool written = trail[i].find("\tresult=none\t") == std::string::npos;
            EXPECT_EQ(written, outputVariation != 3) << trail[i];
        }
        EXPECT_TRUE(trail.back().ends_with("\tstopped=no")) << trail.back();
        fs::remove_all(m_folder.GetPath() / "SAMPLES");
        fs::remove_all(m_folder.GetPath() / "OUT");
        fs::remove_all(m_folder.GetPath() / "chosen");
        fs::remove_all(In());
        fs::create_directories(In());
        fs::remove(TrailFile());
    }
}

} // namespace

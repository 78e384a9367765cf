// Every example sequence of examples/ runs as scripts/demo runs it: its placeholder
// folders /C/SAMPLES and /C/OUT are replaced by temporary ones, what its "setup:" lines ask
// for is made (files, folders, the answers of the dialogs), and the run must open,
// process and write every input.
#include "minihost/containers/SequenceForm.h"
#include "platform/CodePage.h"
#include "quorvella/SourceDir.h"
#include "tests/batch/BatchRun.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
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
    // Makes what the example's "setup:" lines ask for, in the folders that stand for
    // /C/SAMPLES and /C/OUT; the answers of the dialogs go into `arguments`. Answers the
    // number of files made.
    int PrepareExample(const std::string& text, std::vector<std::string>& arguments) {
        const auto place = [&](std::string path) {
            ReplaceAll(path, "/C/SAMPLES", (m_folder.GetPath() / "SAMPLES").string());
            ReplaceAll(path, "/C/OUT", (m_folder.GetPath() / "OUT").string());
            return fs::path(path);
        };
        std::string picks;
        int made = 0;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (!line.starts_with("# setup: ")) {
                continue;
            }
            const std::string rest = line.substr(9);
            const std::string kind = rest.substr(0, rest.find(' '));
            const fs::path path = place(rest.substr(kind.size() + 1));
            if (kind == "file" || kind == "pick") {
                fs::create_directories(path.parent_path());
                testing_support::WriteSamplePdf(path, 3);
                ++made;
                if (kind == "pick") {
                    picks += (picks.empty() ? "" : ";") + path.string();
                }
            } else if (kind == "folder" || kind == "choose") {
                fs::create_directories(path);
                // The folder dialog is shown again for every document.
                for (int i = 0; kind == "choose" && i < 10; ++i) {
                    arguments.insert(arguments.end(), {"--choose-folder", path.string()});
                }
            } else {
                ADD_FAILURE() << "unknown setup line: " << line;
            }
        }
        if (!picks.empty()) {
            arguments.insert(arguments.end(), {"--open-files", picks});
        }
        return made;
    }
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
        ReplaceAll(text, "\"/C/SAMPLES", "\"" + Quote(samples));
        ReplaceAll(text, "\"/C/OUT", "\"" + Quote(out));
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
        const int inputs = PrepareExample(text, arguments);
        const int outputVariation = output->GetInt("FileVariation").value_or(2);

        const CMiniHostRun run = RunBatch("0", "", arguments);
        EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
        EXPECT_TRUE(testing_support::WasClosedByTheRun(run)) << run.GetTranscript();
        const auto trail = ReadTrail();
        ASSERT_EQ(trail.size(), static_cast<std::size_t>(inputs) + 2) << run.GetTranscript();
        for (std::size_t i = 1; i + 1 < trail.size(); ++i) {
            EXPECT_NE(trail[i].find("\topened=yes\t"), std::string::npos) << trail[i];
            EXPECT_EQ(trail[i].find("\tended=done\t") == std::string::npos &&
                          trail[i].find("\tended=cancelled\t") == std::string::npos,
                      false)
                << trail[i];
            const bool written = trail[i].find("\tresult=none\t") == std::string::npos;
            EXPECT_EQ(written, outputVariation != 3) << trail[i];
        }
        EXPECT_TRUE(trail.back().starts_with("end\tstatus=ok\t")) << trail.back();
        fs::remove_all(m_folder.GetPath() / "SAMPLES");
        fs::remove_all(m_folder.GetPath() / "OUT");
        fs::remove(TrailFile());
    }
}

} // namespace

#include "minihost/dialogs/DialogScript.h"

#include "minihost/Options.h"

namespace minihost {
namespace {

constexpr const char* kCancel = "cancel";

// The next answer, split at `separator` when one is given.
CDialogAnswer TakeAnswer(std::deque<std::string>& answers, char separator) {
    CDialogAnswer answer;
    if (answers.empty()) {
        return answer;
    }
    const std::string text = std::move(answers.front());
    answers.pop_front();
    answer.scripted = true;
    if (text == kCancel) {
        return answer;
    }
    std::size_t start = 0;
    for (std::size_t stop = text.find(separator); separator != '\0' && stop != std::string::npos;
         start = stop + 1, stop = text.find(separator, start)) {
        answer.paths.push_back(text.substr(start, stop - start));
    }
    answer.paths.push_back(text.substr(start));
    return answer;
}

} // namespace

CDialogScript::CDialogScript(const CHostOptions& options)
    : m_chosenFolders(options.chooseFolderAnswers.begin(), options.chooseFolderAnswers.end())
    , m_openedFiles(options.openFilesAnswers.begin(), options.openFilesAnswers.end()) {}

CDialogAnswer CDialogScript::TakeChosenFolder() {
    return TakeAnswer(m_chosenFolders, '\0');
}

CDialogAnswer CDialogScript::TakeOpenedFiles() {
    return TakeAnswer(m_openedFiles, ';');
}

} // namespace minihost

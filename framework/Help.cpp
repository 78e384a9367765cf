#include "framework/Help.h"

#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "platform/Controls.h"
#include "platform/HelpViewer.h"
#include "platform/WindowStyles.h"

namespace framework {

std::string FormatHelpFailure(const std::string& helpFile) {
    return "The help viewer could not open the help file " + helpFile + ".";
}

void ShowHelpContents(HostWindow window) {
    const CApplication* application = CApplication::GetInstance();
    const std::string helpFile = application != nullptr ? application->GetHelpFilePath() : "";
    bool shown = false;
    {
        const platform::CWaitCursor waitCursor;
        shown = platform::CallHtmlHelp(platform::GetRootOwner(window), helpFile.c_str(),
                                       platform::kHelpDisplayToc, 0);
    }
    if (!shown) {
        ShowMessage(window, FormatHelpFailure(helpFile));
    }
}

} // namespace framework

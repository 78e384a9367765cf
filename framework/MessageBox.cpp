#include "framework/MessageBox.h"

#include "framework/Application.h"
#include "platform/MessageBox.h"
#include "platform/WindowStyles.h"

namespace framework {

void ShowMessage(HostWindow owner, const std::string& text) {
    const CApplication* application = CApplication::GetInstance();
    const std::string title = application != nullptr ? application->GetAppName() : "";
    platform::ShowMessageBox(owner, text.c_str(), title.c_str(),
                             platform::kMessageOk | platform::kMessageIconWarning);
}

} // namespace framework

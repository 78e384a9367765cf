#include "platform/posix/desktop/Desktop.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace desktop {
namespace {

struct CWindow {
    std::string title;
};

// The window order, the top window last. Handles are the records' addresses and are
// only compared, never followed, until found in this list.
std::vector<std::unique_ptr<CWindow>>& GetWindows() {
    static std::vector<std::unique_ptr<CWindow>> windows;
    return windows;
}

auto FindWindow(HostWindow window) {
    auto& windows = GetWindows();
    return std::find_if(windows.begin(), windows.end(),
                        [window](const auto& record) { return record.get() == window; });
}

} // namespace

HostWindow CreateTopWindow(const char* title) {
    auto record = std::make_unique<CWindow>();
    record->title = title != nullptr ? title : "";
    HostWindow handle = record.get();
    GetWindows().push_back(std::move(record));
    return handle;
}

bool IsWindow(HostWindow window) {
    return window != nullptr && FindWindow(window) != GetWindows().end();
}

bool DestroyWindow(HostWindow window) {
    const auto found = FindWindow(window);
    if (window == nullptr || found == GetWindows().end()) {
        return false;
    }
    GetWindows().erase(found);
    return true;
}

HostWindow GetTopWindow() {
    return GetWindows().empty() ? nullptr : GetWindows().back().get();
}

const char* GetWindowTitle(HostWindow window) {
    const auto found = FindWindow(window);
    return window != nullptr && found != GetWindows().end() ? (*found)->title.c_str() : nullptr;
}

} // namespace desktop

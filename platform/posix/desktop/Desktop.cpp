#include "platform/posix/desktop/Desktop.h"

#include "platform/posix/desktop/WindowStore.h"

#include <algorithm>

namespace desktop {
namespace detail {

std::vector<std::unique_ptr<CWindow>>& GetWindows() {
    static std::vector<std::unique_ptr<CWindow>> windows;
    return windows;
}

CWindow* FindWindow(HostWindow window) {
    if (window == nullptr) {
        return nullptr;
    }
    auto& windows = GetWindows();
    const auto found = std::find_if(windows.begin(), windows.end(), [window](const auto& record) {
        return record.get() == window;
    });
    return found != windows.end() ? found->get() : nullptr;
}

std::string DescribeWindow(HostWindow window) {
    const CWindow* record = FindWindow(window);
    return record != nullptr ? "\"" + record->text + "\"" : std::string("none");
}

} // namespace detail

using detail::CWindow;
using detail::FindWindow;
using detail::GetWindows;

HostWindow CreateTopWindow(const char* title) {
    auto record = std::make_unique<CWindow>();
    record->text = title != nullptr ? title : "";
    HostWindow handle = record.get();
    GetWindows().push_back(std::move(record));
    return handle;
}

bool IsWindow(HostWindow window) {
    return FindWindow(window) != nullptr;
}

bool DestroyWindow(HostWindow window) {
    CWindow* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    // A dialog's controls go with it; a control leaves its dialog's list.
    auto& windows = GetWindows();
    const std::vector<CWindow*> controls = record->controls;
    std::erase_if(windows, [&](const auto& other) {
        return std::find(controls.begin(), controls.end(), other.get()) != controls.end();
    });
    if (record->parent != nullptr) {
        std::erase(record->parent->controls, record);
        if (record->parent->focus == window) {
            record->parent->focus = nullptr;
        }
    }
    std::erase_if(windows, [record](const auto& other) { return other.get() == record; });
    return true;
}

HostWindow GetTopWindow() {
    const auto& windows = GetWindows();
    const auto top = std::find_if(windows.rbegin(), windows.rend(),
                                  [](const auto& record) { return record->parent == nullptr; });
    return top != windows.rend() ? top->get() : nullptr;
}

const char* GetWindowTitle(HostWindow window) {
    const CWindow* record = FindWindow(window);
    return record != nullptr ? record->text.c_str() : nullptr;
}

} // namespace desktop

#include "platform/DialogTemplate.h"

namespace platform {

const char* GetControlClassName(CControlClass controlClass) {
    switch (controlClass) {
    case CControlClass::Button:
        return "Button";
    case CControlClass::Edit:
        return "Edit";
    case CControlClass::Static:
        return "Static";
    case CControlClass::ListBox:
        return "ListBox";
    case CControlClass::ComboBox:
        return "ComboBox";
    }
    return "";
}

} // namespace platform

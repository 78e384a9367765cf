// A dialog template as plain data: the one description of a dialog from which the
// Windows build makes an in-memory DLGTEMPLATEEX and the Linux build its in-memory
// controls. Rectangles are in dialog units; styles are the Windows API's values
// (platform/WindowStyles.h).
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// The predefined control classes, by the atoms that a template names them with.
enum class CControlClass : std::uint16_t {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ComboBox = 0x0085,
};

// The class name as GetClassNameA reports it ("Button", "ListBox", ...).
const char* GetControlClassName(CControlClass controlClass);

struct CDialogRect {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
};

struct CControlTemplate {
    int id = 0; // kIdStatic for controls that are never addressed
    CControlClass controlClass = CControlClass::Static;
    const char* text = "";   // never null
    std::uint32_t style = 0; // including kStyleChild and kStyleVisible
    CDialogRect rect;
};

struct CDialogTemplate {
    int resourceId = 0; // the dialog's number, for readers of the code and the record
    const char* title = "";
    std::uint32_t style = 0;
    CDialogRect rect;
    const char* fontName = "";
    std::int16_t fontPointSize = 0;
    std::span<const CControlTemplate> controls; // in template order, which is the tab order
};

} // namespace platform

#include "batchfile/CreateBatchFileTemplate.h"

#include "platform/WindowStyles.h"

#include <array>

namespace batchfile {
namespace {

using platform::CControlClass;
using platform::CControlTemplate;
using namespace platform; // the style constants

// Every control is a visible child; the rest is as a resource script's statement gives it.
constexpr std::uint32_t kChild = kStyleChild | kStyleVisible;
constexpr std::uint32_t kDefPushButton = kChild | kButtonDefaultPush | kStyleTabStop;
constexpr std::uint32_t kPushButton = kChild | kButtonPush | kStyleTabStop;
constexpr std::uint32_t kGroupBox = kChild | kButtonGroupBox;
constexpr std::uint32_t kLeftText = kChild | kStaticLeft | kStyleGroup;
constexpr std::uint32_t kRightText = kChild | kStaticRight | kStyleGroup;

constexpr const char* kIntroduction =
    "This dialog lets you create a command-line batch file for executing Acrobat batch "
    "sequences from the outside of Adobe Acrobat. Make sure Adobe Acrobat is closed before "
    "running a batch file.";

// In template order, which is also the tab order.
constexpr std::array<CControlTemplate, 15> kControls = {{
    {kIdClose, CControlClass::Button, "Close", kDefPushButton, {230, 230, 50, 14}},
    {kIdStatic, CControlClass::Button, "", kGroupBox, {7, 7, 273, 41}},
    {kIdStatic, CControlClass::Static, kIntroduction, kLeftText, {14, 18, 259, 28}},
    {kIdStatic, CControlClass::Button, "Select a batch sequence", kGroupBox, {7, 51, 273, 108}},
    {kIdStatic, CControlClass::Button, "Select final action", kGroupBox, {7, 162, 273, 64}},
    {kIdCreateBatchFile,
     CControlClass::Button,
     "Create Batch File...",
     kPushButton,
     {134, 230, 92, 14}},
    {kIdSequenceList,
     CControlClass::ListBox,
     "",
     kChild | kListSort | kListNotify | kListNoIntegralHeight | kStyleVScroll | kStyleBorder |
         kStyleTabStop,
     {14, 64, 202, 89}},
    {kIdHelp, CControlClass::Button, "Help...", kPushButton, {7, 230, 50, 14}},
    {kIdStatic,
     CControlClass::Static,
     "Choose what to do with input documents once there are processed:",
     kLeftText,
     {16, 174, 256, 12}},
    {kIdStatic, CControlClass::Static, "Select action:", kRightText, {19, 190, 59, 8}},
    {kIdActionCombo,
     CControlClass::ComboBox,
     "",
     kChild | kComboDropDownList | kStyleVScroll | kStyleTabStop,
     {83, 188, 133, 30}},
    {kIdStatic, CControlClass::Static, "Destination:", kRightText, {15, 207, 64, 8}},
    {kIdDestination,
     CControlClass::Edit,
     "",
     kChild | kEditReadOnly | kEditRight | kEditAutoHScroll | kStyleBorder | kStyleTabStop,
     {83, 204, 132, 14}},
    {kIdDestinationBrowse, CControlClass::Button, "Browse...", kPushButton, {223, 205, 50, 14}},
    {kIdSequenceBrowse, CControlClass::Button, "Browse...", kPushButton, {223, 64, 50, 14}},
}};

constexpr platform::CDialogTemplate kTemplate = {
    kCreateBatchFileTemplateId,
    "Create Command-Line Batch File (Quorvella Plug-in)",
    kStylePopup | kDialogModalFrame | kDialogSetFont | kStyleCaption | kStyleSysMenu,
    {0, 0, 287, 251},
    "MS Shell Dlg",
    8,
    kControls,
};

} // namespace

const platform::CDialogTemplate& GetCreateBatchFileTemplate() {
    return kTemplate;
}

} // namespace batchfile

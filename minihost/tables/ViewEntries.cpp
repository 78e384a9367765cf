// The "AcroView" table. Alerts and the version are served here; menus, notifications,
// commands, dialogs and conversions come with the issues that use them.
#include "host/ViewTable.h"
#include "minihost/tables/OfferedTables.h"
#include "minihost/tables/TableEntries.h"

#include <array>

namespace minihost::view {
namespace {

// Unattended, an alert is logged and never waits for anybody. It never fails: the
// plug-in shows host errors with it after their frame is gone.
void QV_HOSTCALL AlertNote(const char* text) {
    CaptureErrors(
        [&] { CHost::GetCurrent().GetLog().Write("alert", text != nullptr ? text : ""); });
}

void QV_HOSTCALL GetVersion(std::int16_t* major, std::int16_t* minor) {
    ServeVoid("AcroView.GetVersion", [&] {
        const CHostOptions& options = CHost::GetCurrent().GetOptions();
        if (major != nullptr) {
            *major = options.hostMajorVersion;
        }
        if (minor != nullptr) {
            *minor = options.hostMinorVersion;
        }
    });
}

QV_MINIHOST_NOT_PROVIDED(View, "AcroView", GetMenuBar)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuBarAcquireMenuByName)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuItemNew)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuItemSetExecuteProc)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuItemSetComputeEnabledProc)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuAddMenuItem)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuItemRelease)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", MenuRelease)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", NotificationRegister)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", CommandNew)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", CommandDestroy)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", CommandSetConfig)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", CommandSetParams)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", CommandSetInputs)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", CommandExecute)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", OpenFilesDialog)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", ChooseFolderDialog)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", EnumConversionFromPdfHandlers)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", ConvertFromPdf)
QV_MINIHOST_NOT_PROVIDED(View, "AcroView", GetDocProgressMonitor)

const std::array<HostFunction, static_cast<std::size_t>(ViewEntry::Count)> kEntries = {
    QV_VIEW_TABLE(QV_MINIHOST_ENTRY, View)};

} // namespace
} // namespace minihost::view

namespace minihost {

HostTable GetViewTable() {
    return view::kEntries.data();
}

} // namespace minihost

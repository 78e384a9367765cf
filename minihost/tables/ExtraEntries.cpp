// The "ASExtra" table. Containers and text objects come with the sequence files.
#include "host/ExtraTable.h"
#include "minihost/tables/OfferedTables.h"
#include "minihost/tables/TableEntries.h"

#include <array>

namespace minihost::extra {
namespace {

QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerNew)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerDestroy)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerReadFromStream)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerCount)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetType)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetInt)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetBool)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetAtom)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetString)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetText)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerGetContainer)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerPutString)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ContainerPutPointer)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", TextGetEncoded)
QV_MINIHOST_NOT_PROVIDED(Extra, "ASExtra", ScriptToHostEncoding)

const std::array<HostFunction, static_cast<std::size_t>(ExtraEntry::Count)> kEntries = {
    QV_EXTRA_TABLE(QV_MINIHOST_ENTRY, Extra)};

} // namespace
} // namespace minihost::extra

namespace minihost {

HostTable GetExtraTable() {
    return extra::kEntries.data();
}

} // namespace minihost

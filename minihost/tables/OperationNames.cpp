#include "minihost/tables/OperationNames.h"

#include "host/CoreTable.h"
#include "host/ExtraTable.h"
#include "host/ModelTable.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"

#include <initializer_list>

// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define QV_OPERATION_NAME(P, name, result, params, args) #name,

namespace minihost {
namespace {

void AddNames(std::vector<std::string>& names, const char* table,
              std::initializer_list<const char*> operations) {
    for (const char* operation : operations) {
        names.push_back(std::string(table) + "." + operation);
    }
}

} // namespace

std::vector<std::string> ListOperationNames() {
    std::vector<std::string> names;
    AddNames(names, "Core", {QV_CORE_TABLE(QV_OPERATION_NAME, Core)});
    AddNames(names, "AcroSupport", {QV_SUPPORT_TABLE(QV_OPERATION_NAME, Support)});
    AddNames(names, "ASExtra", {QV_EXTRA_TABLE(QV_OPERATION_NAME, Extra)});
    AddNames(names, "AcroView", {QV_VIEW_TABLE(QV_OPERATION_NAME, View)});
    AddNames(names, "PDModel", {QV_MODEL_TABLE(QV_OPERATION_NAME, Model)});
    return names;
}

} // namespace minihost

#include "minihost/tables/OperationNames.h"

#include "host/CoreTable.h"
#include "host/ExtraTable.h"
#include "host/ModelTable.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"

#include <initializer_list>

// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_OPERATION_NAME(P, name, selector, sdkName, result, params, args) #name,
#define QV_HOST_ENTRY_LINE(P, name, selector, sdkName, result, params, args)                       \
#sdkName "\t" #selector,
// NOLINTEND(cppcoreguidelines-macro-usage)

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

std::vector<std::string> ListHostEntries() {
    std::vector<std::string> lines;
    const auto add = [&lines](const char* table, std::initializer_list<const char*> entries) {
        for (const char* entry : entries) {
            lines.push_back(std::string(table) + "\t" + entry);
        }
    };
    add("Core", {QV_CORE_TABLE(QV_HOST_ENTRY_LINE, Core)});
    add("AcroSupport", {QV_SUPPORT_TABLE(QV_HOST_ENTRY_LINE, Support)});
    add("ASExtra", {QV_EXTRA_TABLE(QV_HOST_ENTRY_LINE, Extra)});
    add("AcroView", {QV_VIEW_TABLE(QV_HOST_ENTRY_LINE, View)});
    add("PDModel", {QV_MODEL_TABLE(QV_HOST_ENTRY_LINE, Model)});
    return lines;
}

} // namespace minihost

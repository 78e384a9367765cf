#include "minihost/tables/TableEntries.h"

#include <algorithm>
#include <string>

namespace minihost {
namespace {

void LogNotProvided(const std::string& text) {
    CaptureErrors([&] { CHost::GetCurrent().GetLog().Write("unavailable", text); });
}

// "entry 123 of AcroView": kept outside every C++ object, since the raise that names it
// skips every destructor.
std::array<char, 64> g_slotName{};

void NameSlot(CServedTable table, std::size_t selector) {
    CaptureErrors([&] {
        const std::string name = "entry " + std::to_string(selector) + " of " +
                                 kServedTableNames.at(static_cast<std::size_t>(table));
        const std::size_t length = std::min(name.size(), g_slotName.size() - 1);
        std::copy_n(name.begin(), length, g_slotName.begin());
        g_slotName.at(length) = '\0';
        LogNotProvided(name + " is not served");
    });
}

} // namespace

void RaiseNotProvided(const char* operation) {
    LogNotProvided(std::string(operation) + " is not provided by this host");
    RaiseHostError(kErrNotProvided, operation);
}

void RaiseUnservedSlot(CServedTable table, std::size_t selector) {
    NameSlot(table, selector);
    RaiseHostError(kErrNotProvided, g_slotName.data());
}

bool IsDirtyingUpperHalves() {
    return CHost::GetCurrent().GetOptions().dirtyUpperHalves;
}

} // namespace minihost

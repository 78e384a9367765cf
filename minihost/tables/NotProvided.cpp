#include "minihost/tables/TableEntries.h"

namespace minihost {
namespace {

void LogNotProvided(const char* operation) {
    CaptureErrors([&] {
        CHost::GetCurrent().GetLog().Write("unavailable", std::string(operation) +
                                                              " is not provided by this host");
    });
}

} // namespace

void RaiseNotProvided(const char* operation) {
    LogNotProvided(operation);
    RaiseHostError(kErrNotProvided, operation);
}

} // namespace minihost

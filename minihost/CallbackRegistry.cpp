#include "minihost/CallbackRegistry.h"

namespace minihost {

HostCallback CCallbackRegistry::Create(HostExtensionId owner, HostProc proc) {
    m_records.push_back(CRecord{owner, proc});
    // The record is the reference; the plug-in only passes it back.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return reinterpret_cast<HostCallback>(&m_records.back());
}

const CCallbackRegistry::CRecord* CCallbackRegistry::FindRecord(HostCallback callback) const {
    for (const CRecord& record : m_records) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        if (reinterpret_cast<HostCallback>(const_cast<CRecord*>(&record)) == callback) {
            return &record;
        }
    }
    return nullptr;
}

HostProc CCallbackRegistry::Find(HostCallback callback) const {
    const CRecord* record = FindRecord(callback);
    return record != nullptr ? record->proc : nullptr;
}

HostExtensionId CCallbackRegistry::OwnerOf(HostCallback callback) const {
    const CRecord* record = FindRecord(callback);
    return record != nullptr ? record->owner : 0;
}

} // namespace minihost

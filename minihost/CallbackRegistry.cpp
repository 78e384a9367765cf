#include "minihost/CallbackRegistry.h"

namespace minihost {

HostCallback CCallbackRegistry::Create(HostExtensionId owner, HostProc proc) {
    m_records.push_back(CRecord{owner, proc});
    // The record is the reference; the plug-in only passes it back.
    return reinterpret_cast<HostCallback>(&m_records.back());
}

const CCallbackRegistry::CRecord* CCallbackRegistry::FindRecord(HostCallback callback) const {
    for (const CRecord& record : m_records) {
        if (static_cast<const void*>(&record) == static_cast<const void*>(callback)) {
            return &record;
        }
    }
    return nullptr;
}

HostProc CCallbackRegistry::Find(HostCallback callback) const {
    const CRecord* record = FindRecord(callback);
    return record != nullptr ? record->proc : nullptr;
}

HostExtensionId CCallbackRegistry::FindOwner(HostCallback callback) const {
    const CRecord* record = FindRecord(callback);
    return record != nullptr ? record->owner : 0;
}

} // namespace minihost

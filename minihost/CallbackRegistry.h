// Callback references. A reference is the address of a record that the host keeps for
// the rest of its run, so that it can check each reference it is handed before calling.
#pragma once

#include "host/CoreTable.h"
#include "host/HostTypes.h"

#include <deque>

namespace minihost {

class CCallbackRegistry {
public:
    HostCallback Create(HostExtensionId owner, HostProc proc);

    // The function behind `callback`, or null when the host never made that reference.
    [[nodiscard]] HostProc Find(HostCallback callback) const;

    // The owner of `callback`; 0 when the host never made that reference.
    [[nodiscard]] HostExtensionId FindOwner(HostCallback callback) const;

    // `callback` as a function of type Proc, or null when it is not a reference.
    template <class Proc>
    [[nodiscard]] Proc FindAs(HostCallback callback) const {
        return reinterpret_cast<Proc>(Find(callback));
    }

private:
    struct CRecord {
        HostExtensionId owner;
        HostProc proc;
    };
    [[nodiscard]] const CRecord* FindRecord(HostCallback callback) const;

    std::deque<CRecord> m_records; // a deque keeps the records' addresses stable
};

} // namespace minihost

#include "runner/SequenceNode.h"

#include "host/CoreTable.h"
#include "host/ExtraTable.h"

void CSequenceNode::Release() {
    if (m_handle != nullptr && !m_borrowed) {
        ExtraContainerDestroy(m_handle);
        m_handle = nullptr;
    }
}

bool CSequenceNode::GetNode(const char* key, CSequenceNode& child) const {
    if (m_handle == nullptr) {
        return false;
    }
    child.Release();
    child.m_handle = ExtraContainerGetContainer(m_handle, key);
    return child.m_handle != nullptr;
}

bool CSequenceNode::GetInt(const char* key, std::int32_t& value, std::int32_t defaultValue) const {
    if (m_handle == nullptr) {
        return false;
    }
    value = ExtraContainerGetInt(m_handle, key, defaultValue);
    return true;
}

bool CSequenceNode::GetBool(const char* key, bool defaultValue) const {
    if (m_handle == nullptr) {
        return false;
    }
    return ExtraContainerGetBool(m_handle, key, defaultValue ? kHostTrue : kHostFalse) !=
           kHostFalse;
}

std::int32_t CSequenceNode::GetCount() const {
    return m_handle != nullptr ? ExtraContainerCount(m_handle) : 0;
}

HostAtom CSequenceNode::GetAtom(const char* key, const char* defaultText) const {
    const HostAtom defaultAtom = CoreAtomFromString(defaultText);
    return m_handle != nullptr ? ExtraContainerGetAtom(m_handle, key, defaultAtom) : defaultAtom;
}

bool CSequenceNode::GetString(const char* key, std::string& text) const {
    if (m_handle == nullptr) {
        return false;
    }
    const HostValueType type = ExtraContainerGetType(m_handle, key);
    text.clear();
    if (type == kValueString) {
        const char* bytes = ExtraContainerGetString(m_handle, key);
        if (bytes != nullptr) {
            text.assign(bytes);
        }
        return true;
    }
    if (type == kValueText) {
        HostText value = ExtraContainerGetText(m_handle, key);
        if (value == nullptr) {
            return false;
        }
        const char* content = ExtraTextGetEncoded(value, ExtraScriptToHostEncoding(kScriptRoman));
        if (content != nullptr) {
            text.assign(content);
        }
        return true;
    }
    return false;
}

// One node of a batch sequence: a host key/value container and whether this node owns
// it. Every read of a sequence goes through these operations; the container services
// behind them belong to the host ("ASExtra").
#pragma once

#include "host/HostTypes.h"

#include <cstdint>
#include <string>

// Trivially destructible on purpose: a node may live inside a host error frame. Its
// owner calls Release when the node goes out of use, sub-nodes before their parent.
class CSequenceNode {
public:
    // An empty node. A borrowed node never destroys its container: sub-containers
    // belong to their parents.
    explicit CSequenceNode(bool borrowed)
        : m_borrowed(borrowed) {}

    // Fills this node from a batch sequence file (a platform path text). True when the
    // file could be opened and read as a stream; the node then holds what was read,
    // which may be no container at all. Shows an alert with the host's text when the
    // file cannot be opened or the host raises an error; nothing stays acquired. When it
    // fails, `failure` (when given) says why: the alert's text, or that no stream was had.
    bool LoadFromFile(const char* path, std::string* failure = nullptr);

    // Makes this owning node hold `container`, a container of the plug-in's own, which the
    // node destroys when released.
    void Adopt(HostContainer container) {
        Release();
        m_handle = container;
    }

    // Destroys the container when this node owns one; a borrowed node is left alone.
    void Release();

    // Makes `child` hold the container under `key` (none when the key is absent or holds
    // no container), destroying what an owning child held first. True when `child` now
    // holds a container.
    bool GetNode(const char* key, CSequenceNode& child) const;

    // The integer under `key`, or `defaultValue` when the key is absent. False, with
    // `value` untouched, when this node holds no container.
    bool GetInt(const char* key, std::int32_t& value, std::int32_t defaultValue) const;

    // The boolean under `key` (any nonzero host value is true), or `defaultValue` when
    // the key is absent; false when this node holds no container.
    [[nodiscard]] bool GetBool(const char* key, bool defaultValue) const;

    // The container's number of entries; 0 when this node holds none.
    [[nodiscard]] std::int32_t GetCount() const;

    // The atom under `key`, or the atom of `defaultText` when the key is absent or this
    // node holds no container.
    [[nodiscard]] HostAtom GetAtom(const char* key, const char* defaultText) const;

    // The string or text value under `key`, as 8-bit text. False for any other type or
    // an absent key (`text` is then empty), and when this node holds no container
    // (`text` is then untouched).
    bool GetString(const char* key, std::string& text) const;

    [[nodiscard]] bool IsBorrowed() const { return m_borrowed; }
    // The container, or null; it stays the node's (or its parent's).
    [[nodiscard]] HostContainer GetHandle() const { return m_handle; }

private:
    bool m_borrowed;
    HostContainer m_handle = nullptr;
};

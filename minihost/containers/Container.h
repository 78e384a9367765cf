// minihost's key/value container: what the "ASExtra" table hands out, what a sequence
// file holds, and what commands are configured with. A pure data structure with no
// host behind it, so that it can be parsed, printed and fuzzed alone.
#pragma once

#include "host/ExtraTable.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace minihost {

class CContainer;

// A name interned by the host. Kept as its text, so that a container means the same in
// any host; the atom is made when the plug-in reads it.
struct CAtomValue {
    std::string name;
    bool operator==(const CAtomValue&) const = default;
};

// A text object: content in the system code page, given out in any host encoding. A text
// made from Unicode keeps its UTF-8 as well; its content is then its form in the system
// code page, none when a character of it has no form there, so that no look-alike is
// ever handed out.
struct CTextValue {
    std::optional<std::string> content;
    std::optional<std::string> unicode = std::nullopt; // UTF-8
    bool operator==(const CTextValue&) const = default;
};

// The null value, which an XML action may put as a placeholder.
struct CNullValue {
    bool operator==(const CNullValue&) const = default;
};

// An opaque pointer with a type name. `destroy` (may be null) runs when the container
// lets go of it.
struct CPointerValue {
    void* value = nullptr;
    std::string typeName;
    HostPointerDestroyProc destroy = nullptr;
    bool operator==(const CPointerValue&) const = default;
};

// The value types a container holds. Pointers, doubles and nulls never come from a
// sequence file.
using CValue = std::variant<std::int32_t, bool, CAtomValue, std::string, CTextValue,
                            std::unique_ptr<CContainer>, CPointerValue, double, CNullValue>;

// The host's type code of `value` (kValueBoolean ... kValueNull).
HostValueType GetValueType(const CValue& value);

// A destroy callback that a container owes a pointer value.
struct CPointerRelease {
    HostPointerDestroyProc destroy = nullptr;
    void* value = nullptr;
};

// The destroy callbacks that letting go of `value` would run: its own, or those of
// every pointer inside it at any depth.
std::vector<CPointerRelease> ListPointerReleases(const CValue& value);
// Clears those callbacks, so that letting go of `value` runs none: for a caller that
// runs them itself (the host runs plug-in code only inside an error frame).
void ForgetPointerReleases(CValue& value) noexcept;

// Told of every sub-container and text object that comes into or leaves a tree of
// containers it watches, so that it can tell a live handle from a stale one without
// walking the trees. Its calls never throw but Add's, which may run out of memory.
class CContainerWatcher {
public:
    CContainerWatcher() = default;
    CContainerWatcher(const CContainerWatcher&) = delete;
    CContainerWatcher& operator=(const CContainerWatcher&) = delete;
    virtual ~CContainerWatcher() = default;

    virtual void AddContainer(const CContainer* container) = 0;
    virtual void AddText(const CTextValue* text) = 0;
    virtual void Remove(const void* object) noexcept = 0;
};

// Keys in the order they were first put, so that a printed container reads as written.
// Values never move while their container lives (each entry is a list node of its own),
// so the host can hand out their addresses: string contents, text objects, sub-containers.
// A key is found through an index once the container holds more than a few, so that a
// lookup or a put takes the same time in a container of a million keys.
class CContainer {
public:
    using CEntries = std::list<std::pair<std::string, CValue>>;

    CContainer() = default;
    CContainer(const CContainer&) = delete;
    CContainer& operator=(const CContainer&) = delete;
    CContainer(CContainer&&) = default;
    CContainer& operator=(CContainer&&) = default;
    // Runs the destroy callback of every pointer value, sub-containers' included.
    ~CContainer();

    [[nodiscard]] std::size_t GetCount() const { return m_entries.size(); }
    [[nodiscard]] const CEntries& GetEntries() const { return m_entries; }

    // The value under `key`, or null when the key is absent.
    [[nodiscard]] const CValue* Find(std::string_view key) const;
    CValue* Find(std::string_view key);

    // Typed reads: empty when the key is absent or holds another type.
    [[nodiscard]] std::optional<std::int32_t> GetInt(std::string_view key) const;
    [[nodiscard]] std::optional<bool> GetBool(std::string_view key) const;
    [[nodiscard]] std::optional<std::string> GetAtomName(std::string_view key) const;
    // A string or a text value's content.
    [[nodiscard]] std::optional<std::string> GetStringOrText(std::string_view key) const;
    // The sub-container under `key`; it stays this container's.
    [[nodiscard]] const CContainer* GetContainer(std::string_view key) const;
    CContainer* GetContainer(std::string_view key);

    // Puts `value` under `key`, replacing (and letting go of) what was there; a new
    // key goes last. When it throws (out of memory), the container is as it was and
    // `value` is still the caller's: a sub-container handed out must not die with a put.
    void Put(std::string_view key, CValue&& value);

    // Whether `other` is a container inside this one, at any depth.
    [[nodiscard]] bool Contains(const CContainer* other) const;

    // Has `watcher` told of every sub-container and text object inside, at any depth, now
    // and as they come and go; the watcher it had is told that they go. Null stops
    // telling. The container itself is not told of.
    void Watch(CContainerWatcher* watcher);

    // A deep copy. Pointer values are copied without their destroy callback: only the
    // container they were put into lets go of them.
    [[nodiscard]] std::unique_ptr<CContainer> Clone() const;

    // Same keys in the same order with equal values (pointer values by address).
    [[nodiscard]] bool IsEqual(const CContainer& other) const;

    // The destroy callbacks of every pointer value inside, at any depth.
    [[nodiscard]] std::vector<CPointerRelease> ListPointerReleases() const;
    void ForgetPointerReleases() noexcept;

private:
    void AdoptContainer(CValue& value);
    void AdoptText(const CValue& value);
    void Disown(const CValue& value) noexcept;

    CEntries m_entries;
    // Key to entry, made once the container holds more keys than a walk takes in time.
    std::unique_ptr<std::unordered_map<std::string_view, CValue*>> m_index;
    CContainerWatcher* m_watcher = nullptr;
};

} // namespace minihost

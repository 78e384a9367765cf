// The objects of one kind that the host has handed out, found by their handles. A
// handle is the object's address, so a handle that is not in the table (never handed
// out, or already released) is recognised before anything is read through it.
#pragma once

#include <functional>
#include <map>
#include <memory>

namespace minihost {

template <class Object>
class CHandleTable {
public:
    // Takes `object` over; its address is its handle.
    Object* Add(std::unique_ptr<Object> object) {
        Object* handle = object.get();
        m_objects.emplace(handle, std::move(object));
        return handle;
    }

    // The object of `handle`, or null when the table has none.
    [[nodiscard]] Object* Find(const void* handle) const {
        const auto found = m_objects.find(handle);
        return found == m_objects.end() ? nullptr : found->second.get();
    }

    // Takes the object of `handle` out of the table; null when the table has none.
    std::unique_ptr<Object> Remove(const void* handle) {
        const auto found = m_objects.find(handle);
        if (found == m_objects.end()) {
            return nullptr;
        }
        std::unique_ptr<Object> object = std::move(found->second);
        m_objects.erase(found);
        return object;
    }

    [[nodiscard]] std::size_t GetCount() const { return m_objects.size(); }

private:
    std::map<const void*, std::unique_ptr<Object>, std::less<>> m_objects;
};

} // namespace minihost

#include "minihost/containers/Container.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace minihost {
namespace {

void LetGo(CValue& value) {
    if (auto* pointer = std::get_if<CPointerValue>(&value);
        pointer != nullptr && pointer->destroy != nullptr) {
        const HostPointerDestroyProc destroy = std::exchange(pointer->destroy, nullptr);
        destroy(pointer->value);
    }
}

CValue CloneValue(const CValue& value) {
    if (const auto* child = std::get_if<std::unique_ptr<CContainer>>(&value)) {
        return (*child)->Clone();
    }
    if (const auto* pointer = std::get_if<CPointerValue>(&value)) {
        return CPointerValue{pointer->value, pointer->typeName, nullptr};
    }
    return std::visit(
        [](const auto& held) -> CValue {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::unique_ptr<CContainer>> ||
                          std::is_same_v<Held, CPointerValue>) {
                return {}; // handled above
            } else {
                return held;
            }
        },
        value);
}

void AddPointerReleases(const CValue& value, std::vector<CPointerRelease>& releases) {
    if (const auto* pointer = std::get_if<CPointerValue>(&value)) {
        if (pointer->destroy != nullptr) {
            releases.push_back({pointer->destroy, pointer->value});
        }
    } else if (const auto* child = std::get_if<std::unique_ptr<CContainer>>(&value);
               child != nullptr && *child != nullptr) {
        for (const auto& [key, inner] : (*child)->GetEntries()) {
            AddPointerReleases(inner, releases);
        }
    }
}

bool AreEqual(const CValue& a, const CValue& b) {
    if (a.index() != b.index()) {
        return false;
    }
    if (const auto* child = std::get_if<std::unique_ptr<CContainer>>(&a)) {
        return (*child)->IsEqual(*std::get<std::unique_ptr<CContainer>>(b));
    }
    if (const auto* number = std::get_if<double>(&a)) {
        // A NaN equals itself here, so that a copy equals its original.
        const double other = std::get<double>(b);
        return *number == other || (std::isnan(*number) && std::isnan(other));
    }
    return a == b;
}

} // namespace

HostValueType GetValueType(const CValue& value) {
    // In the order of CValue's alternatives.
    static constexpr std::array<HostValueType, std::variant_size_v<CValue>> kCodes = {
        kValueInteger,   kValueBoolean, kValueAtom,   kValueString, kValueText,
        kValueContainer, kValuePointer, kValueDouble, kValueNull};
    return kCodes.at(value.index());
}

std::vector<CPointerRelease> ListPointerReleases(const CValue& value) {
    std::vector<CPointerRelease> releases;
    AddPointerReleases(value, releases);
    return releases;
}

void ForgetPointerReleases(CValue& value) noexcept {
    if (auto* pointer = std::get_if<CPointerValue>(&value)) {
        pointer->destroy = nullptr;
    } else if (auto* child = std::get_if<std::unique_ptr<CContainer>>(&value);
               child != nullptr && *child != nullptr) {
        (*child)->ForgetPointerReleases();
    }
}

CContainer::~CContainer() {
    for (auto& [key, value] : m_entries) {
        Disown(value);
        LetGo(value);
    }
}

const CValue* CContainer::Find(std::string_view key) const {
    if (m_index != nullptr) {
        const auto found = m_index->find(key);
        return found != m_index->end() ? found->second : nullptr;
    }
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [key](const auto& entry) { return entry.first == key; });
    return found != m_entries.end() ? &found->second : nullptr;
}

CValue* CContainer::Find(std::string_view key) {
    return const_cast<CValue*>(std::as_const(*this).Find(key)); // NOLINT: the same lookup
}

std::optional<std::int32_t> CContainer::GetInt(std::string_view key) const {
    const CValue* value = Find(key);
    const auto* held = value != nullptr ? std::get_if<std::int32_t>(value) : nullptr;
    return held != nullptr ? std::optional(*held) : std::nullopt;
}

std::optional<bool> CContainer::GetBool(std::string_view key) const {
    const CValue* value = Find(key);
    const auto* held = value != nullptr ? std::get_if<bool>(value) : nullptr;
    return held != nullptr ? std::optional(*held) : std::nullopt;
}

std::optional<std::string> CContainer::GetAtomName(std::string_view key) const {
    const CValue* value = Find(key);
    const auto* held = value != nullptr ? std::get_if<CAtomValue>(value) : nullptr;
    return held != nullptr ? std::optional(held->name) : std::nullopt;
}

std::optional<std::string> CContainer::GetStringOrText(std::string_view key) const {
    const CValue* value = Find(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (const auto* text = std::get_if<std::string>(value)) {
        return *text;
    }
    if (const auto* text = std::get_if<CTextValue>(value)) {
        return text->content; // none for a text that the code page cannot write
    }
    return std::nullopt;
}

const CContainer* CContainer::GetContainer(std::string_view key) const {
    const CValue* value = Find(key);
    const auto* held = value != nullptr ? std::get_if<std::unique_ptr<CContainer>>(value) : nullptr;
    return held != nullptr ? held->get() : nullptr;
}

CContainer* CContainer::GetContainer(std::string_view key) {
    CValue* value = Find(key);
    auto* held = value != nullptr ? std::get_if<std::unique_ptr<CContainer>>(value) : nullptr;
    return held != nullptr ? held->get() : nullptr;
}

bool CContainer::Contains(const CContainer* other) const {
    return std::any_of(m_entries.begin(), m_entries.end(), [other](const auto& entry) {
        const auto* child = std::get_if<std::unique_ptr<CContainer>>(&entry.second);
        return child != nullptr && *child != nullptr &&
               (child->get() == other || (*child)->Contains(other));
    });
}

void CContainer::Put(std::string_view key, CValue&& value) {
    // Past this many keys a walk costs more than the index does.
    constexpr std::size_t kIndexFrom = 8;
    if (CValue* existing = Find(key)) {
        AdoptContainer(value); // may throw: nothing has changed yet
        Disown(*existing);
        LetGo(*existing);
        *existing = std::move(value);
        AdoptText(*existing); // at its place in the entry, which does not move
        return;
    }
    auto& entry = m_entries.emplace_back(std::string(key), std::move(value));
    try {
        if (m_index != nullptr) {
            m_index->emplace(entry.first, &entry.second);
        } else if (m_entries.size() > kIndexFrom) {
            auto index = std::make_unique<std::unordered_map<std::string_view, CValue*>>();
            index->reserve(m_entries.size() * 2);
            for (auto& [name, held] : m_entries) {
                index->emplace(name, &held);
            }
            m_index = std::move(index);
        }
        AdoptContainer(entry.second);
        AdoptText(entry.second);
    } catch (...) {
        if (m_index != nullptr) {
            m_index->erase(entry.first);
        }
        Disown(entry.second);
        value = std::move(entry.second);
        m_entries.pop_back();
        throw;
    }
}

void CContainer::Watch(CContainerWatcher* watcher) {
    if (m_watcher != nullptr && m_watcher != watcher) {
        for (const auto& [key, value] : m_entries) {
            Disown(value); // the watcher that stops watching forgets what it was told of
        }
    }
    m_watcher = watcher;
    for (auto& [key, value] : m_entries) {
        AdoptContainer(value);
        AdoptText(value);
    }
}

// Tells the watcher of a sub-container `value`, which it then watches too; a container
// no longer watched has its sub-containers stop telling.
void CContainer::AdoptContainer(CValue& value) {
    auto* child = std::get_if<std::unique_ptr<CContainer>>(&value);
    if (child == nullptr || *child == nullptr) {
        return;
    }
    if (m_watcher != nullptr) {
        m_watcher->AddContainer(child->get());
        try {
            (*child)->Watch(m_watcher);
        } catch (...) {
            // Told of nothing after all, as it was.
            (*child)->Watch(nullptr);
            m_watcher->Remove(child->get());
            throw;
        }
    } else if ((*child)->m_watcher != nullptr) {
        (*child)->Watch(nullptr);
    }
}

// Tells the watcher of a text object `value`, at the place where it stays.
void CContainer::AdoptText(const CValue& value) {
    if (const auto* text = std::get_if<CTextValue>(&value);
        text != nullptr && m_watcher != nullptr) {
        m_watcher->AddText(text);
    }
}

// Tells the watcher that `value` goes: a sub-container tells of its own values as it
// goes itself.
void CContainer::Disown(const CValue& value) noexcept {
    if (m_watcher == nullptr) {
        return;
    }
    if (const auto* child = std::get_if<std::unique_ptr<CContainer>>(&value);
        child != nullptr && *child != nullptr) {
        m_watcher->Remove(child->get());
    } else if (const auto* text = std::get_if<CTextValue>(&value)) {
        m_watcher->Remove(text);
    }
}

std::unique_ptr<CContainer> CContainer::Clone() const {
    auto copy = std::make_unique<CContainer>();
    for (const auto& [key, value] : m_entries) {
        copy->m_entries.emplace_back(key, CloneValue(value));
    }
    return copy;
}

bool CContainer::IsEqual(const CContainer& other) const {
    return std::equal(m_entries.begin(), m_entries.end(), other.m_entries.begin(),
                      other.m_entries.end(), [](const auto& a, const auto& b) {
                          return a.first == b.first && AreEqual(a.second, b.second);
                      });
}

std::vector<CPointerRelease> CContainer::ListPointerReleases() const {
    std::vector<CPointerRelease> releases;
    for (const auto& [key, value] : m_entries) {
        AddPointerReleases(value, releases);
    }
    return releases;
}

void CContainer::ForgetPointerReleases() noexcept {
    for (auto& [key, value] : m_entries) {
        minihost::ForgetPointerReleases(value);
    }
}

} // namespace minihost

#include "minihost/containers/Container.h"

#include <algorithm>

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
    return a == b;
}

} // namespace

HostValueType GetValueType(const CValue& value) {
    return static_cast<HostValueType>(kValueInteger + static_cast<HostValueType>(value.index()));
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
        LetGo(value);
    }
}

const CValue* CContainer::Find(std::string_view key) const {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [key](const auto& entry) { return entry.first == key; });
    return found != m_entries.end() ? &found->second : nullptr;
}

CValue* CContainer::Find(std::string_view key) {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [key](const auto& entry) { return entry.first == key; });
    return found != m_entries.end() ? &found->second : nullptr;
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
        return text->content;
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

void CContainer::Put(std::string_view key, CValue value) {
    if (CValue* existing = Find(key)) {
        LetGo(*existing);
        *existing = std::move(value);
        return;
    }
    m_entries.emplace_back(std::string(key), std::move(value));
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

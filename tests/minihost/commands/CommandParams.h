// Params containers written as tables in tests: each entry a key and an integer,
// boolean, string or text value.
#pragma once

#include "minihost/containers/Container.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace testing_support {

struct CParam {
    std::string key;
    std::variant<std::int32_t, bool, std::string, minihost::CTextValue> value;
};

inline std::unique_ptr<minihost::CContainer> MakeParams(const std::vector<CParam>& params) {
    auto container = std::make_unique<minihost::CContainer>();
    for (const auto& [key, value] : params) {
        std::visit([&, &key = key](const auto& held) { container->Put(key, held); }, value);
    }
    return container;
}

} // namespace testing_support

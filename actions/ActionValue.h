// A value of an action's items, as the host's containers hold it: what an XML action
// writes as <Item name="..." type="..." value="..."/>, and <Items name="..."> for a
// sub-container. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace actions {

struct CActionMember;

struct CActionValue {
    enum class CType {
        Null,    // no value
        Boolean, // `boolean`
        Integer, // a 32-bit signed number, as the host keeps it
        Double,
        Text,   // Unicode text: the host's text object
        String, // bytes
        Atom,   // a name that the host interns
        Items,  // a sub-container: `members`, in the order written
    };

    CType type = CType::Null;
    bool boolean = false;
    std::int32_t integer = 0;
    double number = 0.0;
    std::string text; // Text, String and Atom
    std::vector<CActionMember> members;
};

// A named value of a sub-container.
struct CActionMember {
    std::string name;
    CActionValue value;
};

} // namespace actions

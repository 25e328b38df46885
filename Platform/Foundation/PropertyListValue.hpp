// A value read from a bundle's information dictionary.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace Foundation {

// Information dictionaries hold texts, numbers and booleans; anything else
// (lists, nested dictionaries) is kept as `OtherPropertyListValue` so a
// caller can tell "present but not a text" from "absent".
struct OtherPropertyListValue {
    friend bool operator==(OtherPropertyListValue, OtherPropertyListValue) = default;
};

using PropertyListValue = std::variant<std::string, std::int64_t, double, bool, OtherPropertyListValue>;

}

// Closed enumerations whose cases carry a text raw value: their JSON form,
// their name in dumps and on command lines. Each enumeration lists its raw
// values, in case order, in a specialization of RawValues; every text of
// an enumeration comes from that one table.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace Foundation {

template <typename Enumeration>
struct RawValues;

// The raw value of `value`. A value outside the enumeration's cases (made
// by a cast) is a programming error, reported rather than read past the
// table.
template <typename Enumeration>
constexpr std::string_view rawValue(Enumeration value)
{
    auto const& texts = RawValues<Enumeration>::texts;
    auto const index = static_cast<std::underlying_type_t<Enumeration>>(value);
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size())
        throw std::out_of_range("no raw value for case " + std::to_string(index));
    return texts[static_cast<std::size_t>(index)];
}

// The case whose raw value is exactly `text` (case-sensitive), or nothing.
template <typename Enumeration>
constexpr std::optional<Enumeration> fromRawValue(std::string_view text)
{
    auto const& texts = RawValues<Enumeration>::texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == text)
            return static_cast<Enumeration>(i);
    }
    return std::nullopt;
}

// Every case in declaration order.
template <typename Enumeration>
constexpr auto allCases()
{
    std::array<Enumeration, RawValues<Enumeration>::texts.size()> cases {};
    for (std::size_t i = 0; i < cases.size(); ++i)
        cases[i] = static_cast<Enumeration>(i);
    return cases;
}

}

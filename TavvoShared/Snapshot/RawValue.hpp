// Closed enumerations whose cases carry a text raw value, which is also
// their JSON form. Each enumeration lists its raw values, in case order, in
// a specialization of RawValues.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

template <typename Enumeration>
struct RawValues;

template <typename Enumeration>
constexpr std::string_view rawValue(Enumeration value)
{
    return RawValues<Enumeration>::texts[static_cast<std::size_t>(value)];
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

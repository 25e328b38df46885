// Combining the hashes of a record's fields into one.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace Foundation {

template <typename T>
void hashCombine(std::size_t& seed, const T& value)
{
    seed ^= std::hash<T>()(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

// An absent value hashes differently from every present one's prefix.
template <typename T>
void hashCombine(std::size_t& seed, const std::optional<T>& value)
{
    hashCombine(seed, value.has_value());
    if (value)
        hashCombine(seed, *value);
}

template <typename T>
void hashCombine(std::size_t& seed, const std::vector<T>& values)
{
    hashCombine(seed, values.size());
    for (auto const& value : values)
        hashCombine(seed, value);
}

}

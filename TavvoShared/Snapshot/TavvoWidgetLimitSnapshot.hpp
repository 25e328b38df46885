// TavvoWidgetLimitSnapshot: one usage limit of one provider, such as its
// five-hour or its weekly window.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/HashCombine.hpp"

#include <cstdint>
#include <optional>
#include <string>

struct TavvoWidgetLimitSnapshot {
    std::string id; // stable within its provider, e.g. "claude.five_hour"
    std::string title;
    std::optional<std::int64_t> remainingPercent; // absent: the writer does not know it
    std::optional<Foundation::Date> resetDate;

    friend bool operator==(const TavvoWidgetLimitSnapshot&, const TavvoWidgetLimitSnapshot&) = default;
};

template <>
struct std::hash<TavvoWidgetLimitSnapshot> {
    std::size_t operator()(const TavvoWidgetLimitSnapshot& limit) const noexcept
    {
        std::size_t seed = 0;
        Foundation::hashCombine(seed, limit.id);
        Foundation::hashCombine(seed, limit.title);
        Foundation::hashCombine(seed, limit.remainingPercent);
        Foundation::hashCombine(seed, limit.resetDate);
        return seed;
    }
};

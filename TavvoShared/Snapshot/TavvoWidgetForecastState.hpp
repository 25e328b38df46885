// TavvoWidgetForecastState: the outcome of the analytics forecast.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

enum class TavvoWidgetForecastState { collecting, exhaustsBeforeReset, lastsUntilReset, stale };

template <>
struct Foundation::RawValues<TavvoWidgetForecastState> {
    static constexpr std::array<std::string_view, 4> texts { "collecting", "exhaustsBeforeReset", "lastsUntilReset", "stale" };
};

// TavvoWidgetForecastState: the outcome of the analytics forecast.
#pragma once

#include "TavvoShared/Snapshot/RawValue.hpp"

enum class TavvoWidgetForecastState { collecting, exhaustsBeforeReset, lastsUntilReset, stale };

template <>
struct RawValues<TavvoWidgetForecastState> {
    static constexpr std::array<std::string_view, 4> texts { "collecting", "exhaustsBeforeReset", "lastsUntilReset", "stale" };
};

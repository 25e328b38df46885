// TavvoWidgetProviderStatus: the overall state of a provider's data.
#pragma once

#include "TavvoShared/Snapshot/RawValue.hpp"

enum class TavvoWidgetProviderStatus { available, unavailable, noData, error };

template <>
struct RawValues<TavvoWidgetProviderStatus> {
    static constexpr std::array<std::string_view, 4> texts { "available", "unavailable", "noData", "error" };
};

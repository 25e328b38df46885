// TavvoWidgetProviderStatus: the overall state of a provider's data.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

enum class TavvoWidgetProviderStatus { available, unavailable, noData, error };

template <>
struct Foundation::RawValues<TavvoWidgetProviderStatus> {
    static constexpr std::array<std::string_view, 4> texts { "available", "unavailable", "noData", "error" };
};

// TavvoWidgetProviderID: which outside service a provider record describes.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

enum class TavvoWidgetProviderID { codex, claude };

template <>
struct Foundation::RawValues<TavvoWidgetProviderID> {
    static constexpr std::array<std::string_view, 2> texts { "codex", "claude" };
};

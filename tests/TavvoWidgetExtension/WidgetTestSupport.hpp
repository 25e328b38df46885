// Records and dumps the widget's view tests share: short builders for
// limits and providers, and a view laid out at a pinned size as text,
// accessibility labels and the JSON tree.
#pragma once

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace WidgetTest {

using namespace std::chrono_literals;

// 2026-03-14 09:26:53 UTC, a moment with no special meaning; tests that
// show times pin the zone to UTC.
inline Foundation::Date const now = Foundation::Date(std::chrono::seconds(1773480413));

inline TavvoWidgetLimitSnapshot limit(std::string id, std::optional<std::int64_t> remainingPercent,
    std::optional<Foundation::Date> resetDate = std::nullopt, std::string title = "")
{
    if (title.empty())
        title = id + " title";
    return { std::move(id), std::move(title), remainingPercent, resetDate };
}

// A provider observed a minute before `now`, fresh for another ten
// minutes, unless the caller says otherwise.
inline TavvoWidgetProviderSnapshot provider(TavvoWidgetProviderID id, std::vector<TavvoWidgetLimitSnapshot> limits,
    TavvoWidgetProviderStatus status = TavvoWidgetProviderStatus::available)
{
    return {
        .id = id,
        .title = id == TavvoWidgetProviderID::codex ? "Codex plan" : "Claude plan",
        .subtitle = std::nullopt,
        .status = status,
        .limits = std::move(limits),
        .observedAt = now - 1min,
        .freshUntil = now + 10min,
        .note = std::nullopt,
    };
}

// The same provider, no longer fresh at `now`.
inline TavvoWidgetProviderSnapshot staled(TavvoWidgetProviderSnapshot provider)
{
    provider.observedAt = now - 2h;
    provider.freshUntil = now - 1h;
    return provider;
}

struct Dumps {
    UI::LaidOutNode root;
    std::string text;
    std::string accessibility;
    std::string tree;
};

// `view` laid out in a box `width` × `height` points and dumped.
inline Dumps dumped(const UI::View& view, double width, double height = 400)
{
    auto root = UI::layout(view, { width, height });
    auto text = UI::textDump(root);
    auto accessibility = UI::accessibilityDump(root);
    auto tree = UI::treeDump(root);
    return { std::move(root), std::move(text), std::move(accessibility), std::move(tree) };
}

}

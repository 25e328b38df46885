// Records and dumps the widget's view tests share: short builders for
// limits and providers, and a view laid out at a pinned size as text,
// accessibility labels.
#pragma once

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "Platform/UI/UITestSupport.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <chrono>
#include <functional>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace WidgetTest {

using namespace std::chrono_literals;
using ID = TavvoWidgetProviderID;
using Status = TavvoWidgetProviderStatus;

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

// Limits the provider tests share: 42 % resetting in two hours (11:26
// UTC), 80 % with no reset time.
inline TavvoWidgetLimitSnapshot const fiveHours = limit("five", 42, now + 2h, "5h");
inline TavvoWidgetLimitSnapshot const weekly = limit("week", 80, std::nullopt, "Weekly");

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

// The same provider, observed at 07:26 and no longer fresh at `now`.
inline TavvoWidgetProviderSnapshot staled(TavvoWidgetProviderSnapshot provider)
{
    provider.observedAt = now - 2h;
    provider.freshUntil = now - 1h;
    return provider;
}

inline TavvoWidgetProviderSnapshot withNote(TavvoWidgetProviderSnapshot provider, std::optional<std::string> note)
{
    provider.note = std::move(note);
    return provider;
}

inline TavvoWidgetProviderSnapshot unobserved(TavvoWidgetProviderSnapshot provider)
{
    provider.observedAt = std::nullopt;
    return provider;
}

inline TavvoWidgetProviderSnapshot titled(TavvoWidgetProviderSnapshot provider, std::string title)
{
    provider.title = std::move(title);
    return provider;
}

struct Dumps {
    UI::LaidOutNode root;
    std::string text;
    std::string accessibility;
};

// `view` laid out in a box `width` × `height` points and dumped.
inline Dumps dumped(const UI::View& view, double width, double height = 400)
{
    auto root = UI::layout(view, { width, height });
    auto text = UI::textDump(root);
    auto accessibility = UI::accessibilityDump(root);
    return { std::move(root), std::move(text), std::move(accessibility) };
}

// A text as laid out, with the opacity it is drawn at (the product of the
// opacities around it).
struct ShownText {
    UI::LaidOutText text;
    UI::Rect frame;
    double opacity = 1;
};

// Every text of the tree, in tree order.
inline std::vector<ShownText> shownTexts(const UI::LaidOutNode& root)
{
    std::vector<ShownText> texts;
    std::function<void(const UI::LaidOutNode&, double)> visit = [&](const UI::LaidOutNode& node, double opacity) {
        opacity *= node.opacity;
        if (auto const* text = std::get_if<UI::LaidOutText>(&node.content))
            texts.push_back({ *text, node.frame, opacity });
        for (auto const& child : node.children)
            visit(child, opacity);
    };
    visit(root, 1);
    return texts;
}

inline std::vector<std::string> strings(const UI::LaidOutNode& root)
{
    std::vector<std::string> result;
    for (auto const& shown : shownTexts(root))
        result.push_back(shown.text.string);
    return result;
}

}

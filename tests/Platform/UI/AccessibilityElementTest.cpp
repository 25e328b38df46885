#include "Platform/UI/AccessibilityElement.hpp"

#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "UITestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace UI;

TEST(AccessibilityElement, ReadingOrderAndGrouping)
{
    auto const meter = box(100, 5).accessibilityHidden(true);
    auto const row = [&](const char* title, const char* percent) {
        return vstack(HorizontalAlignment::leading, 4, { text(title), meter, text(percent) });
    };
    struct Case {
        const char* name;
        View view;
        const char* dump;
    };
    Case const cases[] = {
        { "plain texts read themselves, hidden ones do not",
            vstack(HorizontalAlignment::leading, 4, { text("Codex"), text("secret").accessibilityHidden(true), row("5h", "42%") }),
            "Codex\n5h\n42%\n" },
        { "a label replaces what a text would read", text("42%").accessibilityLabel("42 percent"), "42 percent\n" },
        { "a combined group with a label reads the label",
            row("5h", "42%").accessibilityElement(AccessibilityChildBehavior::combine).accessibilityLabel("Five hours"),
            "Five hours\n" },
        { "ignoring without a label reads nothing", row("5h", "42%").accessibilityElement(AccessibilityChildBehavior::ignore), "" },
        { "hiding wins over a label", text("x").accessibilityLabel("y").accessibilityHidden(true), "" },
        { "the closest label wins", text("x").accessibilityLabel("inner").accessibilityLabel("outer"), "inner\n" },
        { "empty texts are not elements", vstack(HorizontalAlignment::leading, 0, { text(""), text("a") }), "a\n" },
        { "a view is read before its decorations",
            text("Stale").background(text("behind")).overlay(text("in front")), "Stale\nbehind\nin front\n" },
    };
    for (auto const& c : cases)
        EXPECT_EQ(accessibilityDump(layout(c.view, { 300, 300 })), c.dump) << c.name;
}

TEST(AccessibilityElement, ElementsCarryTheFrameOfTheirNode)
{
    auto const tree = layout(vstack(HorizontalAlignment::leading, 10,
                                 { box(20, 20), box(50, 30).accessibilityLabel("Meter") }),
        { 300, 300 });
    EXPECT_EQ(accessibilityElements(tree), (std::vector<AccessibilityElement> { { "Meter", { { 0, 30 }, { 50, 30 } } } }));
}

// Gauges stand beside the elements: a group read as one label, or as
// nothing, keeps the gauges inside it; hiding removes them.
TEST(AccessibilityElement, GaugesAreFoundWhereverTheirGroupReadsAsText)
{
    AccessibilityGauge const fiveHours { .label = "Codex, 5h", .value = 42, .description = "42% left" };
    auto const meter = box(100, 5).accessibilityGauge(fiveHours);
    auto const row = vstack(HorizontalAlignment::leading, 4, { text("5h"), meter });
    struct Case {
        const char* name;
        View view;
        const char* dump;
    };
    Case const cases[] = {
        { "after the elements", row, "5h\n[gauge 42/100] Codex, 5h: 42% left\n" },
        { "inside an ignored group", row.accessibilityElement(AccessibilityChildBehavior::ignore).accessibilityLabel("Five hours"),
            "Five hours\n[gauge 42/100] Codex, 5h: 42% left\n" },
        { "inside a combined group", row.accessibilityElement(AccessibilityChildBehavior::combine), "5h\n[gauge 42/100] Codex, 5h: 42% left\n" },
        { "not inside a hidden one", row.accessibilityHidden(true), "" },
        { "its value kept within 0…100, no description no colon",
            box(1, 1).accessibilityGauge({ .label = "over", .value = 250, .description = "" }), "[gauge 100/100] over\n" },
        { "NaN reads as 0", box(1, 1).accessibilityGauge({ .label = "nan", .value = std::nan(""), .description = "?" }),
            "[gauge 0/100] nan: ?\n" },
        { "the closest gauge wins", meter.accessibilityGauge({ .label = "outer", .value = 1, .description = "" }),
            "[gauge 42/100] Codex, 5h: 42% left\n" },
    };
    for (auto const& c : cases)
        EXPECT_EQ(accessibilityDump(layout(c.view, { 300, 300 })), c.dump) << c.name;

    auto const tree = layout(vstack(HorizontalAlignment::leading, 10, { box(20, 20), meter }), { 300, 300 });
    EXPECT_EQ(accessibilityGauges(tree), (std::vector<AccessibilityGaugeElement> { { fiveHours, { { 0, 30 }, { 100, 5 } } } }));
    auto compact = treeDump(tree);
    std::erase_if(compact, [](char character) { return character == ' ' || character == '\n'; });
    EXPECT_NE(compact.find(R"("accessibility":{"gauge":{"label":"Codex,5h","value":42.0,"description":"42%left"}})"), std::string::npos)
        << treeDump(tree);
}

#include "Platform/UI/AccessibilityElement.hpp"

#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "UITestSupport.hpp"

#include <gtest/gtest.h>

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

#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"

#include "Platform/UI/Layout.hpp"
#include "TestSupport/ReferenceImage.hpp"
#include "TestSupport/ScopedLanguage.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using WidgetKit::WidgetFamily;

void expectFamilyMatches(WidgetFamily family, const TavvoWidgetEntry& entry, UI::Appearance appearance, const std::string& name)
{
    auto const size = WidgetKit::size(family);
    auto const tree = UI::layout(TavvoWidgetView(family, entry).body().composed(size), size);
    expectMatchesReference(tree, { .scale = 1, .appearance = appearance }, TAVVO_WIDGET_REFERENCES_DIR, name);
}

}

// The demo document in every size, and the empty state, as a person sees
// them; a change to any view, color or metric shows here.
TEST(WidgetRendering, EachFamilyLooksAsItDid)
{
    ScopedLanguage const language("en");
    TavvoWidgetEntry const demo { WidgetTest::now, TavvoWidgetTimelineProvider::demoSnapshot(WidgetTest::now), std::nullopt };
    expectFamilyMatches(WidgetFamily::systemSmall, demo, UI::Appearance::light, "DemoSmallLight");
    expectFamilyMatches(WidgetFamily::systemMedium, demo, UI::Appearance::dark, "DemoMediumDark");
    expectFamilyMatches(WidgetFamily::systemLarge, demo, UI::Appearance::light, "DemoLargeLight");
    expectFamilyMatches(WidgetFamily::systemExtraLarge, demo, UI::Appearance::dark, "DemoExtraLargeDark");
    TavvoWidgetEntry const empty { WidgetTest::now, std::nullopt, L10n::tr("widget.open_once") };
    expectFamilyMatches(WidgetFamily::systemMedium, empty, UI::Appearance::light, "EmptyMediumLight");
}

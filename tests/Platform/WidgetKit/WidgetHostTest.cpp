#include "Platform/WidgetKit/WidgetHost.hpp"
#include "TestSupport/JSONText.hpp"

#include <gtest/gtest.h>

namespace {

using namespace WidgetKit;

struct NumberEntry {
    Foundation::Date date;
    int number;
};

void writeJSON(Foundation::JSONWriter& writer, const NumberEntry& entry)
{
    writer.Int(entry.number);
}

// Answers each request with `answers` entries, to see what the host makes
// of a provider that breaks the once-only rule.
struct CountingProvider {
    using Entry = NumberEntry;
    int answers = 1;

    Entry placeholder(const TimelineProviderContext&) const { return { {}, 0 }; }
    void getSnapshot(const TimelineProviderContext& context, const std::function<void(Entry)>& completion) const
    {
        for (int i = 0; i < answers; ++i)
            completion({ {}, context.isPreview ? 2 : 1 });
    }
    void getTimeline(const TimelineProviderContext& context, const std::function<void(Timeline<Entry>)>& completion) const
    {
        for (int i = 0; i < answers; ++i)
            completion({ { { {}, static_cast<int>(context.displaySize.width) } }, TimelineReloadPolicy::after({}) });
    }
};

WidgetHost hostFor(int answers, std::vector<WidgetFamily> families)
{
    auto const content = [](const NumberEntry& entry, WidgetFamily) { return WidgetContent(UI::text(std::to_string(entry.number))); };
    return WidgetHost(staticConfiguration("Numbers", CountingProvider { answers }, content).supportedFamilies(std::move(families)));
}

}

TEST(WidgetHost, AsksInTheFamilyAndPassesThePreviewFlag)
{
    auto const host = hostFor(1, { WidgetFamily::systemMedium, WidgetFamily::systemLarge });
    EXPECT_EQ(jsonText(host.entry(Request::placeholder, WidgetFamily::systemMedium)), "0");
    EXPECT_EQ(jsonText(host.entry(Request::snapshot, WidgetFamily::systemMedium)), "1");
    EXPECT_EQ(jsonText(host.entry(Request::preview, WidgetFamily::systemMedium)), "2");
    EXPECT_EQ(jsonText(host.entry(Request::timeline, WidgetFamily::systemLarge)), "364");
    EXPECT_THROW(host.timeline(WidgetFamily::systemSmall), UnsupportedFamilyError);

    // The content fills the family's container.
    auto const root = host.layout(host.placeholder(WidgetFamily::systemLarge), WidgetFamily::systemLarge);
    EXPECT_EQ(root.frame.size.width, 364);
    EXPECT_EQ(root.frame.size.height, 392);
}

TEST(WidgetHost, AProviderMustAnswerExactlyOnce)
{
    for (int const answers : { 0, 2 }) {
        auto const host = hostFor(answers, { WidgetFamily::systemSmall });
        EXPECT_THROW(host.entry(Request::snapshot, WidgetFamily::systemSmall), std::logic_error) << answers;
        EXPECT_THROW(host.timeline(WidgetFamily::systemSmall), std::logic_error) << answers;
    }
}

TEST(WidgetFamily, NamesAndSizes)
{
    EXPECT_EQ(widgetFamilyNamed("systemExtraLarge"), WidgetFamily::systemExtraLarge);
    EXPECT_EQ(widgetFamilyNamed("extra-large"), WidgetFamily::systemExtraLarge);
    for (auto const* unknown : { "", "Small", "systemsmall", "accessoryCircular", "large " })
        EXPECT_EQ(widgetFamilyNamed(unknown), std::nullopt) << unknown;
    for (auto const family : allWidgetFamilies)
        EXPECT_EQ(widgetFamilyNamed(name(family)), family);
}

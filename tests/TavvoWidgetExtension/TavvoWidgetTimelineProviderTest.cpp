#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"

#include "Platform/WidgetKit/ContainerFolderFileManager.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TestSupport/JSONText.hpp"
#include "TestSupport/NoContainerFileManager.hpp"
#include "TestSupport/TemporaryDirectory.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using WidgetTest::now;
using WidgetKit::WidgetFamily;
using Purpose = TavvoWidgetTimelineProvider::EntryPurpose;

// A widget whose shared container is a temporary folder, its clock pinned
// at `now`, answering in keys mode.
class TimelineProviderTest : public KeysInEnglish {
protected:
    TavvoWidgetTimelineProvider provider() const
    {
        auto const files = std::make_shared<WidgetKit::ContainerFolderFileManager>(m_folder.path());
        return TavvoWidgetTimelineProvider(TavvoWidgetSnapshotStore("group.test", std::nullopt, files), [] { return now; });
    }

    fs::path snapshotPath() const { return m_folder.path() / "Widget" / "current-limits.json"; }
    void writeDocument(const TavvoWidgetSnapshot& snapshot) const
    {
        fs::create_directories(snapshotPath().parent_path());
        std::ofstream(snapshotPath(), std::ios::binary) << TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot);
    }

private:
    TemporaryDirectory m_folder;
};

TavvoWidgetSnapshot document(std::vector<std::optional<Foundation::Date>> freshUntils)
{
    TavvoWidgetSnapshot snapshot { TavvoWidgetSnapshot::currentSchemaVersion, now - 1min, {}, std::nullopt };
    for (auto const& freshUntil : freshUntils) {
        auto provider = WidgetTest::provider(TavvoWidgetProviderID::claude, {});
        provider.freshUntil = freshUntil;
        snapshot.providers.push_back(provider);
    }
    return snapshot;
}

}

TEST_F(TimelineProviderTest, NothingToShowBringsTheDemoOnlyToPreviews)
{
    // A document of another version is no document at all.
    auto older = document({ now + 1h });
    older.schemaVersion = 3;
    writeDocument(older);
    std::string const openOnce = "widget.open_once";
    EXPECT_EQ(provider().loadEntry(now, Purpose::display), (TavvoWidgetEntry { now, std::nullopt, openOnce }));
    auto const demo = TavvoWidgetTimelineProvider::demoSnapshot(now);
    EXPECT_EQ(provider().loadEntry(now, Purpose::preview), (TavvoWidgetEntry { now, demo, openOnce }));
}

TEST_F(TimelineProviderTest, PlaceholderNeverTouchesTheStore)
{
    auto const manager = std::make_shared<NoContainerFileManager>();
    TavvoWidgetTimelineProvider const homeless(TavvoWidgetSnapshotStore("group.test", std::nullopt, manager), [] { return now; });
    auto const entry = homeless.placeholder({ WidgetFamily::systemSmall, { 170, 170 }, false });
    EXPECT_EQ(entry, (TavvoWidgetEntry { now, TavvoWidgetTimelineProvider::demoSnapshot(now), std::nullopt }));
    EXPECT_EQ(manager->lookups, 0);
}

TEST(TavvoWidgetTimelineProvider, ReloadsOneSecondAfterTheFirstFreshnessEndsAtMostFiveMinutesOn)
{
    struct Case {
        const char* situation;
        std::optional<TavvoWidgetSnapshot> snapshot;
        Foundation::Date reload;
    };
    Case const cases[] = {
        { "no providers", document({}), now + 300s },
        { "ends now", document({ now }), now + 300s },
        { "in 1 s", document({ now + 1s }), now + 2s },
        { "in 299 s: equal to the fallback", document({ now + 299s }), now + 300s },
        { "in 300 s", document({ now + 300s }), now + 300s },
        { "in 301 s", document({ now + 301s }), now + 300s },
        // The earliest future one wins, wherever it stands; past and absent ones do not count.
        { "later first", document({ now + 200s, std::nullopt, now - 5s, now + 10s, now + 100s }), now + 11s },
        { "sub-second", document({ now + 500ms }), now + 1500ms },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoWidgetTimelineProvider::reloadDate(item.snapshot, now), item.reload) << item.situation;

    // The ends of the date range saturate instead of overflowing.
    auto const last = Foundation::Date::max();
    EXPECT_EQ(TavvoWidgetTimelineProvider::reloadDate(document({ last }), last - 5s), last);
}

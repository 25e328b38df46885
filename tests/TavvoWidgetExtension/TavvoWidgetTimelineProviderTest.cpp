#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetBundle.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"

#include "Platform/WidgetKit/ContainerFolderFileManager.hpp"
#include "Platform/WidgetKit/WidgetHost.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"
#include "TestSupport/JSONText.hpp"
#include "TestSupport/NoContainerFileManager.hpp"
#include "TestSupport/ScopedLanguage.hpp"
#include "TestSupport/TemporaryDirectory.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using WidgetTest::now;
using WidgetKit::WidgetFamily;

// A widget whose shared container is a temporary folder, its clock pinned
// at `now`, answering in keys mode.
class TimelineProviderTest : public ::testing::Test {
protected:
    WidgetKit::WidgetServices services() const
    {
        return { std::make_shared<WidgetKit::ContainerFolderFileManager>(m_folder.path()), [] { return now; } };
    }
    TavvoWidgetTimelineProvider provider() const
    {
        return TavvoWidgetTimelineProvider(
            TavvoWidgetSnapshotStore("group.test", std::nullopt, services().fileManager), services().clock);
    }
    WidgetKit::WidgetHost host() const { return WidgetKit::WidgetHost(TavvoWidgetBundle().body(services()).front()); }

    fs::path snapshotPath() const { return m_folder.path() / "Widget" / "current-limits.json"; }
    void writeFile(const std::string& bytes) const
    {
        fs::create_directories(snapshotPath().parent_path());
        std::ofstream(snapshotPath(), std::ios::binary) << bytes;
    }
    void writeDocument(const TavvoWidgetSnapshot& snapshot) const
    {
        writeFile(TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot));
    }

private:
    ScopedLanguage m_language { "en" };
    ScopedKeysMode m_keys;
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

TEST_F(TimelineProviderTest, EveryReadErrorIsTheUnavailableMessageWithoutDemo)
{
    std::string const unavailable = "widget.snapshot_unavailable";
    // Undecodable, and a folder where the file should be.
    writeFile("{\"schemaVersion\": 4, \"providers\": [");
    for (bool const preview : { false, true }) {
        auto const entry = provider().loadEntry(now, preview);
        EXPECT_EQ(entry, (TavvoWidgetEntry { now, std::nullopt, unavailable })) << preview;
    }
    fs::remove(snapshotPath());
    fs::create_directories(snapshotPath());
    EXPECT_EQ(jsonText(host().entry(WidgetKit::Request::preview, WidgetFamily::systemSmall)), jsonText(TavvoWidgetEntry { now, std::nullopt, unavailable }));

    // No shared container at all.
    TavvoWidgetTimelineProvider const homeless(
        TavvoWidgetSnapshotStore("group.test", std::nullopt, std::make_shared<NoContainerFileManager>()), [] { return now; });
    EXPECT_EQ(homeless.loadEntry(now, true), (TavvoWidgetEntry { now, std::nullopt, unavailable }));
}

TEST_F(TimelineProviderTest, NothingToShowBringsTheDemoOnlyToPreviews)
{
    std::string const openOnce = "widget.open_once";
    auto const demo = TavvoWidgetTimelineProvider::demoSnapshot(now);
    auto const expectNothing = [&](const char* situation) {
        EXPECT_EQ(provider().loadEntry(now, false), (TavvoWidgetEntry { now, std::nullopt, openOnce })) << situation;
        EXPECT_EQ(provider().loadEntry(now, true), (TavvoWidgetEntry { now, demo, openOnce })) << situation;
    };
    expectNothing("no file");
    auto older = document({ now + 1h });
    older.schemaVersion = 3;
    writeDocument(older);
    expectNothing("another version");

    // A real timeline never carries the demo.
    auto const timeline = host().timeline(WidgetFamily::systemMedium);
    ASSERT_EQ(timeline.entries.size(), 1u);
    EXPECT_EQ(jsonText(timeline.entries[0]), jsonText(TavvoWidgetEntry { now, std::nullopt, openOnce }));
    EXPECT_EQ(timeline.policy.date, now + 300s);
}

TEST_F(TimelineProviderTest, ADocumentIsShownWithoutMessage)
{
    auto const stored = document({ now + 10s });
    writeDocument(stored);
    for (bool const preview : { false, true })
        EXPECT_EQ(provider().loadEntry(now, preview), (TavvoWidgetEntry { now, stored, std::nullopt }));
    auto const timeline = host().timeline(WidgetFamily::systemLarge);
    ASSERT_EQ(timeline.entries.size(), 1u);
    EXPECT_EQ(timeline.entries[0].date, now);
    EXPECT_EQ(timeline.policy.date, now + 11s);
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
        { "no document", std::nullopt, now + 300s },
        { "no providers", document({}), now + 300s },
        { "no freshUntil", document({ std::nullopt, std::nullopt }), now + 300s },
        { "ends now", document({ now }), now + 300s },
        { "ended", document({ now - 1s }), now + 300s },
        { "in 1 s", document({ now + 1s }), now + 2s },
        { "in 10 s", document({ now + 10s }), now + 11s },
        { "in 299 s: equal to the fallback", document({ now + 299s }), now + 300s },
        { "in 300 s", document({ now + 300s }), now + 300s },
        { "in 301 s", document({ now + 301s }), now + 300s },
        { "in an hour", document({ now + 3600s }), now + 300s },
        // The earliest future one wins, wherever it stands.
        { "later first", document({ now + 200s, std::nullopt, now - 5s, now + 10s, now + 100s }), now + 11s },
        { "earlier first", document({ now + 10s, now + 200s }), now + 11s },
        { "sub-second", document({ now + 500ms }), now + 1500ms },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoWidgetTimelineProvider::reloadDate(item.snapshot, now), item.reload) << item.situation;

    // The ends of the date range saturate instead of overflowing.
    auto const last = Foundation::Date::max();
    EXPECT_EQ(TavvoWidgetTimelineProvider::reloadDate(document({ last }), last - 5s), last);
}

TEST(TavvoWidgetTimelineProvider, DemoSnapshotIsFreshAndFixed)
{
    auto const demo = TavvoWidgetTimelineProvider::demoSnapshot(now);
    for (auto const& provider : demo.providers) {
        EXPECT_TRUE(provider.isFresh(now));
        EXPECT_FALSE(provider.isFresh(now + 900s));
    }
    // Every value, as the host would store it (now is 2026-03-14T09:26:53Z).
    EXPECT_EQ(TavvoWidgetJSONEncoder::tavvoWidget().encode(demo), R"({
  "codexAnalytics": {
    "accountLabel": "Demo account",
    "forecastObservedAt": "2026-03-14T09:26:53Z",
    "forecastState": "lastsUntilReset",
    "planTitle": "ChatGPT Pro 20×",
    "quotaTitle": "GPT-5.3-Codex-Spark",
    "remainingPercent": 81,
    "resetAt": "2026-03-15T09:26:53Z",
    "weeklyCredits": 482,
    "weeklyTokens": 12400000
  },
  "generatedAt": "2026-03-14T09:26:53Z",
  "providers": [
    {
      "freshUntil": "2026-03-14T09:41:53Z",
      "id": "codex",
      "limits": [
        {
          "id": "codex.five_hour",
          "remainingPercent": 64,
          "resetDate": "2026-03-14T10:26:53Z",
          "title": "5h"
        },
        {
          "id": "codex.weekly",
          "remainingPercent": 81,
          "resetDate": "2026-03-15T09:26:53Z",
          "title": "Weekly"
        }
      ],
      "observedAt": "2026-03-14T09:26:53Z",
      "status": "available",
      "subtitle": "Demo account",
      "title": "Codex Pro"
    },
    {
      "freshUntil": "2026-03-14T09:41:53Z",
      "id": "claude",
      "limits": [
        {
          "id": "claude.five_hour",
          "remainingPercent": 42,
          "resetDate": "2026-03-14T10:06:53Z",
          "title": "5h"
        },
        {
          "id": "claude.weekly",
          "remainingPercent": 73,
          "resetDate": "2026-03-15T05:26:53Z",
          "title": "Weekly"
        }
      ],
      "observedAt": "2026-03-14T09:26:53Z",
      "status": "available",
      "subtitle": "Demo account",
      "title": "Claude Max"
    }
  ],
  "schemaVersion": 4
})");
}

TEST(TavvoWidgetBundle, RegistersOneWidgetOfOneKindInFourSizes)
{
    ScopedLanguage const language("en");
    ScopedKeysMode const keys;
    auto const widgets = TavvoWidgetBundle().body(WidgetKit::WidgetServices::system());
    ASSERT_EQ(widgets.size(), 1u);
    EXPECT_EQ(widgets[0].kind(), TavvoWidgetConstants::widgetKind);
    EXPECT_EQ(widgets[0].displayName(), "app.title");
    EXPECT_EQ(widgets[0].description(), "widget.description");
    EXPECT_EQ(widgets[0].supportedFamilies(),
        (std::vector { WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge }));

    // The test program's information dictionary names no group: the store
    // asks for the container of the built-in one.
    struct RecordingFileManager : NoContainerFileManager {
        std::optional<std::filesystem::path> containerURLForSecurityApplicationGroupIdentifier(std::string_view identifier) const override
        {
            asked = identifier;
            return NoContainerFileManager::containerURLForSecurityApplicationGroupIdentifier(identifier);
        }
        mutable std::string asked;
    };
    auto const manager = std::make_shared<RecordingFileManager>();
    WidgetKit::WidgetHost(TavvoWidgetBundle().body({ manager, [] { return now; } }).front()).timeline(WidgetFamily::systemSmall);
    EXPECT_EQ(manager->asked, TavvoWidgetConstants::defaultAppGroupIdentifier);
}

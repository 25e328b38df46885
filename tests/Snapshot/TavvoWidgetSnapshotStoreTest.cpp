#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/NoContainerFileManager.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using Foundation::FileManager;

namespace {

TavvoWidgetSnapshot document()
{
    return TavvoWidgetSnapshot { TavvoWidgetSnapshot::currentSchemaVersion, at("2026-01-31T09:05:00Z"), {}, std::nullopt };
}

// Points the data folder at a temporary one for a test.
class StoreTest : public ::testing::Test {
protected:
    const fs::path& folder() const { return m_folder.path(); }

private:
    TemporaryDirectory m_folder;
    ScopedEnvironment m_environment { { "XDG_DATA_HOME", m_folder.path().string() } };
};

}

TEST_F(StoreTest, LocationIsBelowTheBaseFolderOrTheContainer)
{
    auto const manager = std::make_shared<NoContainerFileManager>();
    TavvoWidgetSnapshotStore const withBase("group.x", fs::path("/tmp/x"), manager);
    EXPECT_EQ(withBase.snapshotURL(), fs::path("/tmp/x/Widget/current-limits.json"));
    EXPECT_EQ(manager->lookups, 0);

    TavvoWidgetSnapshotStore const container("group.x", std::nullopt, FileManager::defaultManager());
    EXPECT_EQ(container.snapshotURL(), folder() / "group.x" / "Widget" / "current-limits.json");
    EXPECT_FALSE(fs::exists(folder() / "group.x")) << "looking up creates nothing";
}

TEST_F(StoreTest, MissingContainerFailsEveryOperation)
{
    TavvoWidgetSnapshotStore const store("group.x", std::nullopt, std::make_shared<NoContainerFileManager>());
    auto const expected = TavvoWidgetSnapshotStoreError::missingAppGroupContainer("group.x");
    auto expectMissing = [&](const std::function<void()>& action) {
        try {
            action();
            ADD_FAILURE() << "no error";
        } catch (const TavvoWidgetSnapshotStoreError& error) {
            EXPECT_EQ(error, expected);
            EXPECT_EQ(error.appGroupIdentifier(), "group.x");
        }
    };
    expectMissing([&] { store.snapshotURL(); });
    expectMissing([&] { store.readSnapshot(); });
    expectMissing([&] { store.writeSnapshot(document()); });
    EXPECT_FALSE(TavvoWidgetSnapshotStoreError::missingAppGroupContainer("a") == TavvoWidgetSnapshotStoreError::missingAppGroupContainer("b"));
}

TEST(TavvoWidgetSnapshotStore, ResolvesTheAppGroupFromTheInfoDictionary)
{
    TemporaryDirectory folder;
    std::string const fallback(TavvoWidgetConstants::defaultAppGroupIdentifier);
    std::pair<const char*, std::string> const cases[] = {
        { R"({"TavvoAppGroupIdentifier":"group.custom"})", "group.custom" },
        { R"({"TavvoAppGroupIdentifier":"  spaced  "})", "  spaced  " },
        { R"({"TavvoAppGroupIdentifier":""})", fallback },
        { R"({"TavvoAppGroupIdentifier":42})", fallback },
        { R"({})", fallback },
        { "not json", fallback },
    };
    for (auto const& [info, expected] : cases) {
        std::ofstream(folder.path() / "Info.json") << info;
        auto const bundle = Foundation::Bundle::withPath(folder.path());
        ASSERT_TRUE(bundle);
        EXPECT_EQ(TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(*bundle), expected) << info;
    }
}

#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include "TavvoShared/Snapshot/TavvoWidgetCodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStoreError.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/FileMode.hpp"
#include "TestSupport/NoContainerFileManager.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Foundation::FileManager;

namespace {

TavvoWidgetSnapshot document(std::int64_t version = TavvoWidgetSnapshot::currentSchemaVersion, std::string title = "Codex")
{
    return TavvoWidgetSnapshot { version, at("2026-01-31T09:05:00Z"),
        { { TavvoWidgetProviderID::codex, std::move(title), std::nullopt, TavvoWidgetProviderStatus::available,
            { { "codex.five_hour", "5h", 63, std::nullopt } }, at("2026-01-31T09:00:00Z"), at("2026-01-31T09:15:00Z"),
            std::nullopt } },
        std::nullopt };
}

// Points the data folder at a temporary one for a test.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDataHome = getenv("XDG_DATA_HOME") ? std::optional<std::string>(getenv("XDG_DATA_HOME")) : std::nullopt;
        setenv("XDG_DATA_HOME", m_folder.path().c_str(), 1);
    }
    void TearDown() override
    {
        m_savedDataHome ? setenv("XDG_DATA_HOME", m_savedDataHome->c_str(), 1) : unsetenv("XDG_DATA_HOME");
    }

    const fs::path& folder() const { return m_folder.path(); }
    TavvoWidgetSnapshotStore storeAt(const fs::path& base) const
    {
        return TavvoWidgetSnapshotStore("group.test", base, FileManager::defaultManager());
    }
    fs::path writeFile(const std::string& contents) const
    {
        fs::create_directories(folder() / "Widget");
        auto const path = folder() / "Widget" / "current-limits.json";
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

private:
    TemporaryDirectory m_folder;
    std::optional<std::string> m_savedDataHome;
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

TEST_F(StoreTest, OtherVersionsAreStoredButNotHandedOut)
{
    auto const store = storeAt(folder());
    store.writeSnapshot(document(3));
    EXPECT_EQ(store.readSnapshot(), std::nullopt);
    EXPECT_NE(FileManager::defaultManager()->contentsOfFile(store.snapshotURL(), 1 << 20).find("\"schemaVersion\": 3"), std::string::npos);

    writeFile(R"({"generatedAt":"2026-01-31T09:05:00Z"})"); // no version: version 1
    EXPECT_EQ(store.readSnapshot(), std::nullopt);
}

TEST(TavvoWidgetSnapshotStore, ResolvesTheAppGroupFromTheInfoDictionary)
{
    TemporaryDirectory folder;
    struct Case {
        const char* info;
        std::string expected;
    };
    std::string const fallback(TavvoWidgetConstants::defaultAppGroupIdentifier);
    Case const cases[] = {
        { R"({"TavvoAppGroupIdentifier":"group.custom"})", "group.custom" },
        { R"({"TavvoAppGroupIdentifier":"  spaced  "})", "  spaced  " },
        { R"({"TavvoAppGroupIdentifier":""})", fallback },
        { R"({"TavvoAppGroupIdentifier":42})", fallback },
        { R"({"TavvoAppGroupIdentifier":null})", fallback },
        { R"({})", fallback },
        { "not json", fallback },
    };
    for (auto const& c : cases) {
        std::ofstream(folder.path() / "Info.json") << c.info;
        auto const bundle = Foundation::Bundle::withPath(folder.path());
        ASSERT_TRUE(bundle);
        EXPECT_EQ(TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(*bundle), c.expected) << c.info;
    }
}

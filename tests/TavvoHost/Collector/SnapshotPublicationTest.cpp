#include "TavvoHost/Collector/SnapshotPublication.hpp"

#include "Platform/Foundation/FileManager.hpp"
#include "Snapshot/TestDates.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

TavvoWidgetSnapshot document(Foundation::Date generatedAt, std::string title)
{
    return { TavvoWidgetSnapshot::currentSchemaVersion, generatedAt,
        { { TavvoWidgetProviderID::claude, std::move(title), std::nullopt, TavvoWidgetProviderStatus::noData, {}, std::nullopt,
            std::nullopt, std::nullopt } },
        std::nullopt };
}

ino_t inodeOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0);
    return status.st_ino;
}

TEST(SnapshotPublication, WritesOnlyWhenTheContentChanged)
{
    TemporaryDirectory folder;
    TavvoWidgetSnapshotStore const store("group", folder.path(), Foundation::FileManager::defaultManager());

    EXPECT_TRUE(TavvoHost::publishIfChanged(store, document(at("2026-06-01T10:00:00Z"), "Claude")));
    auto const firstFile = inodeOf(store.snapshotURL());

    // Only the generation time is new: the file is left alone, so a
    // watcher of it is not woken.
    EXPECT_FALSE(TavvoHost::publishIfChanged(store, document(at("2026-06-01T10:05:00Z"), "Claude")));
    EXPECT_EQ(inodeOf(store.snapshotURL()), firstFile);
    EXPECT_EQ(store.readSnapshot()->generatedAt, at("2026-06-01T10:00:00Z"));

    EXPECT_TRUE(TavvoHost::publishIfChanged(store, document(at("2026-06-01T10:06:00Z"), "Claude (changed)")));
    EXPECT_EQ(store.readSnapshot()->providers[0].title, "Claude (changed)");

    // A sub-second part the file cannot hold is no change either.
    auto const withFraction = document(at("2026-06-01T10:07:00Z") + std::chrono::milliseconds(500), "Claude (changed)");
    EXPECT_FALSE(TavvoHost::publishIfChanged(store, withFraction));
}

TEST(SnapshotPublication, ADamagedOrForeignFileIsReplaced)
{
    TemporaryDirectory folder;
    TavvoWidgetSnapshotStore const store("group", folder.path(), Foundation::FileManager::defaultManager());
    std::filesystem::create_directories(store.snapshotURL().parent_path());
    for (std::string const bytes : { "{ not json", R"({"schemaVersion": 3, "generatedAt": "2026-06-01T10:00:00Z", "providers": []})" }) {
        std::ofstream(store.snapshotURL()) << bytes;
        EXPECT_TRUE(TavvoHost::publishIfChanged(store, document(at("2026-06-01T10:00:00Z"), "Claude"))) << bytes;
        EXPECT_EQ(store.readSnapshot(), document(at("2026-06-01T10:00:00Z"), "Claude"));
    }
}

}

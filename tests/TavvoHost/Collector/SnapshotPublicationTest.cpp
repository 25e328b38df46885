#include "TavvoHost/Collector/SnapshotPublication.hpp"

#include "Platform/Foundation/FileManager.hpp"
#include "Snapshot/TestDates.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

using std::chrono::minutes;

constexpr std::chrono::seconds ttl { 900 };

// A claude record with nothing observed, checked at `generatedAt`, as the
// assembly makes it.
TavvoWidgetSnapshot document(Foundation::Date generatedAt, std::string note)
{
    return { TavvoWidgetSnapshot::currentSchemaVersion, generatedAt,
        { { TavvoWidgetProviderID::claude, "Claude", std::nullopt, TavvoWidgetProviderStatus::noData, {}, generatedAt,
            generatedAt + minutes(15), std::move(note) } },
        std::nullopt };
}

ino_t inodeOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0);
    return status.st_ino;
}

class SnapshotPublication : public ::testing::Test {
protected:
    TemporaryDirectory m_folder;
    TavvoWidgetSnapshotStore const m_store { "group", m_folder.path(), Foundation::FileManager::defaultManager() };

    TavvoWidgetSnapshot publish(const TavvoWidgetSnapshot& snapshot) const { return TavvoHost::publishIfChanged(m_store, snapshot, ttl); }
    ino_t fileInode() const { return inodeOf(m_store.snapshotURL()); }
};

TEST_F(SnapshotPublication, ANewCheckTimeAloneIsNewsOnlyOnceHalfTheFreshWindowHasPassed)
{
    auto const first = at("2026-06-01T10:00:00Z");
    EXPECT_EQ(publish(document(first, "connect")), document(first, "connect"));
    auto const written = fileInode();

    // Five minutes on, the same state checked again: the file is left
    // alone (nobody watching it is woken) and keeps the first check time.
    EXPECT_EQ(publish(document(first + minutes(5), "connect")).providers[0].observedAt, first);
    EXPECT_EQ(fileInode(), written);
    EXPECT_EQ(m_store.readSnapshot()->generatedAt, first);
    EXPECT_EQ(TavvoHost::checkRenewalDue(*m_store.readSnapshot(), ttl), first + std::chrono::seconds(450));

    // Past half of the fifteen minutes, the check is renewed in time for
    // the record to stay fresh.
    auto const later = first + minutes(8);
    EXPECT_EQ(publish(document(later, "connect")).providers[0].observedAt, later);
    EXPECT_NE(fileInode(), written);

    // Anything else that changes is news at once, with its own check time.
    auto const changed = later + minutes(1);
    EXPECT_EQ(publish(document(changed, "another note")), document(changed, "another note"));
    EXPECT_EQ(m_store.readSnapshot(), document(changed, "another note"));
}

TEST_F(SnapshotPublication, ObservedProvidersKeepTheirOwnTimesAndNeedNoRenewal)
{
    auto snapshot = document(at("2026-06-01T10:00:00Z"), "x");
    snapshot.providers[0].status = TavvoWidgetProviderStatus::available;
    snapshot.providers[0].note.reset();
    publish(snapshot);
    EXPECT_EQ(TavvoHost::checkRenewalDue(snapshot, ttl), std::nullopt);
    auto next = snapshot;
    next.generatedAt += minutes(1);
    next.providers[0].observedAt = next.generatedAt;
    EXPECT_EQ(publish(next), next);
}

TEST_F(SnapshotPublication, ADamagedOrForeignFileIsReplaced)
{
    std::filesystem::create_directories(m_store.snapshotURL().parent_path());
    for (std::string const bytes : { "{ not json", R"({"schemaVersion": 3, "generatedAt": "2026-06-01T10:00:00Z", "providers": []})" }) {
        std::ofstream(m_store.snapshotURL()) << bytes;
        publish(document(at("2026-06-01T10:00:00Z"), "connect"));
        EXPECT_EQ(m_store.readSnapshot(), document(at("2026-06-01T10:00:00Z"), "connect")) << bytes;
    }
}

// The generation time alone, the rest of what counts as news and a file
// not there yet are caught by the publication's tests above.
TEST(SnapshotContent, SubSecondPartsTheFileCannotHoldAreNoNews)
{
    auto const stored = document(at("2026-06-01T10:00:00Z"), "connect");
    auto candidate = stored;
    candidate.providers[0].observedAt = *stored.providers[0].observedAt + std::chrono::milliseconds(500);
    EXPECT_FALSE(TavvoHost::differsInContent(candidate, stored));
}

}

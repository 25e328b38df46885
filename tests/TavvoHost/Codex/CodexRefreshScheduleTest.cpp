#include "TavvoHost/Codex/CodexRefreshSchedule.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/FileMode.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

using namespace std::chrono_literals;
using namespace TavvoHost;

TEST(CodexRefreshSchedule, IsDueWhenTheLogsAreStaleAndNoAttemptIsRecent)
{
    auto const now = at("2026-06-01T12:00:00Z");
    struct Case {
        const char* what;
        std::optional<Foundation::Date> observedAt;
        std::optional<Foundation::Date> attemptedAt;
        Foundation::Date dueAt;
    };
    Case const cases[] {
        { "nothing observed, never tried", std::nullopt, std::nullopt, now },
        { "observation fresh", now - 1min, std::nullopt, now + 14min },
        { "observation exactly a ttl old", now - 15min, std::nullopt, now },
        { "observation stale, tried a minute ago", now - 1h, now - 1min, now + 4min },
        { "observation stale, tried five minutes ago", now - 1h, now - 5min, now },
        { "nothing observed, tried just now", std::nullopt, now, now + 5min },
        { "the later of the two holds", now - 13min, now - 4min, now + 2min },
        { "an attempt in the future: the clock went back", now - 1h, now + 1h, now },
        { "an observation in the future", now + 1h, std::nullopt, now + 1h + 15min },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(codexRefreshDueAt(test.observedAt, test.attemptedAt, 900s, now), test.dueAt);
        EXPECT_EQ(isCodexRefreshDue(test.observedAt, test.attemptedAt, 900s, now), test.dueAt == now);
    }
    // A time-to-live beyond any date saturates instead of overflowing.
    EXPECT_EQ(codexRefreshDueAt(now, std::nullopt, std::chrono::seconds::max(), now), Foundation::Date::max());
}

TEST(CodexRefreshSchedule, StampOutlivesTheRun)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "state" / "tavvo" / "codex-refresh";
    EXPECT_EQ(CodexRefreshStamp(path).lastAttempt(), std::nullopt);

    CodexRefreshStamp(path).record(at("2026-06-01T12:00:00Z") + 900ms);
    EXPECT_EQ(CodexRefreshStamp(path).lastAttempt(), at("2026-06-01T12:00:00Z"));
    EXPECT_EQ(modeOf(path.parent_path()), 0700u);

    for (auto const* garbled : { "", "soon\n", "-5\n", "99999999999999\n", "12 34\n" }) {
        std::ofstream(path) << garbled;
        EXPECT_EQ(CodexRefreshStamp(path).lastAttempt(), std::nullopt) << garbled;
    }
}

TEST(CodexRefreshSchedule, StampThatCannotBeWrittenHoldsWithinTheRun)
{
    TemporaryDirectory folder;
    auto const blocked = folder.path() / "file";
    std::ofstream(blocked) << "in the way";
    CodexRefreshStamp stamp(blocked / "codex-refresh");
    EXPECT_THROW(stamp.record(at("2026-06-01T12:00:00Z")), std::system_error);
    EXPECT_EQ(stamp.lastAttempt(), at("2026-06-01T12:00:00Z"));
}

TEST(CodexRefreshSchedule, StampLivesInTheStateFolder)
{
    // The folder's fallbacks are those of the status-line feed, tested with it.
    ScopedEnvironment environment { { "XDG_STATE_HOME", "/state" } };
    EXPECT_EQ(CodexRefreshStamp::defaultPath(), "/state/tavvo/codex-refresh");
}

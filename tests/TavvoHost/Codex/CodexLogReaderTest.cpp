#include "TavvoHost/Codex/CodexLogReader.hpp"

#include "TavvoHost/Codex/CodexLines.hpp"
#include "TavvoHost/LogFiles/LogFileFixtures.hpp"
#include "Snapshot/TestDates.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace TavvoHost;
namespace fs = std::filesystem;
using std::chrono::days;
using std::chrono::hours;
using std::chrono::minutes;

auto const now = at("2026-06-08T12:00:00Z");
// The weekly window of every fixture runs from 3 June to 10 June.
auto const weeklyReset = at("2026-06-10T00:00:00Z");
auto const fiveHourReset = at("2026-06-08T14:00:00Z");

std::int64_t unixOf(Foundation::Date date)
{
    return std::chrono::floor<std::chrono::seconds>(date).time_since_epoch().count();
}

std::string limits(double fiveHourUsed, double weeklyUsed, std::string_view limitId = "codex")
{
    return currentLimits(fiveHourUsed, unixOf(fiveHourReset), weeklyUsed, unixOf(weeklyReset), limitId);
}

std::string lines(std::initializer_list<std::string> each)
{
    std::string text;
    for (auto const& line : each)
        text += line + "\n";
    return text;
}

CodexObservation codexObservation(std::string_view observedAt, double fiveHourUsed, double weeklyUsed, std::string limitId = "codex")
{
    return { at(observedAt), std::move(limitId), std::nullopt, "plus",
        { { fiveHourWindow, fiveHourUsed, fiveHourReset }, { weeklyWindow, weeklyUsed, weeklyReset } } };
}

// A record of `observedAt` ("…Z") whose windows reset two hours and three
// days after it, and what it reads as.
std::string recordAt(std::string_view observedAt, double fiveHourUsed, double weeklyUsed, std::string limitId = "codex")
{
    auto const observed = at(observedAt);
    return tokenCountLine(observedAt, tokenInfo(100, 100), currentLimits(fiveHourUsed, unixOf(observed + hours(2)), weeklyUsed, unixOf(observed + days(3)), limitId));
}

CodexObservation observationAt(std::string_view observedAt, double fiveHourUsed, double weeklyUsed, std::string limitId = "codex")
{
    auto const observed = at(observedAt);
    return { observed, std::move(limitId), std::nullopt, "plus",
        { { fiveHourWindow, fiveHourUsed, observed + hours(2) }, { weeklyWindow, weeklyUsed, observed + days(3) } } };
}

struct Pass {
    CodexReading reading;
    std::vector<std::string> problems;
};

Pass pass(CodexLogReader& reader, Foundation::Date instant = now)
{
    Pass result;
    result.reading = reader.pass(instant, result.problems);
    return result;
}

TEST(CodexLogReader, ReadsTheNewestRecordOfEachBucketAndTheWeeksDistinctTokens)
{
    TemporaryDirectory folder;
    auto const a = folder.path() / "a";
    auto const b = folder.path() / "b";
    auto const day7 = a / "sessions/2026/06/07";
    auto const day8 = b / "sessions/2026/06/08"; // past midnight: another date folder
    auto const parentLine = tokenCountLine("2026-06-07T10:00:00.000Z", tokenInfo(100, 100), limits(5, 10));
    auto const otherBucketLine = tokenCountLine("2026-06-07T10:05:00.000Z", tokenInfo(150, 50), limits(1, 2, "codex_other"));
    writeFile(day7 / "rollout-a.jsonl",
        lines({ parentLine, tokenCountLine("2026-06-07T10:01:00.000Z", tokenInfo(100, 100), "null"), otherBucketLine, "garbage" }));
    // Its compressed twin is an older copy: the plain file is the current one.
    writeFile(day7 / "rollout-a.jsonl.zst", compressed(tokenCountLine("2026-06-08T11:30:00.000Z", tokenInfo(5000, 5000), limits(99, 99))));
    // Before the weekly window began (at its reset less a week: windows
    // re-anchor, so no calendar week), yet after the pruning bound.
    writeFile(a / "archived_sessions/2026/06/02/rollout-old.jsonl", lines({ tokenCountLine("2026-06-02T10:00:00.000Z", tokenInfo(500, 500), "null") }));
    // Last touched nine days ago: never opened, whatever it holds.
    auto const stale = a / "sessions/2026/05/20/rollout-stale.jsonl";
    writeFile(stale, lines({ tokenCountLine("2026-06-08T11:45:00.000Z", tokenInfo(7, 7), limits(77, 77)) }));
    setModified(stale, now - std::chrono::days(9));

    // A fork replays its parent's events before its own; one event claims the future.
    writeFile(day8 / "rollout-fork.jsonl",
        lines({ parentLine, otherBucketLine, tokenCountLine("2026-06-08T11:00:00.000Z", tokenInfo(170, 20), limits(7, 20)),
            tokenCountLine("2026-07-01T00:00:00.000Z", tokenInfo(200, 30), limits(55, 55)) }));
    writeFile(day8 / "rollout-z.jsonl.zst", compressed(tokenCountLine("2026-06-08T09:00:00.000Z", tokenInfo(1000, 1000), "null")));
    // A link to a log kept elsewhere is read like the log itself.
    writeFile(folder.path() / "elsewhere.jsonl", lines({ tokenCountLine("2026-06-08T08:00:00.000Z", tokenInfo(3, 3), "null") }));
    fs::create_directories(b / "archived_sessions");
    fs::create_symlink(folder.path() / "elsewhere.jsonl", b / "archived_sessions/rollout-link.jsonl");
    // Among the logs, things that are no files; none may block or be read.
    ASSERT_EQ(::mkfifo((day8 / "rollout-fifo.jsonl").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", day8 / "rollout-zero.jsonl");
    int const listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    (day8 / "rollout-socket.jsonl").string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    CodexLogReader reader({ a, b });
    auto const first = pass(reader);
    ::close(listener);
    EXPECT_EQ(first.reading.state, SourceState::present);
    EXPECT_EQ(first.reading.observations,
        (std::vector<CodexObservation> { codexObservation("2026-06-08T11:00:00Z", 7, 20),
            codexObservation("2026-06-07T10:05:00Z", 1, 2, "codex_other") }));
    // 100 + 50 + 20 (the fork's own turn) + 1000 + 3 (the link); not the
    // repeat, the twin, the event before the window, the stale file or the future.
    EXPECT_EQ(first.reading.weeklyTokens, 1173);
    EXPECT_TRUE(first.problems.empty());
    EXPECT_EQ(reader.counters().filesRead, 5);
    EXPECT_EQ(reader.counters().malformedLines, 1);

    auto watched = reader.watchedFolders();
    std::sort(watched.begin(), watched.end());
    std::vector<fs::path> expected { a, a / "archived_sessions", a / "archived_sessions/2026", a / "archived_sessions/2026/06",
        a / "archived_sessions/2026/06/02", a / "sessions", a / "sessions/2026", a / "sessions/2026/05", a / "sessions/2026/05/20",
        a / "sessions/2026/06", day7, b, b / "archived_sessions", b / "sessions", b / "sessions/2026", b / "sessions/2026/06", day8 };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(watched, expected);
}

TEST(CodexLogReader, ReadsOnlyWhatChangedSinceTheLastPass)
{
    TemporaryDirectory folder;
    auto const home = folder.path() / ".codex";
    auto const log = home / "sessions/2026/06/08/rollout-1.jsonl";
    writeFile(log, lines({ tokenCountLine("2026-06-08T10:00:00.000Z", tokenInfo(100, 100), limits(5, 10)) }));
    CodexLogReader reader({ home });
    EXPECT_EQ(pass(reader).reading.weeklyTokens, 100);
    EXPECT_EQ(reader.counters().linesRead, 1);

    // One appended line and the start of another: only the complete one is read.
    auto const later = tokenCountLine("2026-06-08T10:30:00.000Z", tokenInfo(130, 30), limits(6, 11));
    appendFile(log, later + "\n" + later.substr(0, 40));
    auto second = pass(reader);
    EXPECT_EQ(reader.counters().filesRead, 2);
    EXPECT_EQ(reader.counters().linesRead, 2);
    EXPECT_EQ(second.reading.observations.front(), codexObservation("2026-06-08T10:30:00Z", 6, 11));

    // An unchanged log is not read again.
    pass(reader);
    EXPECT_EQ(reader.counters().filesRead, 2);

    // The incomplete line completed: read whole, counted once.
    auto const completed = tokenCountLine("2026-06-08T10:40:00.000Z", tokenInfo(140, 10), "null");
    fs::resize_file(log, fs::file_size(log) - 40);
    appendFile(log, completed + "\n");
    EXPECT_EQ(pass(reader).reading.weeklyTokens, 140);
    EXPECT_EQ(reader.counters().linesRead, 3);
    EXPECT_EQ(reader.counters().malformedLines, 0);

    // Rewritten shorter: read from the start, and nothing counts twice.
    writeFile(log, lines({ tokenCountLine("2026-06-08T10:00:00.000Z", tokenInfo(100, 100), limits(5, 10)) }));
    auto const rewritten = pass(reader);
    EXPECT_EQ(rewritten.reading.weeklyTokens, 140);
    EXPECT_EQ(rewritten.reading.observations.front(), codexObservation("2026-06-08T10:30:00Z", 6, 11));

    // A new date folder after midnight, the weekly window in the primary
    // place; of two records of the same instant, the one read last wins.
    auto const weeklyFirst = [](int used) {
        return fmt::format(R"({{"primary":{{"used_percent":{},"window_minutes":10080,"resets_at":{}}}}})", used, unixOf(weeklyReset));
    };
    writeFile(home / "sessions/2026/06/09/rollout-2.jsonl",
        lines({ tokenCountLine("2026-06-09T00:10:00.000Z", tokenInfo(9, 9), weeklyFirst(25)),
            tokenCountLine("2026-06-09T00:10:00.000Z", "null", weeklyFirst(30)) }));
    auto const nextDay = pass(reader, at("2026-06-09T00:15:00Z"));
    EXPECT_EQ(nextDay.reading.weeklyTokens, 149);
    EXPECT_EQ(nextDay.reading.observations.front().windows.front().usedPercent, 30);
}

TEST(CodexLogReader, ReadsWhatAFreshReaderReadsAfterEachChange)
{
    TemporaryDirectory folder;
    auto const home = folder.path() / ".codex";
    auto const day = home / "sessions/2026/06/08";
    auto const old = home / "sessions/2026/05/20/rollout-old.jsonl";
    auto const parentLine = tokenCountLine("2026-06-08T10:00:00.000Z", tokenInfo(100, 100), limits(5, 10));
    auto const otherLine = tokenCountLine("2026-06-08T09:00:00.000Z", tokenInfo(40, 40), limits(4, 9, "codex_other"));
    writeFile(day / "rollout-a.jsonl", lines({ parentLine }));
    writeFile(day / "rollout-b.jsonl.zst", compressed(lines({ otherLine })));
    writeFile(old, lines({ tokenCountLine("2026-05-20T10:00:00.000Z", tokenInfo(7, 7), "null") }));
    setModified(old, now - std::chrono::days(10));
    // By the real clock everything was last changed long ago, so the reader
    // may trust that a file whose stat is unchanged holds what it held.
    auto const age = [&] {
        auto const aged = now - minutes(30);
        for (auto const& entry : fs::recursive_directory_iterator(home)) {
            struct stat status {};
            ASSERT_EQ(::stat(entry.path().c_str(), &status), 0);
            if (status.st_mtim.tv_sec > unixOf(aged))
                setModified(entry.path(), aged);
        }
    };

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    std::vector<Step> const steps {
        { "nothing", [] {} },
        { "a line appended", [&] { appendFile(day / "rollout-a.jsonl", lines({ tokenCountLine("2026-06-08T10:30:00.000Z", tokenInfo(130, 30), limits(6, 11)) })); } },
        { "an old session resumed", [&] { appendFile(old, lines({ tokenCountLine("2026-06-08T11:50:00.000Z", tokenInfo(150, 20), limits(8, 12)) })); } },
        { "a compressed log written again, longer",
            [&] { writeFile(day / "rollout-b.jsonl.zst", compressed(lines({ otherLine, tokenCountLine("2026-06-08T11:10:00.000Z", tokenInfo(90, 50), limits(5, 10, "codex_other")) }))); } },
        { "a new log", [&] { writeFile(home / "archived_sessions/rollout-c.jsonl", lines({ parentLine, tokenCountLine("2026-06-08T11:55:00.000Z", tokenInfo(110, 10), limits(9, 13)) })); } },
    };

    age();
    CodexLogReader incremental({ home });
    pass(incremental);
    for (auto const& step : steps) {
        SCOPED_TRACE(step.what);
        // Aged again after the change, as an extracted copy is: only the
        // rest of its stat tells that it changed.
        step.change();
        age();
        CodexLogReader fresh({ home });
        EXPECT_EQ(pass(incremental).reading, pass(fresh).reading);
    }
    auto const last = pass(incremental).reading;
    EXPECT_EQ(last.observations.front(), codexObservation("2026-06-08T11:55:00Z", 9, 13));
    // 100 + 30 + 20 + 40 + 50 + 10
    EXPECT_EQ(last.weeklyTokens, 250);
}

TEST(CodexLogReader, TellsMissingEmptyAndUnreadableHomes)
{
    TemporaryDirectory folder;
    CodexLogReader missing({ folder.path() / "none", folder.path() / "neither" });
    EXPECT_EQ(pass(missing).reading, CodexReading {});

    fs::create_directories(folder.path() / "empty");
    CodexLogReader emptyReader({ folder.path() / "none", folder.path() / "empty" });
    auto const nothing = pass(emptyReader);
    EXPECT_EQ(nothing.reading.state, SourceState::present);
    EXPECT_TRUE(nothing.reading.observations.empty());
    EXPECT_EQ(nothing.reading.weeklyTokens, std::nullopt);

    // A file where the sessions folder belongs cannot be listed, not even by root.
    auto const broken = folder.path() / "broken";
    writeFile(broken / "sessions", "not a folder");
    CodexLogReader brokenReader({ broken });
    auto const unreadable = pass(brokenReader);
    EXPECT_EQ(unreadable.reading.state, SourceState::unreadable);
    EXPECT_EQ(unreadable.problems, std::vector<std::string> { "cannot read " + (broken / "sessions").string() + ": Not a directory" });
}

TEST(CodexLogReader, SkipsADateFolderItCannotRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads folders whatever their mode";
    TemporaryDirectory folder;
    auto const home = folder.path() / ".codex";
    writeFile(home / "sessions/2026/06/07/rollout-1.jsonl", lines({ tokenCountLine("2026-06-07T10:00:00.000Z", "null", limits(5, 10)) }));
    fs::create_directories(home / "sessions/2026/06/08");
    fs::permissions(home / "sessions/2026/06/08", fs::perms::none);
    CodexLogReader reader({ home });
    auto const result = pass(reader);
    fs::permissions(home / "sessions/2026/06/08", fs::perms::owner_all);
    EXPECT_EQ(result.reading.state, SourceState::present);
    EXPECT_EQ(result.reading.observations.size(), 1u);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_NE(result.problems.front().find("Permission denied"), std::string::npos);
}

TEST(CodexLogReader, ReportsTheLastKnownLimitsWhenNothingIsCurrent)
{
    // Where under the home, what it holds, when last modified: all before
    // the pruning bound (31 May, noon) but today's.
    struct Log {
        std::string path, text, modified;
    };
    auto const noLimits = [](std::string_view timestamp) { return tokenCountLine(timestamp, tokenInfo(5, 5), "null"); };
    std::vector<Log> manyWithoutLimits { { "sessions/2026/05/24/rollout-24.jsonl", recordAt("2026-05-24T10:00:00Z", 20, 30) + "\n", "2026-05-24T10:00:01Z" } };
    for (int day = 25; day < 30; ++day)
        manyWithoutLimits.push_back({ fmt::format("sessions/2026/05/{}/rollout-{}.jsonl", day, day), noLimits(fmt::format("2026-05-{}T10:00:00Z", day)) + "\n", fmt::format("2026-05-{}T10:00:01Z", day) });

    struct Case {
        const char* what;
        std::vector<Log> logs;
        std::vector<CodexObservation> expected;
        std::int64_t filesRead;
    };
    std::vector<Case> const cases {
        { "a plain log of nine days ago, with a second bucket, and a run of today without limits",
            { { "sessions/2026/05/30/rollout-a.jsonl",
                  lines({ recordAt("2026-05-30T09:00:00Z", 1, 2, "codex_other"), recordAt("2026-05-30T09:30:00Z", 20, 50), recordAt("2026-05-30T10:00:00Z", 30, 60) }),
                  "2026-05-30T10:00:01Z" },
                { "sessions/2026/06/08/rollout-today.jsonl", lines({ noLimits("2026-06-08T10:00:00Z") }), "2026-06-08T10:00:01Z" } },
            { observationAt("2026-05-30T10:00:00Z", 30, 60), observationAt("2026-05-30T09:00:00Z", 1, 2, "codex_other") }, 2 },
        // The older one was last modified before the newest record known.
        { "only compressed logs, twenty days old and older",
            { { "archived_sessions/rollout-b.jsonl.zst", compressed(recordAt("2026-05-19T08:00:00Z", 12, 40)), "2026-05-19T08:00:01Z" },
                { "archived_sessions/rollout-c.jsonl.zst", compressed(recordAt("2026-05-15T08:00:00Z", 50, 50, "codex_other")), "2026-05-15T08:00:01Z" } },
            { observationAt("2026-05-19T08:00:00Z", 12, 40) }, 1 },
        { "a later log without limits before one with them",
            { { "sessions/2026/05/29/rollout-d.jsonl", noLimits("2026-05-29T10:00:00Z") + "\n", "2026-05-29T10:00:01Z" },
                { "sessions/2026/05/27/rollout-e.jsonl", recordAt("2026-05-27T10:00:00Z", 20, 30) + "\n", "2026-05-27T10:00:01Z" },
                { "sessions/2026/05/25/rollout-f.jsonl", recordAt("2026-05-25T10:00:00Z", 90, 90, "codex_other") + "\n", "2026-05-25T10:00:01Z" } },
            { observationAt("2026-05-27T10:00:00Z", 20, 30) }, 2 },
        { "more logs without limits than are looked at", manyWithoutLimits, {}, 4 },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.what);
        TemporaryDirectory folder;
        auto const home = folder.path() / ".codex";
        for (auto const& log : test.logs) {
            writeFile(home / log.path, log.text);
            setModified(home / log.path, at(log.modified));
        }
        CodexLogReader reader({ home });
        auto const first = pass(reader);
        EXPECT_EQ(first.reading.state, SourceState::present);
        EXPECT_EQ(first.reading.observations, test.expected);
        // That week began before the token events kept.
        EXPECT_EQ(first.reading.weeklyTokens, std::nullopt);
        EXPECT_TRUE(first.problems.empty());
        EXPECT_EQ(reader.counters().filesRead, test.filesRead);
        EXPECT_EQ(reader.counters().malformedLines, 0);

        // Nothing changed: nothing is read again.
        auto const linesRead = reader.counters().linesRead;
        EXPECT_EQ(pass(reader).reading, first.reading);
        EXPECT_EQ(reader.counters().filesRead, test.filesRead);
        EXPECT_EQ(reader.counters().linesRead, linesRead);

        // A record of today: no old bucket stays beside it.
        writeFile(home / "sessions/2026/06/08/rollout-now.jsonl", lines({ tokenCountLine("2026-06-08T11:00:00Z", tokenInfo(50, 50), limits(5, 10)) }));
        EXPECT_EQ(pass(reader).reading.observations, std::vector<CodexObservation> { codexObservation("2026-06-08T11:00:00Z", 5, 10) });
    }
}

}

#include "TavvoHost/Claude/ClaudeCachedUsage.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

using TavvoHost::ClaudeObservation;
using TavvoHost::UsageWindow;

// 1787536800000 ms is 2026-08-24T02:00:00Z.
constexpr char const* cached = R"({"fetchedAtMs":1787536800000,
  "utilization":{"five_hour":{"utilization":2,"resets_at":"2026-08-24T02:59:59Z"},
                 "seven_day":{"utilization":17,"resets_at":"2026-08-28T09:00:00Z"}}})";

ClaudeObservation const expected {
    at("2026-08-24T02:00:00Z"),
    UsageWindow { TavvoHost::fiveHourWindow, 2, at("2026-08-24T02:59:59Z") },
    UsageWindow { TavvoHost::weeklyWindow, 17, at("2026-08-28T09:00:00Z") },
    {},
};

TEST(ClaudeCachedUsage, FindsTheOneKeyAmongUnrelatedSettings)
{
    std::string const key = R"("cachedUsageUtilization":)";
    struct Case {
        std::string name;
        std::string text;
        std::optional<ClaudeObservation> observation;
    };
    std::vector<Case> const cases {
        { "the key alone", "{" + key + cached + "}", expected },
        { "among settings, nested values and arrays before and after",
            R"({"numStartups":12,"projects":{"/x":{"cachedUsageUtilization":1,"a":[[{}],[]]}},"tips":[1,"two",null,true],)" + key + cached
                + R"(,"userID":"abc"})",
            expected },
        { "deep nesting elsewhere does not exhaust the stack", R"({"deep":)" + std::string(100000, '[') + std::string(100000, ']') + "," + key + cached + "}",
            expected },
        // What follows the value is not read, so a file cut short there still serves.
        { "a file cut short after the value", "{" + key + cached + R"(,"userID":)", expected },
        { "only a nested key of that name", R"({"projects":{"cachedUsageUtilization":)" + std::string(cached) + "}}", std::nullopt },
        { "absent", R"({"numStartups":12})", std::nullopt },
        { "not an object", "{" + key + "[1,2]}", std::nullopt },
        { "no time of fetching", "{" + key + R"({"utilization":{}}})", std::nullopt },
        { "a time of fetching in 1970", "{" + key + R"({"fetchedAtMs":1000}})", std::nullopt },
        // A document without a window is no reading at all.
        { "no utilization", "{" + key + R"({"fetchedAtMs":1787536800000}})", std::nullopt },
        { "windows of the wrong types", "{" + key + R"({"fetchedAtMs":1787536800000,"utilization":{"five_hour":{"utilization":"2"},"seven_day":7}}})",
            std::nullopt },
        { "an empty list of limits", "{" + key + R"({"fetchedAtMs":1787536800000,"utilization":{"limits":[]}}})", std::nullopt },
        { "not JSON before the key", "{\"a\":nope," + key + cached + "}", std::nullopt },
        { "an array at the top", "[{" + key + cached + "}]", std::nullopt },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoHost::parseClaudeCachedUsage(item.text), item.observation) << item.name;
}

// 1788500671609 ms is 2026-09-04T05:44:31.609Z.
std::string listShape(const std::string& limits)
{
    return R"({"cachedUsageUtilization":{"fetchedAtMs":1788500671609,"utilization":{"limits":[)" + limits + "]}}}";
}

constexpr char const* sessionLimit
    = R"({"kind":"session","group":"session","percent":33,"resets_at":"2026-09-04T07:50:00.439964+00:00","scope":null,"is_active":false})";
constexpr char const* weeklyLimit
    = R"({"kind":"weekly_all","group":"weekly","percent":64,"resets_at":"2026-09-04T18:00:00.439983+02:00","scope":null,"is_active":true})";
constexpr char const* opusLimit
    = R"({"kind":"weekly_scoped","group":"weekly","percent":10,"resets_at":null,"scope":{"model":{"display_name":"Opus"}},"is_active":false})";

TEST(ClaudeCachedUsage, ReadsTheListOfLimits)
{
    using namespace std::chrono;
    auto const fetched = at("2026-09-04T05:44:31Z");
    UsageWindow const session { TavvoHost::fiveHourWindow, 33, at("2026-09-04T07:50:00Z") + microseconds(439964) };
    UsageWindow const weekly { TavvoHost::weeklyWindow, 64, at("2026-09-04T16:00:00Z") + microseconds(439983) };
    TavvoHost::ClaudeModelWindow const opus { "Opus", { TavvoHost::weeklyWindow, 10, std::nullopt } };
    struct Case {
        std::string name;
        std::string text;
        std::optional<ClaudeObservation> observation;
    };
    std::vector<Case> const cases {
        { "every kind", listShape(std::string(sessionLimit) + "," + weeklyLimit + "," + opusLimit),
            ClaudeObservation { fetched, session, weekly, { opus } } },
        { "a model's limit alone", listShape(opusLimit), ClaudeObservation { fetched, std::nullopt, std::nullopt, { opus } } },
        { "an unknown kind beside a known one", listShape(R"({"kind":"monthly","percent":5},)" + std::string(sessionLimit)),
            ClaudeObservation { fetched, session, std::nullopt, {} } },
        { "only unknown kinds", listShape(R"({"kind":"monthly","percent":5})"), std::nullopt },
        { "entries of the wrong shape are passed over",
            listShape(R"(7,null,{"percent":5},{"kind":"session","percent":"33"},{"kind":"weekly_scoped","percent":3,"scope":null},)"
                      R"({"kind":"weekly_scoped","percent":3,"scope":{"model":{"display_name":""}}},)"
                + std::string(weeklyLimit)),
            ClaudeObservation { fetched, std::nullopt, weekly, {} } },
        { "the first of two entries for one window", listShape(std::string(opusLimit) + "," + opusLimit + R"(,{"kind":"weekly_all","percent":1},)" + weeklyLimit),
            ClaudeObservation { fetched, std::nullopt, UsageWindow { TavvoHost::weeklyWindow, 1, std::nullopt }, { opus } } },
        { "both shapes: the list first, the older shape for the rest",
            R"({"cachedUsageUtilization":{"fetchedAtMs":1788500671609,"utilization":{"five_hour":{"utilization":2},)"
            R"("seven_day":{"utilization":17},"limits":[)"
                + std::string(weeklyLimit) + "]}}}",
            ClaudeObservation { fetched, UsageWindow { TavvoHost::fiveHourWindow, 2, std::nullopt }, weekly, {} } },
        { "a list that is no list", R"({"cachedUsageUtilization":{"fetchedAtMs":1788500671609,"utilization":{"limits":{"kind":"session"}}}})",
            std::nullopt },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoHost::parseClaudeCachedUsage(item.text), item.observation) << item.name;
}

TEST(ClaudeCachedUsage, AReaderParsesTheFileAgainOnlyWhenItChanged)
{
    TemporaryDirectory folder;
    auto const file = folder.path() / ".claude.json";
    auto const write = [&](const std::filesystem::path& path, int used) {
        std::ofstream(path) << R"({"cachedUsageUtilization":{"fetchedAtMs":1787536800000,"utilization":{"five_hour":{"utilization":)"
                            << used << "}}}}";
    };
    auto const used = [](const TavvoHost::ClaudeFileReading& reading) { return reading.observation->fiveHour->usedPercent; };
    TavvoHost::ClaudeCachedUsageReader reader;
    write(file, 10);
    EXPECT_EQ(used(reader.read(file)), 10);

    // Claude Code replaces the file by renaming a new one into place.
    write(folder.path() / "new", 20);
    std::filesystem::rename(folder.path() / "new", file);
    EXPECT_EQ(used(reader.read(file)), 20);

    // Rewritten in place, its size and modification time kept: the change
    // time still tells.
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    write(file, 30);
    timespec const times[2] = { before.st_atim, before.st_mtim };
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_EQ(used(reader.read(file)), 30);

    std::filesystem::remove(file);
    EXPECT_EQ(reader.read(file).state, TavvoHost::SourceState::missing);
}

}

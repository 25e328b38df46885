#include "TavvoHost/Claude/ClaudeCachedUsage.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

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
        { "no utilization: observed, no windows", "{" + key + R"({"fetchedAtMs":1787536800000}})",
            ClaudeObservation { at("2026-08-24T02:00:00Z"), std::nullopt, std::nullopt } },
        { "windows of the wrong types", "{" + key + R"({"fetchedAtMs":1787536800000,"utilization":{"five_hour":{"utilization":"2"},"seven_day":7}}})",
            ClaudeObservation { at("2026-08-24T02:00:00Z"), std::nullopt, std::nullopt } },
        { "not JSON before the key", "{\"a\":nope," + key + cached + "}", std::nullopt },
        { "an array at the top", "[{" + key + cached + "}]", std::nullopt },
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

    // The same file, same size, same time: the last reading stands.
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    write(file, 30);
    timespec const times[2] = { before.st_atim, before.st_mtim };
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_EQ(used(reader.read(file)), 20);

    std::filesystem::remove(file);
    EXPECT_EQ(reader.read(file).state, TavvoHost::SourceState::missing);
}

}

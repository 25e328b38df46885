#include "Platform/WidgetKit/ReloadSchedule.hpp"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using WidgetKit::ReloadSchedule;
using WidgetKit::TimelineReloadPolicy;

Foundation::Date const start = Foundation::Date(1'800'000'000s);

}

TEST(ReloadSchedule, AsksAtOnceThenAtTheReloadDate)
{
    ReloadSchedule schedule;
    EXPECT_EQ(schedule.delay(start), 0ms);
    schedule.timelineAnswered(start, TimelineReloadPolicy::after(start + 11s));
    EXPECT_EQ(schedule.delay(start), 11s);
    EXPECT_EQ(schedule.delay(start + 10'999'500us), 1ms); // rounded up: never early
    EXPECT_EQ(schedule.delay(start + 12s), 0ms);
    // A reload date already past (a clock set back, a slow answer): at once.
    schedule.timelineAnswered(start, TimelineReloadPolicy::after(start - 1s));
    EXPECT_EQ(schedule.delay(start), 0ms);
}

TEST(ReloadSchedule, ChangesBringTheRequestForwardButNeverPutItOff)
{
    ReloadSchedule schedule;
    schedule.timelineAnswered(start, TimelineReloadPolicy::after(start + 300s));
    schedule.sourceChanged(start + 10s);
    EXPECT_EQ(schedule.nextRequest(), start + 10s + ReloadSchedule::settleDelay);
    // More events of the same burst keep the first request.
    schedule.sourceChanged(start + 10s + 50ms);
    EXPECT_EQ(schedule.nextRequest(), start + 10s + ReloadSchedule::settleDelay);

    schedule.timelineAnswered(start, TimelineReloadPolicy::after(start + 20ms));
    schedule.sourceChanged(start);
    EXPECT_EQ(schedule.nextRequest(), start + 20ms);
}

TEST(ReloadSchedule, FailuresBackOffUntilATimelineArrives)
{
    ReloadSchedule schedule;
    std::vector<std::chrono::seconds> pauses;
    for (int failure = 0; failure < 9; ++failure) {
        schedule.requestFailed(start);
        pauses.push_back(std::chrono::duration_cast<std::chrono::seconds>(schedule.delay(start)));
    }
    EXPECT_EQ(pauses, (std::vector<std::chrono::seconds> { 5s, 10s, 20s, 40s, 80s, 160s, 300s, 300s, 300s }));
    // A change still asks soon, and a good answer starts the pauses over.
    schedule.sourceChanged(start);
    EXPECT_EQ(schedule.delay(start), ReloadSchedule::settleDelay);
    schedule.timelineAnswered(start, TimelineReloadPolicy::after(start + 300s));
    schedule.requestFailed(start);
    EXPECT_EQ(schedule.delay(start), 5s);
}

TEST(ReloadSchedule, TheEndsOfTimeNeitherOverflowNorWrap)
{
    ReloadSchedule schedule;
    schedule.requestFailed(Foundation::Date::max() - 1s);
    EXPECT_EQ(schedule.nextRequest(), Foundation::Date::max());
    schedule.timelineAnswered(start, TimelineReloadPolicy::after(Foundation::Date::max()));
    EXPECT_EQ(schedule.delay(Foundation::Date::min()), std::chrono::milliseconds::max());
    EXPECT_GT(schedule.delay(start), 0ms);
    schedule.sourceChanged(Foundation::Date::max());
    EXPECT_EQ(schedule.nextRequest(), Foundation::Date::max());
}

#include "Platform/Foundation/InternetDateTime.hpp"

#include <gtest/gtest.h>

using namespace std::chrono;
using Foundation::Date;
using Foundation::formatInternetDateTime;
using Foundation::parseInternetDateTime;

namespace {

Date utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0)
{
    return time_point_cast<microseconds>(sys_days(year(y) / month(mo) / day(d)) + hours(h) + minutes(mi) + seconds(s));
}

}

TEST(InternetDateTime, ReadsUTCAndOffsets)
{
    EXPECT_EQ(parseInternetDateTime("2026-01-31T09:05:00Z"), utc(2026, 1, 31, 9, 5));
    // The widest offsets in use, across the ends of the four-digit years.
    EXPECT_EQ(parseInternetDateTime("0001-01-01T00:00:00+14:00"), utc(0, 12, 31, 10));
    EXPECT_EQ(parseInternetDateTime("9999-12-31T23:59:59-12:00"), utc(10000, 1, 1, 11, 59, 59));
    EXPECT_EQ(parseInternetDateTime("0001-01-01T00:00:00Z"), utc(1, 1, 1));
    EXPECT_EQ(parseInternetDateTime("9999-12-31T23:59:59Z"), utc(9999, 12, 31, 23, 59, 59));
    EXPECT_EQ(parseInternetDateTime("2024-02-29T12:00:00Z"), utc(2024, 2, 29, 12));
}

TEST(InternetDateTime, RefusesEverythingElse)
{
    for (const char* text : {
             // Fractional seconds, no zone, lower-case separators, a blank.
             "2026-01-31T09:05:00.250Z", "2026-01-31T09:05:00", "2026-01-31t09:05:00Z", "2026-01-31T09:05:00z", "2026-01-31 09:05:00Z",
             // Short fields, dates and times that do not exist, a leap second.
             "2026-1-31T09:05:00Z", "2026-01-31T9:05:00Z", "2026-02-30T09:05:00Z", "2025-02-29T09:05:00Z", "2026-13-01T09:05:00Z",
             "2026-00-01T09:05:00Z", "2026-01-00T09:05:00Z", "2026-01-31T24:00:00Z", "2026-01-31T23:60:00Z", "2026-12-31T23:59:60Z",
             // Offsets out of range or written another way.
             "2026-01-31T09:05:00+24:00", "2026-01-31T09:05:00+01:60", "2026-01-31T09:05:00+0100", "2026-01-31T09:05:00+01",
             "+2026-01-31T09:05:00Z", "2026-01-31T09:05:00Z ", " 2026-01-31T09:05:00Z", "", "1769850300", "２０２６-01-31T09:05:00Z",
         }) {
        EXPECT_FALSE(parseInternetDateTime(text)) << text;
    }
}

TEST(InternetDateTime, WritesUTCAtWholeSeconds)
{
    EXPECT_EQ(formatInternetDateTime(utc(2026, 1, 31, 9, 5)), "2026-01-31T09:05:00Z");
    EXPECT_EQ(formatInternetDateTime(utc(2026, 1, 31, 9, 5) + microseconds(999'999)), "2026-01-31T09:05:00Z");
    // Before the epoch the sub-second part still rounds down, to the earlier second.
    EXPECT_EQ(formatInternetDateTime(utc(1969, 12, 31, 23, 59, 59) + microseconds(500'000)), "1969-12-31T23:59:59Z");
    EXPECT_EQ(formatInternetDateTime(utc(0, 1, 1)), "0000-01-01T00:00:00Z");
    EXPECT_EQ(formatInternetDateTime(utc(9999, 12, 31, 23, 59, 59)), "9999-12-31T23:59:59Z");
    EXPECT_FALSE(formatInternetDateTime(utc(10000, 1, 1)));
    EXPECT_FALSE(formatInternetDateTime(utc(-1, 12, 31)));
    EXPECT_FALSE(formatInternetDateTime(Date::min()));
    EXPECT_FALSE(formatInternetDateTime(Date::max()));
}

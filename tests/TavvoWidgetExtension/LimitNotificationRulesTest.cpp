#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationRules.hpp"

#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace TavvoSurfaces;
using WidgetTest::limit;
using WidgetTest::now;
using ID = TavvoWidgetProviderID;
using Severity = NovikSeverity;
using State = TavvoWidgetForecastState;

// Instants as minutes from `now`, so that tables read as offsets.
std::string offset(std::optional<Foundation::Date> date)
{
    if (!date)
        return "?";
    return fmt::format("{:+}m", std::chrono::duration_cast<std::chrono::minutes>(*date - now).count());
}

// "critical: worsened codex.five critical", "normal: forecast".
std::string described(const LimitNotificationEvent& event)
{
    auto const level = urgency(event) == Foundation::Urgency::critical ? "critical" : "normal";
    auto const* limit = std::get_if<LimitEvent>(&event);
    if (!limit)
        return fmt::format("{}: forecast", level);
    return fmt::format("{}: {} {}.{} {}", level, limit->kind == LimitEvent::Kind::worsened ? "worsened" : "reset",
        Foundation::rawValue(limit->provider), limit->limit.id, Foundation::rawValue(limit->severity));
}

// "codex.five@+120m tight", then "forecast@+600m told".
std::string described(const LimitNotificationRecord& record)
{
    std::vector<std::string> parts;
    for (auto const& [key, window] : record.limits)
        parts.push_back(fmt::format("{}.{}@{} {}", Foundation::rawValue(key.provider), key.limitID, offset(window.resetDate),
            Foundation::rawValue(window.highestSeverity)));
    if (record.forecast)
        parts.push_back(fmt::format("forecast@{} {}", offset(record.forecast->resetAt),
            record.forecast->runsOutBeforeReset == ForecastNotice::told ? "told" : "pending"));
    return fmt::format("{}", fmt::join(parts, ", "));
}

LimitNotificationRecord known(ID provider, std::string id, std::optional<Foundation::Date> reset, Severity severity)
{
    return { { { { provider, std::move(id) }, { reset, severity } } }, std::nullopt };
}

LimitNotificationRecord forecastKnown(std::optional<Foundation::Date> reset, ForecastNotice notice)
{
    return { {}, ForecastWindowRecord { reset, notice } };
}

TavvoWidgetEntry entry(std::vector<TavvoWidgetProviderSnapshot> providers, std::optional<CodexAnalyticsSummary> analytics = std::nullopt)
{
    return { now, TavvoWidgetSnapshot { 4, now - 1min, std::move(providers), std::move(analytics) }, std::nullopt };
}

TavvoWidgetEntry codex(std::vector<TavvoWidgetLimitSnapshot> limits)
{
    return entry({ WidgetTest::provider(ID::codex, std::move(limits)) });
}

TavvoWidgetEntry forecast(State state, Foundation::Date observedAt = now - 1min)
{
    return entry({}, CodexAnalyticsSummary { std::nullopt, std::nullopt, std::nullopt, state, std::nullopt, now + 10h, 30, observedAt, 0, std::nullopt });
}

auto const first = Evaluation::first;
auto const later = Evaluation::later;
auto const in2h = now + 2h;

}

// Each case: what was remembered, what the entry shows, whether this is
// the process's first look; the events told and what is remembered after.
// GCC 12 at -O2 takes the copies of the empty records' maps in the table
// below for uninitialized, a false positive of its flow analysis, and the
// build treats warnings as errors.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

TEST(LimitNotificationRules, TellEachEventOncePerLimitAndWindow)
{
    struct Case {
        const char* situation;
        LimitNotificationRecord before;
        TavvoWidgetEntry entry;
        Evaluation evaluation;
        std::vector<std::string> events;
        std::string after;
    };
    auto const both = entry({ WidgetTest::provider(ID::claude, { limit("c", 20, in2h) }), WidgetTest::provider(ID::codex, { limit("x", 5, in2h) }) });
    Case const cases[] = {
        { "first look, nothing remembered: all silent", {}, codex({ limit("five", 8, in2h) }), first, {}, "codex.five@+120m critical" },
        { "first look at a known limit: what changed meanwhile is news", known(ID::codex, "five", in2h, Severity::ok),
            codex({ limit("five", 8, in2h) }), first, { "critical: worsened codex.five critical" }, "codex.five@+120m critical" },
        { "a limit first seen while running is news", {}, codex({ limit("five", 25, in2h) }), later, { "normal: worsened codex.five tight" },
            "codex.five@+120m tight" },
        { "ok into watch is no news", known(ID::codex, "five", in2h, Severity::ok), codex({ limit("five", 45, in2h) }), later, {},
            "codex.five@+120m watch" },
        { "tight into critical", known(ID::codex, "five", in2h, Severity::tight), codex({ limit("five", 10, in2h) }), later,
            { "critical: worsened codex.five critical" }, "codex.five@+120m critical" },
        { "tight again in the same window", known(ID::codex, "five", in2h, Severity::critical), codex({ limit("five", 20, in2h) }), later, {},
            "codex.five@+120m critical" },
        { "a reset date that jitters is the same window, moved", known(ID::codex, "five", in2h + 4min, Severity::tight),
            codex({ limit("five", 20, in2h) }), later, {}, "codex.five@+120m tight" },
        { "an unknown reset date is the same window", known(ID::codex, "five", std::nullopt, Severity::tight),
            codex({ limit("five", 20, in2h) }), later, {}, "codex.five@+120m tight" },
        { "a new window after critical", known(ID::codex, "five", now - 3h + 6min, Severity::critical), codex({ limit("five", 97, in2h) }),
            first, { "normal: reset codex.five ok" }, "codex.five@+120m ok" },
        { "a new window that starts tight tells both", known(ID::codex, "five", now - 3h, Severity::critical),
            codex({ limit("five", 15, in2h) }), later, { "normal: reset codex.five tight", "normal: worsened codex.five tight" },
            "codex.five@+120m tight" },
        { "a new window after watch is no news", known(ID::codex, "five", now - 3h, Severity::watch), codex({ limit("five", 97, in2h) }),
            later, {}, "codex.five@+120m ok" },
        { "only the binding limit worsens aloud", known(ID::codex, "week", now + 3h, Severity::critical),
            codex({ limit("five", 25, in2h), limit("week", 5, now + 3h) }), later, {}, "codex.five@+120m tight, codex.week@+180m critical" },
        { "a window already over is left alone", known(ID::codex, "five", now - 1h, Severity::critical), codex({ limit("five", 5, now - 1h) }),
            later, {}, "codex.five@-60m critical" },
        { "stale data is left alone", known(ID::codex, "five", in2h, Severity::ok),
            entry({ WidgetTest::staled(WidgetTest::provider(ID::codex, { limit("five", 5, in2h) })) }), later, {}, "codex.five@+120m ok" },
        { "codex first, then claude", {}, both, later, { "critical: worsened codex.x critical", "normal: worsened claude.c tight" },
            "codex.x@+120m critical, claude.c@+120m tight" },
        { "the forecast on first look is already there", {}, forecast(State::exhaustsBeforeReset), first, {}, "forecast@+600m told" },
        { "the forecast turns", forecastKnown(now + 10h, ForecastNotice::pending), forecast(State::exhaustsBeforeReset), later,
            { "normal: forecast" }, "forecast@+600m told" },
        { "the forecast told in this window", forecastKnown(now + 10h + 2min, ForecastNotice::told), forecast(State::exhaustsBeforeReset),
            first, {}, "forecast@+600m told" },
        { "the forecast told in the last window", forecastKnown(now - 7 * 24h + 10h, ForecastNotice::told),
            forecast(State::exhaustsBeforeReset), first, { "normal: forecast" }, "forecast@+600m told" },
        { "a forecast that lasts is remembered as pending", forecastKnown(now - 7 * 24h, ForecastNotice::told),
            forecast(State::lastsUntilReset), later, {}, "forecast@+600m pending" },
        { "a stale forecast is left alone", forecastKnown(now + 10h, ForecastNotice::pending),
            forecast(State::exhaustsBeforeReset, now - 1h), later, {}, "forecast@+600m pending" },
    };
    for (auto const& test : cases) {
        auto const outcome = evaluateLimitNotifications(test.before, test.entry, test.evaluation);
        std::vector<std::string> events;
        for (auto const& event : outcome.events)
            events.push_back(described(event));
        EXPECT_EQ(events, test.events) << test.situation;
        EXPECT_EQ(described(outcome.record), test.after) << test.situation;
    }
}

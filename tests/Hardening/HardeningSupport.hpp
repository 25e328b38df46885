// Documents and helpers shared by the hardening and coding tests: two real
// documents that differ in every part a torn write could mix up, the
// decoding of a text or the decoder's refusal of it, and a forked child
// that never returns into the test framework.
#pragma once

#include "TavvoShared/Snapshot/DecodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/wait.h>
#include <unistd.h>

namespace Hardening {

// A document with every field present, the credits at full precision and
// texts outside ASCII.
inline TavvoWidgetSnapshot fullDocument(std::string codexTitle = "Codex")
{
    return TavvoWidgetSnapshot {
        TavvoWidgetSnapshot::currentSchemaVersion,
        at("2026-01-31T09:05:00Z"),
        {
            TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::codex, std::move(codexTitle), "Pro plan",
                TavvoWidgetProviderStatus::available,
                {
                    { "codex.five_hour", "5h", 63, at("2026-01-31T12:00:00Z") },
                    { "codex.weekly", "Неделя", std::nullopt, std::nullopt },
                },
                at("2026-01-31T09:00:00Z"), at("2026-01-31T09:15:00Z"), "note \"quoted\" / ünï 😀" },
            TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::claude, "Claude", std::nullopt,
                TavvoWidgetProviderStatus::error, { { "claude.five_hour", "五小时", -5, std::nullopt } },
                at("2026-01-31T08:00:00Z"), std::nullopt, std::nullopt },
        },
        CodexAnalyticsSummary { "me@example.com", "Pro", "Weekly", TavvoWidgetForecastState::exhaustsBeforeReset,
            at("2026-02-01T00:00:00Z"), at("2026-02-02T00:00:00Z"), 41, at("2026-01-31T09:00:00Z"), 1234567,
            Foundation::Decimal::fromString("12345678901234567890.123456789012345678") },
    };
}

// A second document sharing nothing with the first but its layout: other
// dates, other counts, no analytics.
inline TavvoWidgetSnapshot otherDocument()
{
    return TavvoWidgetSnapshot {
        TavvoWidgetSnapshot::currentSchemaVersion,
        at("2027-06-01T18:30:00Z"),
        {
            TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::claude, "Claude Code", std::nullopt,
                TavvoWidgetProviderStatus::available,
                { { "claude.weekly", "Weekly", 7, at("2027-06-03T00:00:00Z") } }, at("2027-06-01T18:29:00Z"),
                at("2027-06-01T18:44:00Z"), std::nullopt },
        },
        std::nullopt,
    };
}

inline std::string encode(const TavvoWidgetSnapshot& snapshot)
{
    return TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot);
}

inline TavvoWidgetSnapshot decode(std::string_view json)
{
    return TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(json);
}

// The decoded document, or nothing when the decoder refused the text with
// its own error. Anything else it throws reaches the test as a failure.
inline std::optional<TavvoWidgetSnapshot> decodeOrNothing(std::string_view json)
{
    try {
        return decode(json);
    } catch (const Tavvo::DecodingError&) {
        return std::nullopt;
    }
}

// The decoder's own error for a text it must refuse, or "(decoded)".
inline std::string refusal(std::string_view json)
{
    try {
        decode(json);
    } catch (const Tavvo::DecodingError& error) {
        return error.what();
    }
    return "(decoded)";
}

// Runs `body` in a forked child that exits with 0 when it returns and 1
// when it throws; the child never unwinds into the test framework.
inline pid_t forkChild(const std::function<void()>& body)
{
    pid_t const pid = ::fork();
    if (pid == 0) {
        int status = 1;
        try {
            body();
            status = 0;
        } catch (...) {
        }
        ::_exit(status);
    }
    return pid;
}

}

// Codex session-log lines in the shapes Codex writes, for the tests.
#pragma once

#include <fmt/format.h>

#include <cstdint>
#include <string>
#include <string_view>

// A token-count event; `info` and `limits` are JSON text ("null" allowed).
inline std::string tokenCountLine(std::string_view timestamp, std::string_view info, std::string_view limits)
{
    return fmt::format(R"({{"timestamp":"{}","type":"event_msg","payload":{{"type":"token_count","info":{},"rate_limits":{}}}}})",
        timestamp, info, limits);
}

// `info` with a running total and a last turn that differ only in total_tokens.
inline std::string tokenInfo(std::int64_t runningTotal, std::int64_t lastTurn)
{
    return fmt::format(R"({{"total_token_usage":{{"input_tokens":100,"total_tokens":{}}},"last_token_usage":{{"input_tokens":10,"total_tokens":{}}},"model_context_window":272000}})",
        runningTotal, lastTurn);
}

// The current shape of the limits: two windows with their reset instants.
inline std::string currentLimits(double fiveHourUsed, std::int64_t fiveHourReset, double weeklyUsed, std::int64_t weeklyReset,
    std::string_view limitId = "codex")
{
    return fmt::format(R"({{"limit_id":"{}","limit_name":null,"primary":{{"used_percent":{},"window_minutes":300,"resets_at":{}}},)"
                       R"("secondary":{{"used_percent":{},"window_minutes":10080,"resets_at":{}}},)"
                       R"("credits":{{"has_credits":false,"unlimited":false,"balance":null}},"plan_type":"plus","rate_limit_reached_type":null}})",
        limitId, fiveHourUsed, fiveHourReset, weeklyUsed, weeklyReset);
}

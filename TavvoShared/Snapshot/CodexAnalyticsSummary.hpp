// CodexAnalyticsSummary: usage analytics and the forecast for the codex
// provider.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/Decimal.hpp"
#include "Platform/Foundation/HashCombine.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetForecastState.hpp"

#include <cstdint>
#include <optional>
#include <string>

struct CodexAnalyticsSummary {
    std::optional<std::string> accountLabel;
    std::optional<std::string> planTitle;
    std::optional<std::string> quotaTitle;
    TavvoWidgetForecastState forecastState;
    std::optional<Foundation::Date> predictedExhaustionAt;
    std::optional<Foundation::Date> resetAt;
    std::optional<std::int64_t> remainingPercent;
    std::optional<Foundation::Date> forecastObservedAt;
    std::int64_t weeklyTokens;
    std::optional<Foundation::Decimal> weeklyCredits; // exact, as written in the JSON number

    friend bool operator==(const CodexAnalyticsSummary&, const CodexAnalyticsSummary&) = default;
};

template <>
struct std::hash<CodexAnalyticsSummary> {
    std::size_t operator()(const CodexAnalyticsSummary& summary) const noexcept
    {
        std::size_t seed = 0;
        Foundation::hashCombine(seed, summary.accountLabel);
        Foundation::hashCombine(seed, summary.planTitle);
        Foundation::hashCombine(seed, summary.quotaTitle);
        Foundation::hashCombine(seed, Foundation::rawValue(summary.forecastState));
        Foundation::hashCombine(seed, summary.predictedExhaustionAt);
        Foundation::hashCombine(seed, summary.resetAt);
        Foundation::hashCombine(seed, summary.remainingPercent);
        Foundation::hashCombine(seed, summary.forecastObservedAt);
        Foundation::hashCombine(seed, summary.weeklyTokens);
        Foundation::hashCombine(seed, summary.weeklyCredits);
        return seed;
    }
};

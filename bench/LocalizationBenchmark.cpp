// The texts and formatters the widget calls for every row it draws, next
// to the floors they cannot beat: ICU formatting with a formatter built
// once, and printing an integer with no lookup at all.
#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/Localization/NumberFormatting.hpp"
#include "TavvoShared/Localization/ResetTexts.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <benchmark/benchmark.h>
#include <unicode/smpdtfmt.h>

#include <chrono>
#include <memory>

namespace {

Foundation::Date const sampleDate { std::chrono::seconds(1'790'000'000) };

// Every case speaks Russian, the language with the most involved data.
class Localization : public benchmark::Fixture {
    std::unique_ptr<ScopedLanguage> m_language;

public:
    void SetUp(benchmark::State&) override { m_language = std::make_unique<ScopedLanguage>("ru", "Europe/Paris"); }
    void TearDown(benchmark::State&) override { m_language.reset(); }
};

}

BENCHMARK_F(Localization, Tr)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::tr("duration.hours_minutes", { 3, 25 }));
}

BENCHMARK_F(Localization, PercentRemaining)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::percentRemaining(42));
}

BENCHMARK_F(Localization, ShortTime)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::shortTime(sampleDate));
}

BENCHMARK_F(Localization, ShortDate)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::shortDate(sampleDate));
}

BENCHMARK_F(Localization, Countdown)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::countdown(sampleDate + std::chrono::seconds(12'345), sampleDate));
}

BENCHMARK_F(Localization, DurationLabel)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::durationLabel(std::chrono::minutes(2880)));
}

BENCHMARK_F(Localization, WindowLabel)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::windowLabel(std::chrono::minutes(300), "Limit"));
}

BENCHMARK_F(Localization, ResetCompactText)(benchmark::State& state)
{
    // Two days ahead: the day-and-time wording, the longest of the three.
    auto const reset = sampleDate + std::chrono::hours(50);
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::resetCompactText(reset, sampleDate));
}

BENCHMARK_F(Localization, LocalizedDecimal)(benchmark::State& state)
{
    auto const value = *Foundation::Decimal::fromString("1234.56");
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::localizedDecimal(value, 1));
}

BENCHMARK_F(Localization, LocalizedInteger)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::localizedInteger(12'400'000));
}

BENCHMARK_F(Localization, LocalizedCurrencyUSD)(benchmark::State& state)
{
    auto const value = *Foundation::Decimal::fromString("482.5");
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::localizedCurrencyUSD(value, 2));
}

BENCHMARK_F(Localization, FloorPrebuiltDateFormatter)(benchmark::State& state)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat const formatter(u"HH:mm", icu::Locale("ru"), status);
    for (auto _ : state) {
        icu::UnicodeString text;
        formatter.format(static_cast<UDate>(1'790'000'000'000.0), text);
        std::string result;
        benchmark::DoNotOptimize(text.toUTF8String(result));
    }
}

BENCHMARK_F(Localization, FloorIntegerToString)(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(std::to_string(42) + "%");
}

BENCHMARK_MAIN();

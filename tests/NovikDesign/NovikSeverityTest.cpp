#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <thread>

namespace {

constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();

}

TEST(NovikSeverity, ThresholdsOfUsedAndRemainingShares)
{
    using enum NovikSeverity;
    std::pair<std::optional<std::int64_t>, NovikSeverity> const used[] = {
        { std::nullopt, unknown }, { -5, ok }, { 49, ok }, { 50, watch }, { 69, watch }, { 70, tight },
        { 89, tight }, { 90, critical }, { 150, critical }, { int64Min, ok }, { int64Max, critical },
    };
    for (auto const& [value, expected] : used)
        EXPECT_EQ(NovikSeverities::forUsed(value), expected) << value.value_or(-1);

    std::pair<std::optional<std::int64_t>, NovikSeverity> const remaining[] = {
        { std::nullopt, unknown }, { 120, ok }, { 51, ok }, { 50, watch }, { 31, watch }, { 30, tight },
        { 11, tight }, { 10, critical }, { 0, critical }, { -20, critical },
        // 100 − remaining would leave 64 bits for the first three.
        { int64Min, critical }, { int64Min + 100, critical }, { 100 - int64Max - 1, critical },
        { 100 - int64Max, critical }, { int64Max, ok },
    };
    for (auto const& [value, expected] : remaining)
        EXPECT_EQ(NovikSeverities::forRemaining(value), expected) << value.value_or(-1);
}

TEST(NovikPalette, FirstUseFromManyThreadsMakesOneColor)
{
    std::vector<const UI::Color*> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < seen.size(); ++index)
        threads.emplace_back([&seen, index] { seen[index] = &TavvoProviderAppearance::claude().color; });
    for (auto& thread : threads)
        thread.join();
    for (auto const* color : seen)
        EXPECT_EQ(color, seen.front());
}

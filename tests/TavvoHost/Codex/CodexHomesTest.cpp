#include "TavvoHost/Codex/CodexHomes.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(CodexHomes, SplitsTheValueOrFallsBackToTheHomeFolder)
{
    struct Case {
        std::optional<std::string> value;
        std::optional<std::filesystem::path> home;
        Paths homes;
    };
    std::vector<Case> const cases {
        { std::nullopt, "/home/u", { "/home/u/.codex" } },
        { "", "/home/u", { "/home/u/.codex" } },
        { ",,", "/home/u", { "/home/u/.codex" } },
        { "/a", "/home/u", { "/a" } },
        { "/a,,/b,", std::nullopt, { "/a", "/b" } },
        { "/with space,/b", "/home/u", { "/with space", "/b" } },
        { std::nullopt, std::nullopt, {} },
        { "", std::filesystem::path(), {} },
    };
    for (auto const& c : cases)
        EXPECT_EQ(TavvoHost::codexHomes(c.value, c.home), c.homes) << c.value.value_or("(unset)");
}

}

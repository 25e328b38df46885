#include "TavvoHost/Codex/CodexAppServer.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace std::chrono_literals;
using namespace TavvoHost;

namespace {

using Clock = std::chrono::steady_clock;

// The stand-in server behaving as `behaviour`, read with `timeout`.
std::variant<CodexAppServerAnswer, std::string> readFake(const std::string& behaviour,
    std::chrono::milliseconds timeout = 10s, const std::optional<std::string>& log = std::nullopt)
{
    ScopedEnvironment environment { { "FAKE_CODEX_BEHAVIOUR", behaviour }, { "FAKE_CODEX_LOG", log } };
    return readCodexAppServer(TAVVO_FAKE_CODEX, at("2026-06-01T08:15:42Z") + 750ms, timeout);
}

UsageWindow const fiveHours { fiveHourWindow, 25.0, Foundation::Date(std::chrono::seconds(1790884401)) };
UsageWindow const week { weeklyWindow, 61.5, Foundation::Date(std::chrono::seconds(1791471201)) };

}

TEST(CodexAppServer, SpeaksTheProtocolLineByLine)
{
    TemporaryDirectory folder;
    auto const log = folder.path() / "received";
    readFake("normal", 10s, log.string());
    std::ostringstream received;
    received << std::ifstream(log).rdbuf();
    // The input is closed at the end, so the server ends by itself.
    EXPECT_EQ(received.str(),
        "{\"method\":\"initialize\",\"id\":0,\"params\":{\"clientInfo\":"
        "{\"name\":\"tavvo\",\"title\":\"Tavvo\",\"version\":\"" TAVVO_VERSION "\"}}}\n"
        "{\"method\":\"initialized\"}\n"
        "{\"method\":\"account/rateLimits/read\",\"id\":1}\n"
        "{\"method\":\"account/read\",\"id\":2,\"params\":{\"refreshToken\":false}}\n"
        "<end of input>\n");
}

TEST(CodexAppServer, ReadsWhatEachAccountHas)
{
    auto const answer = [](std::vector<UsageWindow> windows, std::optional<std::string> planType, std::optional<std::string> email) {
        return CodexAppServerAnswer { { at("2026-06-01T08:15:42Z"), "codex", std::nullopt, std::move(planType), std::move(windows) }, std::move(email) };
    };
    std::pair<std::string, CodexAppServerAnswer> const cases[] {
        { "normal", answer({ fiveHours, week }, "pro", "user@example.com") },
        // Notifications, and a request of the server's own that reuses an
        // id of ours, come before and between the answers.
        { "notifications", answer({ fiveHours, week }, "pro", "user@example.com") },
        { "minutes-off", answer({ fiveHours, week }, "pro", "user@example.com") },
        // A null window is left out; a window without a length keeps the rest.
        { "null-window", answer({ { std::nullopt, 3.0, std::nullopt } }, "pro", "user@example.com") },
        { "api-key-with-limits", answer({ fiveHours, week }, std::nullopt, std::nullopt) },
    };
    for (auto const& [behaviour, expected] : cases) {
        SCOPED_TRACE(behaviour);
        auto const outcome = readFake(behaviour);
        ASSERT_TRUE(std::holds_alternative<CodexAppServerAnswer>(outcome)) << std::get<std::string>(outcome);
        EXPECT_EQ(std::get<CodexAppServerAnswer>(outcome), expected);
    }
}

TEST(CodexAppServer, GivesAShortReasonForEachFailure)
{
    std::string longMessage = "line one line two";
    for (int count = 0; count < 91; ++count)
        longMessage += "é";
    std::pair<std::string, std::string> const cases[] {
        { "error", "codex app-server refused account/rateLimits/read: rate limits need a ChatGPT login (-32001)" },
        // On one line, cut short, and never inside a character.
        { "long-error", "codex app-server refused account/rateLimits/read: " + longMessage + "… (-1)" },
        { "not-logged-in", "no rate limits for this account" },
        { "api-key", "no rate limits for this account" },
        { "no-windows", "no rate limits for this account" },
        { "exit-early", "codex app-server ended before answering" },
        { "malformed", "codex app-server wrote a line that is no JSON-RPC message" },
    };
    for (auto const& [behaviour, reason] : cases) {
        SCOPED_TRACE(behaviour);
        auto const outcome = readFake(behaviour);
        ASSERT_TRUE(std::holds_alternative<std::string>(outcome));
        EXPECT_EQ(std::get<std::string>(outcome), reason);
    }

    auto const missing = readCodexAppServer("tavvo-test-no-such-codex", at("2026-06-01T08:15:42Z"), 1s);
    ASSERT_TRUE(std::holds_alternative<std::string>(missing));
    EXPECT_EQ(std::get<std::string>(missing), "cannot start tavvo-test-no-such-codex: No such file or directory");
}

TEST(CodexAppServer, GivesUpOnASilentServerAtTheDeadline)
{
    auto const started = Clock::now();
    auto const outcome = readFake("silent", 500ms);
    auto const took = Clock::now() - started;
    ASSERT_TRUE(std::holds_alternative<std::string>(outcome));
    EXPECT_EQ(std::get<std::string>(outcome), "codex app-server did not answer within 0.5 s");
    EXPECT_GE(took, 500ms);
    EXPECT_LT(took, 1500ms) << "the silent server is killed at the deadline, not waited for";
}

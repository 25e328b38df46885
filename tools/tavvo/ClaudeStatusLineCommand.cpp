#include "ClaudeStatusLineCommand.hpp"

#include "Platform/CommandLine/ValueCompletion.hpp"
#include "Platform/Foundation/ChildProcess.hpp"
#include "Platform/Foundation/StandardInput.hpp"
#include "TavvoHost/Claude/ClaudeFeed.hpp"
#include "TavvoHost/Claude/ClaudeStatusLineInput.hpp"
#include "TavvoHost/Claude/ClaudeStatusLineText.hpp"

#include <fmt/format.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace TavvoTools {

namespace {

using CommandLine::ExitStatus;

// Claude Code's input is a few kilobytes; anything near this is not it.
constexpr std::size_t maximumInputLength = 1024 * 1024;

// Claude Code waits for the line on every update of its screen: a previous
// command slower than this has stopped answering, and its output would be
// stale by the time it came.
constexpr std::chrono::seconds previousCommandTimeout { 5 };
constexpr std::size_t maximumPreviousOutput = 1024 * 1024;

Foundation::Date nowToTheSecond()
{
    return std::chrono::time_point_cast<std::chrono::seconds>(Foundation::currentDate());
}

// A feed that cannot be written must not cost the user the line: the
// failure goes to standard error, and Claude Code shows standard output.
void record(const TavvoHost::ClaudeStatusLineInput& input, Foundation::Date now)
{
    if (!input.hasLimits())
        return;
    auto const file = TavvoHost::claudeFeedFile();
    if (!file) {
        fmt::print(stderr, "tavvo: warning: no state folder (XDG_STATE_HOME or HOME) to record the limits in\n");
        return;
    }
    try {
        TavvoHost::recordClaudeFeed(*file, { now, input.fiveHour, input.sevenDay, {} });
    } catch (const std::system_error& error) {
        fmt::print(stderr, "tavvo: warning: {}\n", error.what());
    }
}

// Runs the status-line command the user had before, with the same input,
// and prints its output in place of ours, passing its status through.
// Nothing when it could not start or did not finish: our own line is
// better than none.
std::optional<ExitStatus> runPreviousCommand(const std::vector<std::string>& command, const std::string& input)
{
    Foundation::ProcessOutcome outcome;
    try {
        outcome = Foundation::runToCompletion(command, input, previousCommandTimeout, maximumPreviousOutput);
    } catch (const std::system_error& error) {
        fmt::print(stderr, "tavvo: warning: {}\n", error.what());
        return std::nullopt;
    }
    if (outcome.timedOut) {
        fmt::print(stderr, "tavvo: warning: {} did not finish within {} seconds\n", command.front(), previousCommandTimeout.count());
        return std::nullopt;
    }
    std::fwrite(outcome.output.data(), 1, outcome.output.size(), stdout);
    if (!outcome.exitStatus) {
        fmt::print(stderr, "tavvo: {} was ended by a signal\n", command.front());
        return ExitStatus::failure;
    }
    return static_cast<ExitStatus>(*outcome.exitStatus);
}

struct Settings {
    std::vector<std::string> previousCommand; // empty: none
};

ExitStatus claudeStatusLine(const std::vector<std::string>& previousCommand)
{
    auto const read = Foundation::readStandardInput(maximumInputLength);
    if (!read)
        throw std::runtime_error("standard input is longer than 1 MiB: not a status-line input");
    auto const& bytes = *read;
    auto const now = nowToTheSecond();
    auto input = TavvoHost::parseClaudeStatusLineInput(bytes);
    if (!input) {
        // Still a line, so the status line stays in place.
        fmt::print(stderr, "tavvo: warning: standard input is not a JSON object\n");
        input.emplace();
    }
    record(*input, now);
    if (!previousCommand.empty()) {
        if (auto const status = runPreviousCommand(previousCommand, bytes))
            return *status;
    }
    fmt::print("{}\n", TavvoHost::claudeStatusLineText(*input, now));
    return ExitStatus::success;
}

}

void addClaudeStatusLineCommand(CommandLine::Program& program)
{
    auto [command, settings] = program.command({ "claude-statusline" },
        "Claude Code's status line: read the JSON Claude Code writes to standard input (at most 1 MiB), record its "
        "limits for 'tavvo collect' and print one line with what is left. After --, the status-line command used "
        "before runs with the same input and its output and status are passed on instead.",
        Settings {}, [](const Settings& chosen) { return claudeStatusLine(chosen.previousCommand); });
    command.add_option("COMMAND", settings.previousCommand, "the previous status-line command and its arguments, after --")
        // Bounded, because the program's level already holds one operand list
        // of unbounded length and the parser accepts only one such.
        ->expected(0, 1 << 16)
        ->type_name("")
        ->check(CommandLine::completes(CommandLine::ValueKind::commandLine));
}

}

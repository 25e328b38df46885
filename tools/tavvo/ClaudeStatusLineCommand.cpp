#include "ClaudeStatusLineCommand.hpp"

#include "TavvoHost/Claude/ClaudeFeed.hpp"
#include "TavvoHost/Claude/ClaudeStatusLineInput.hpp"
#include "TavvoHost/Claude/ClaudeStatusLineText.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

using CommandLine::ExitStatus;

// Claude Code's input is a few kilobytes; anything near this is not it.
constexpr std::size_t maximumInputLength = 1024 * 1024;

// Standard input to its end, or an error once it is longer than the
// maximum: one byte more than that is read, never the rest.
std::string readStandardInput()
{
    std::string bytes;
    while (bytes.size() <= maximumInputLength) {
        auto const start = bytes.size();
        bytes.resize(std::min(start + 64 * 1024, maximumInputLength + 1));
        ssize_t const count = ::read(STDIN_FILENO, bytes.data() + start, bytes.size() - start);
        bytes.resize(start + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        if (count < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "cannot read standard input");
        if (count == 0)
            return bytes;
    }
    throw std::runtime_error("standard input is longer than 1 MiB: not a status-line input");
}

Foundation::Date nowToTheSecond()
{
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

// A feed that cannot be written must not cost the user the line: the
// failure goes to standard error, which Claude Code does not show.
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
        TavvoHost::recordClaudeFeed(*file, { now, input.fiveHour, input.sevenDay });
    } catch (const std::system_error& error) {
        fmt::print(stderr, "tavvo: warning: {}\n", error.what());
    }
}

ExitStatus claudeStatusLine()
{
    auto const bytes = readStandardInput();
    auto const now = nowToTheSecond();
    auto input = TavvoHost::parseClaudeStatusLineInput(bytes);
    if (!input) {
        // Still a line, so the status line stays in place.
        fmt::print(stderr, "tavvo: warning: standard input is not a JSON object\n");
        input.emplace();
    }
    record(*input, now);
    fmt::print("{}\n", TavvoHost::claudeStatusLineText(*input, now));
    return ExitStatus::success;
}

}

void addClaudeStatusLineCommand(CommandLine::Program& program)
{
    program.command({ "claude-statusline" },
        "Claude Code's status line: read the JSON Claude Code writes to standard input, record its limits for "
        "'tavvo collect' and print one line with what is left.",
        [] { return claudeStatusLine(); });
}

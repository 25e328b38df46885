// Fuzzes the reading of Codex session-log lines with arbitrary bytes, as a
// crashed session, a broken disk or a future Codex could leave them.
//
// The input is cut into lines as the log reader cuts them (with a small
// cap, so that over-long lines are exercised too) and every line is read.
// Nothing may crash or trip a sanitizer, and what is read as a token event
// must hold the promises the rest of the host relies on: a timestamp in
// the years 2000–9999, used shares that are numbers, resets in range.
#include "TavvoHost/Codex/CodexLogLine.hpp"
#include "TavvoHost/LogFiles/LineSplitter.hpp"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace std::chrono;

constexpr sys_days earliest = year(2000) / January / 1;
constexpr sys_days latest = year(10000) / January / 1;

void require(bool condition, const char* what, std::string_view line)
{
    if (condition)
        return;
    std::fprintf(stderr, "broken promise: %s\nline: %.*s\n", what, static_cast<int>(line.size()), line.data());
    std::abort();
}

struct Checker final : TavvoHost::LineConsumer {
    void startOfFile() override { }
    void line(std::string_view text) override
    {
        auto const parsed = TavvoHost::parseCodexLogLine(text);
        require(parsed == TavvoHost::parseCodexLogLine(text), "the same line reads the same twice", text);
        require(parsed.tokenCount.has_value() == (parsed.kind == TavvoHost::CodexLogLine::Kind::tokenCount), "an event only with its kind", text);
        if (!parsed.tokenCount)
            return;
        auto const& event = *parsed.tokenCount;
        require(event.timestamp >= earliest && event.timestamp < latest, "timestamp in range", text);
        if (!event.rateLimits)
            return;
        require(!event.rateLimits->limitId.empty(), "a bucket id", text);
        for (auto const& window : event.rateLimits->windows) {
            require(!window.usedPercent || std::isfinite(*window.usedPercent), "a finite share", text);
            require(!window.length || window.length->count() > 0, "a positive length", text);
            require(!window.resetsAt || (*window.resetsAt >= earliest && *window.resetsAt < latest), "reset in range", text);
        }
    }
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TavvoHost::LineSplitter splitter(4096);
    Checker checker;
    splitter.feed(std::string_view(reinterpret_cast<const char*>(data), size), checker);
    splitter.feed("\n", checker);
    return 0;
}

// CodexAppServer: fresh Codex limits asked of the user's own `codex
// app-server`, for when no Codex session has written any lately.
//
// The exchange is JSON-RPC, one object per line on the program's standard
// input and output: `initialize` (answered before anything else is sent),
// the `initialized` notification, then `account/rateLimits/read` and
// `account/read` together. Notifications may come at any time and are
// skipped; answers are matched by id, in whatever order they come.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/CodexReading.hpp"

#include <chrono>
#include <optional>
#include <string>
#include <variant>

namespace TavvoHost {

struct CodexAppServerAnswer {
    // Observed at the `now` given (whole seconds), bucket "codex", the
    // account's plan, and the windows the server reported, primary first.
    CodexObservation observation;
    // The e-mail of a ChatGPT account; nothing for an API key or no login.
    std::optional<std::string> email;

    friend bool operator==(const CodexAppServerAnswer&, const CodexAppServerAnswer&) = default;
};

// The server's limits, or a short reason why there are none (the program
// cannot start, ends early, answers with an error or with a line that is
// no JSON-RPC message, says nothing before the timeout, or the account
// has no rate limits at all). Whatever happens, the program's input is
// closed afterwards and it is given a moment to end before it is killed;
// nothing runs past `timeout`.
std::variant<CodexAppServerAnswer, std::string> readCodexAppServer(const std::string& program, Foundation::Date now,
    std::chrono::milliseconds timeout);

// How long the server may take by default: it is slow to start and needs
// the network.
inline constexpr std::chrono::milliseconds codexAppServerTimeout { 10'000 };

}

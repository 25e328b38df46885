#include "TavvoHost/Codex/CodexAppServer.hpp"

#include "TavvoHost/Observation/ObservedDates.hpp"

#include "Platform/Foundation/ChildProcess.hpp"
#include "Platform/Foundation/JSONMembers.hpp"
#include "Platform/Foundation/JSONWriter.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <map>
#include <system_error>
#include <utility>

namespace TavvoHost {

namespace {

using Clock = Foundation::ChildProcess::Clock;
using Writer = Foundation::JSONLineWriter;

// No answer of the server comes near this; a longer line is refused
// rather than held.
constexpr std::size_t maximumLineLength = 1024 * 1024;

// How long a server that has its answers (or has failed) may take to end
// once its input is closed, before it is killed.
constexpr std::chrono::milliseconds endingGrace { 1000 };

// Longer windows than a century are no limit anybody keeps, and their
// lengths could not be added to an instant.
constexpr auto longestWindow = std::chrono::duration_cast<std::chrono::minutes>(std::chrono::years(100));

// An error answer's message is the server's to word; a reason stays short.
constexpr std::size_t maximumMessageLength = 200;

enum RequestId : int {
    initializeId = 0,
    rateLimitsId = 1,
    accountId = 2,
};

constexpr char const* noRateLimitsReason = "no rate limits for this account";

// Ends the exchange with a reason for the caller.
struct ExchangeFailure {
    std::string reason;
};

// One message as a line: the method, the id of a request (a notification
// has none), and the params written by `writeParams`, if any.
std::string messageLine(std::string_view method, std::optional<int> id, const std::function<void(Writer&)>& writeParams = {})
{
    Writer writer;
    writer.StartObject();
    writer.Key("method");
    Foundation::writeJSONString(writer, method);
    if (id) {
        writer.Key("id");
        writer.Int(*id);
    }
    if (writeParams) {
        writer.Key("params");
        writer.StartObject();
        writeParams(writer);
        writer.EndObject();
    }
    writer.EndObject();
    return std::string(writer.text()) + '\n';
}

std::string initializeLine()
{
    return messageLine("initialize", initializeId, [](Writer& writer) {
        writer.Key("clientInfo");
        writer.StartObject();
        writer.Key("name");
        writer.String("tavvo");
        writer.Key("title");
        writer.String("Tavvo");
        writer.Key("version");
        writer.String(TAVVO_VERSION);
        writer.EndObject();
    });
}

std::string requestsAfterInitializing()
{
    return messageLine("initialized", std::nullopt) + messageLine("account/rateLimits/read", rateLimitsId)
        + messageLine("account/read", accountId, [](Writer& writer) {
              // The server may answer from what it has; it never needs to
              // renew the login for us.
              writer.Key("refreshToken");
              writer.Bool(false);
          });
}

// `text` as one line of at most `length` bytes (and an ellipsis), never
// cut inside a UTF-8 sequence: a reason is printed as one line.
std::string oneShortLine(std::string_view text, std::size_t length)
{
    bool const cut = text.size() > length;
    if (cut) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
        text = text.substr(0, length);
    }
    std::string line(text);
    std::replace_if(line.begin(), line.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x20; }, ' ');
    return cut ? line + "…" : line;
}

using Foundation::jsonMember;
using Foundation::jsonString;

// The instants a reset may have: a Unix time in the years 2000–9999.
std::optional<Foundation::Date> resetDate(const rapidjson::Value* value)
{
    if (!value || !value->IsNumber())
        return std::nullopt;
    return dateFromUnixSeconds(value->GetDouble());
}

// One of the answer's windows; nothing when the server sent null (or no
// object) in its place.
std::optional<UsageWindow> usageWindow(const rapidjson::Value* value)
{
    if (!value || !value->IsObject())
        return std::nullopt;
    UsageWindow window;
    if (auto const* minutes = jsonMember(*value, "windowDurationMins");
        minutes && minutes->IsInt64() && minutes->GetInt64() > 0 && minutes->GetInt64() <= longestWindow.count())
        window.length = standardWindowLength(std::chrono::minutes(minutes->GetInt64()));
    if (auto const* used = jsonMember(*value, "usedPercent"); used && used->IsNumber() && std::isfinite(used->GetDouble()))
        window.usedPercent = used->GetDouble();
    window.resetsAt = resetDate(jsonMember(*value, "resetsAt"));
    return window;
}

std::vector<UsageWindow> usageWindows(const rapidjson::Value& result)
{
    std::vector<UsageWindow> windows;
    auto const* rateLimits = jsonMember(result, "rateLimits");
    if (!rateLimits)
        return windows;
    for (char const* name : { "primary", "secondary" }) {
        if (auto window = usageWindow(jsonMember(*rateLimits, name)))
            windows.push_back(*window);
    }
    return windows;
}

// What the server answered to one request: its result, or why it refused.
struct Answer {
    rapidjson::Document result;
    std::optional<std::string> refusal;

    const rapidjson::Document& resultOrFailure() const
    {
        if (refusal)
            throw ExchangeFailure { *refusal };
        return result;
    }
};

// One exchange with a running server, each step bounded by the deadline.
class Exchange {
public:
    Exchange(Foundation::ChildProcess& server, Clock::time_point deadline, std::chrono::milliseconds timeout)
        : m_server(server)
        , m_deadline(deadline)
        , m_timeout(timeout)
    {
    }

    void send(std::string_view lines)
    {
        try {
            m_server.writeAll(lines, m_deadline);
        } catch (const std::system_error& error) {
            throw ExchangeFailure { failureReason(error) };
        }
    }

    // Reads until every one of `ids` is answered, and returns the answers
    // by id.
    std::map<int, Answer> awaitAnswers(std::map<int, std::string_view> ids)
    {
        std::map<int, Answer> answers;
        while (!ids.empty()) {
            rapidjson::Document message = nextMessage();
            auto const* id = jsonMember(message, "id");
            // A notification, a request of the server's own, or an answer
            // to nobody we know: none concerns this exchange.
            if (jsonMember(message, "method") || !id || !id->IsInt() || !ids.contains(id->GetInt()))
                continue;
            int const answered = id->GetInt();
            Answer answer;
            if (auto const* error = jsonMember(message, "error")) {
                answer.refusal = refusalReason(ids.at(answered), *error);
            } else if (auto const* result = jsonMember(message, "result")) {
                answer.result.CopyFrom(*result, answer.result.GetAllocator());
            } else {
                throw ExchangeFailure { malformedReason() };
            }
            answers.emplace(answered, std::move(answer));
            ids.erase(answered);
        }
        return answers;
    }

private:
    rapidjson::Document nextMessage()
    {
        std::optional<std::string> line;
        try {
            line = m_server.readLine(maximumLineLength, m_deadline);
        } catch (const std::system_error& error) {
            throw ExchangeFailure { failureReason(error) };
        }
        if (!line)
            throw ExchangeFailure { "codex app-server ended before answering" };
        auto message = Foundation::parseJSONObject(*line);
        if (!message)
            throw ExchangeFailure { malformedReason() };
        return std::move(*message);
    }

    std::string failureReason(const std::system_error& error) const
    {
        switch (error.code().value()) {
        case ETIMEDOUT:
            return fmt::format("codex app-server did not answer within {:g} s", m_timeout.count() / 1000.0);
        case EPIPE:
            return "codex app-server ended before answering";
        case EMSGSIZE:
            return fmt::format("codex app-server wrote a line longer than {} bytes", maximumLineLength);
        default:
            return error.what();
        }
    }

    static std::string malformedReason() { return "codex app-server wrote a line that is no JSON-RPC message"; }

    static std::string refusalReason(std::string_view method, const rapidjson::Value& error)
    {
        auto const message = jsonString(jsonMember(error, "message")).value_or("no message");
        auto const* code = jsonMember(error, "code");
        if (code && code->IsInt64())
            return fmt::format("codex app-server refused {}: {} ({})", method, oneShortLine(message, maximumMessageLength), code->GetInt64());
        return fmt::format("codex app-server refused {}: {}", method, oneShortLine(message, maximumMessageLength));
    }

    Foundation::ChildProcess& m_server;
    Clock::time_point m_deadline;
    std::chrono::milliseconds m_timeout;
};

// Without a ChatGPT login (no account, or an API key) there are no rate
// limits, and the server may well refuse to read them: that is no fault
// of the server's worth reporting as one.
CodexAppServerAnswer answerFrom(const Answer& rateLimits, const Answer& accountAnswer, Foundation::Date now)
{
    auto const& accountResult = accountAnswer.resultOrFailure();
    auto const* account = jsonMember(accountResult, "account");
    bool const loggedIn = account && account->IsObject() && jsonString(jsonMember(*account, "type")) != "apiKey";
    if (!loggedIn && rateLimits.refusal)
        throw ExchangeFailure { noRateLimitsReason };

    CodexAppServerAnswer answer;
    answer.observation.observedAt = std::chrono::floor<std::chrono::seconds>(now);
    answer.observation.limitId = "codex";
    answer.observation.windows = usageWindows(rateLimits.resultOrFailure());
    if (answer.observation.windows.empty())
        throw ExchangeFailure { noRateLimitsReason };
    if (loggedIn) {
        answer.observation.planType = jsonString(jsonMember(*account, "planType"));
        answer.email = jsonString(jsonMember(*account, "email"));
    }
    return answer;
}

CodexAppServerAnswer exchange(Foundation::ChildProcess& server, Foundation::Date now, Clock::time_point deadline,
    std::chrono::milliseconds timeout)
{
    Exchange exchange(server, deadline, timeout);
    exchange.send(initializeLine());
    exchange.awaitAnswers({ { initializeId, "initialize" } }).at(initializeId).resultOrFailure();
    exchange.send(requestsAfterInitializing());
    auto const answers = exchange.awaitAnswers({ { rateLimitsId, "account/rateLimits/read" }, { accountId, "account/read" } });
    return answerFrom(answers.at(rateLimitsId), answers.at(accountId), now);
}

}

std::variant<CodexAppServerAnswer, std::string> readCodexAppServer(const std::string& program, Foundation::Date now,
    std::chrono::milliseconds timeout)
{
    auto const deadline = Foundation::ChildProcess::deadlineAfter(timeout);
    std::optional<Foundation::ChildProcess> server;
    try {
        server.emplace(std::vector<std::string> { program, "app-server" });
    } catch (const std::system_error& error) {
        return error.what();
    }
    std::variant<CodexAppServerAnswer, std::string> outcome;
    try {
        outcome = exchange(*server, now, deadline, timeout);
    } catch (const ExchangeFailure& failure) {
        outcome = failure.reason;
    } catch (const std::system_error& error) {
        outcome = error.what();
    }
    server->finish(std::min(deadline, Clock::now() + endingGrace));
    return outcome;
}

}

#include "TavvoHost/Codex/CodexLogLine.hpp"

#include "TavvoHost/Observation/ObservedDates.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/Foundation/JSONMembers.hpp"

#include <rapidjson/document.h>
#include <rapidjson/reader.h>

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace TavvoHost {

using namespace std::chrono;

namespace {

// Thrown inside this file only, to leave a line of the wrong shape at once.
struct Malformed { };

using Value = rapidjson::Value;
using Document = rapidjson::GenericDocument<rapidjson::UTF8<>, rapidjson::MemoryPoolAllocator<>, rapidjson::MemoryPoolAllocator<>>;
using Reader = rapidjson::GenericReader<rapidjson::UTF8<>, rapidjson::UTF8<>, rapidjson::MemoryPoolAllocator<>>;
using Size = rapidjson::SizeType;

// Hands the parser's events on to a document, but stops the parse at a
// nesting deeper than Codex's records go. The recursive parser takes
// stack for each level, so a crafted line of brackets must end before the
// stack does; it is far quicker than the iterative one on the records.
class NestingLimit {
public:
    static constexpr int maxDepth = 32;

    explicit NestingLimit(Document& document)
        : m_document(document)
    {
    }

    bool exceeded() const { return m_depth > maxDepth; }

    bool Null() { return m_document.Null(); }
    bool Bool(bool value) { return m_document.Bool(value); }
    bool Int(int value) { return m_document.Int(value); }
    bool Uint(unsigned value) { return m_document.Uint(value); }
    bool Int64(std::int64_t value) { return m_document.Int64(value); }
    bool Uint64(std::uint64_t value) { return m_document.Uint64(value); }
    bool Double(double value) { return m_document.Double(value); }
    bool RawNumber(const char* text, Size length, bool copy) { return m_document.RawNumber(text, length, copy); }
    bool String(const char* text, Size length, bool copy) { return m_document.String(text, length, copy); }
    bool Key(const char* text, Size length, bool copy) { return m_document.Key(text, length, copy); }
    bool StartObject() { return enter() && m_document.StartObject(); }
    bool EndObject(Size members) { return leave(m_document.EndObject(members)); }
    bool StartArray() { return enter() && m_document.StartArray(); }
    bool EndArray(Size elements) { return leave(m_document.EndArray(elements)); }

private:
    bool enter() { return ++m_depth <= maxDepth; }
    bool leave(bool accepted)
    {
        --m_depth;
        return accepted;
    }

    Document& m_document;
    int m_depth = 0;
};

// Nothing for an absent or null member: Codex writes either for "unknown".
const Value* member(const Value& object, std::string_view name)
{
    auto const* value = Foundation::jsonMember(object, name);
    return value && !value->IsNull() ? value : nullptr;
}

const Value* objectMember(const Value& object, std::string_view name)
{
    auto const* value = member(object, name);
    if (value && !value->IsObject())
        throw Malformed {};
    return value;
}

// A text the reader keeps must be valid UTF-8 for the snapshot; the parser
// does not check the encoding, since nearly all of a line is thrown away.
std::optional<std::string> stringMember(const Value& object, std::string_view name)
{
    auto const* value = member(object, name);
    if (!value)
        return std::nullopt;
    auto const text = Foundation::jsonText(value);
    if (!text || !g_utf8_validate_len(text->data(), static_cast<gssize>(text->size()), nullptr))
        throw Malformed {};
    return std::string(*text);
}

std::optional<double> numberMember(const Value& object, std::string_view name)
{
    auto const* value = member(object, name);
    if (!value)
        return std::nullopt;
    if (!value->IsNumber())
        throw Malformed {};
    return value->GetDouble();
}

std::int64_t countMember(const Value& object, std::string_view name)
{
    auto const* value = member(object, name);
    if (!value)
        return 0;
    if (!value->IsUint64() || value->GetUint64() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        throw Malformed {};
    return static_cast<std::int64_t>(value->GetUint64());
}

std::optional<CodexTokenUsage> usageMember(const Value& object, std::string_view name)
{
    auto const* usage = objectMember(object, name);
    if (!usage)
        return std::nullopt;
    return CodexTokenUsage { countMember(*usage, "input_tokens"), countMember(*usage, "cached_input_tokens"),
        countMember(*usage, "output_tokens"), countMember(*usage, "reasoning_output_tokens"),
        countMember(*usage, "total_tokens") };
}

// The names one window's values go by in one shape of the record.
struct WindowKeys {
    const char* usedPercent;
    const char* windowMinutes;
    const char* resetsAt; // nullptr where the shape has none
    const char* resetsAfter; // seconds from the line's timestamp
};

constexpr WindowKeys nestedKeys { "used_percent", "window_minutes", "resets_at", "resets_in_seconds" };
constexpr WindowKeys flatPrimaryKeys { "primary_used_percent", "primary_window_minutes", nullptr, "primary_reset_after_seconds" };
constexpr WindowKeys flatSecondaryKeys { "secondary_used_percent", "secondary_window_minutes", nullptr, "secondary_reset_after_seconds" };

std::optional<UsageWindow> readWindow(const Value& object, const WindowKeys& keys, sys_seconds lineSecond)
{
    UsageWindow window;
    if (auto const used = numberMember(object, keys.usedPercent); used && std::isfinite(*used))
        window.usedPercent = used;
    // A length is a positive whole number of minutes (ten years at most).
    if (auto const length = numberMember(object, keys.windowMinutes);
        length && *length >= 1 && *length <= 5'256'000 && *length == std::floor(*length))
        window.length = standardWindowLength(minutes(static_cast<minutes::rep>(*length)));
    auto const resetsAt = keys.resetsAt ? numberMember(object, keys.resetsAt) : std::nullopt;
    auto const resetsAfter = numberMember(object, keys.resetsAfter);
    if (resetsAt)
        window.resetsAt = dateFromUnixSeconds(*resetsAt);
    else if (resetsAfter)
        window.resetsAt = dateFromUnixSeconds(static_cast<double>(lineSecond.time_since_epoch().count()) + *resetsAfter);

    if (!window.usedPercent && !window.length && !window.resetsAt)
        return std::nullopt;
    return window;
}

// Nothing when the record holds no window at all: such a record is no
// reading, and must not hide the newest one that had numbers.
std::optional<CodexObservation> readRateLimits(const Value& limits, sys_seconds lineSecond)
{
    CodexObservation observation { Foundation::Date(lineSecond), "codex", stringMember(limits, "limit_name"),
        stringMember(limits, "plan_type"), {} };
    if (auto const limitId = stringMember(limits, "limit_id"); limitId && !limitId->empty())
        observation.limitId = *limitId;

    auto const* primary = objectMember(limits, "primary");
    auto const* secondary = objectMember(limits, "secondary");
    auto add = [&](std::optional<UsageWindow> window) {
        if (window)
            observation.windows.push_back(*window);
    };
    if (primary || secondary || limits.HasMember("primary") || limits.HasMember("secondary")) {
        if (primary)
            add(readWindow(*primary, nestedKeys, lineSecond));
        if (secondary)
            add(readWindow(*secondary, nestedKeys, lineSecond));
    } else {
        add(readWindow(limits, flatPrimaryKeys, lineSecond));
        add(readWindow(limits, flatSecondaryKeys, lineSecond));
    }
    if (observation.windows.empty())
        return std::nullopt;
    return observation;
}

bool isString(const Value* value, std::string_view text)
{
    if (!value)
        return false;
    if (!value->IsString())
        throw Malformed {};
    return std::string_view(value->GetString(), value->GetStringLength()) == text;
}

CodexLogLine parseDocument(const Document& document)
{
    if (!document.IsObject())
        throw Malformed {};
    if (!isString(member(document, "type"), "event_msg"))
        return {};
    auto const* payload = objectMember(document, "payload");
    if (!payload || !isString(member(*payload, "type"), "token_count"))
        return {};

    auto const text = stringMember(document, "timestamp");
    auto const timestamp = text ? dateFromTimestampText(*text) : std::nullopt;
    if (!timestamp)
        throw Malformed {};
    auto const lineSecond = floor<seconds>(*timestamp);

    CodexTokenCount event { *timestamp, std::nullopt, std::nullopt, std::nullopt };
    if (auto const* info = objectMember(*payload, "info")) {
        event.totalUsage = usageMember(*info, "total_token_usage");
        event.lastUsage = usageMember(*info, "last_token_usage");
    }
    if (auto const* limits = objectMember(*payload, "rate_limits"))
        event.rateLimits = readRateLimits(*limits, lineSecond);
    return { CodexLogLine::Kind::tokenCount, std::move(event) };
}

// Whether the text holds "token_count". Nearly every line is passed over
// here, so this is the reader's hot loop: an underscore is rare in the
// conversation text that fills the logs, and memchr finds it several times
// faster than a general substring search finds the word.
bool mentionsTokenCount(std::string_view text)
{
    constexpr std::string_view word = "token_count";
    constexpr std::size_t before = word.find('_');
    constexpr std::size_t after = word.size() - before;
    std::size_t position = before;
    while (position + after <= text.size()) {
        auto const* underscore = static_cast<char const*>(std::memchr(text.data() + position, '_', text.size() - position - after + 1));
        if (!underscore)
            return false;
        position = static_cast<std::size_t>(underscore - text.data());
        if (text.substr(position - before, word.size()) == word)
            return true;
        ++position;
    }
    return false;
}

// The text of the JSON string that starts `text` after `key`, and what
// follows its closing quote; nothing when `text` does not start with `key`
// or the string holds an escape (the slow road reads those). Every line
// passes here, so the key's length is a constant the comparison is
// unrolled for, and the short string is scanned inline rather than by calls.
template <std::size_t keySize>
std::optional<std::pair<std::string_view, std::string_view>> plainStringAfter(std::string_view text, const char (&key)[keySize])
{
    constexpr std::size_t length = keySize - 1; // without the terminating zero
    if (text.size() < length || std::memcmp(text.data(), key, length) != 0)
        return std::nullopt;
    text.remove_prefix(length);
    auto const end = std::find_if(text.begin(), text.end(), [](char c) { return c == '"' || c == '\\'; });
    if (end == text.end() || *end == '\\')
        return std::nullopt;
    auto const size = static_cast<std::size_t>(end - text.begin());
    return std::pair { text.substr(0, size), text.substr(size + 1) };
}

// Whether the line, laid out the way Codex writes its lines
// ({"timestamp":"…","type":"…","payload":{"type":"…"), says it is some
// other kind of line. That settles most lines after a few dozen bytes,
// however long their text. Any other layout is not settled here.
bool laidOutAsAnotherKind(std::string_view object)
{
    auto const timestamp = plainStringAfter(object, R"({"timestamp":")");
    if (!timestamp)
        return false;
    auto const type = plainStringAfter(timestamp->second, R"(,"type":")");
    if (!type)
        return false;
    if (type->first != "event_msg")
        return true;
    auto const payloadType = plainStringAfter(type->second, R"(,"payload":{"type":")");
    return payloadType && payloadType->first != "token_count";
}

std::string_view trimmed(std::string_view text)
{
    auto const first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}

CodexLogLine parseCodexLogLine(std::string_view line)
{
    auto const object = trimmed(line);
    if (object.empty())
        return {};
    if (object.size() < 2 || object.front() != '{' || object.back() != '}')
        return { CodexLogLine::Kind::malformed, std::nullopt };
    if (laidOutAsAnotherKind(object) || !mentionsTokenCount(object))
        return {};

    // The document's memory is on the stack: an event fits, a bigger line
    // spills over to the heap. The line is parsed in place in a copy of its
    // own, so the document's texts point into that copy rather than being
    // copied one by one. The encoding is checked only in the texts kept
    // (see stringMember), not in the whole line.
    char valueBuffer[16 << 10];
    char parseBuffer[4 << 10];
    rapidjson::MemoryPoolAllocator<> valueAllocator(valueBuffer, sizeof valueBuffer);
    rapidjson::MemoryPoolAllocator<> parseAllocator(parseBuffer, sizeof parseBuffer);
    // The pool keeps a header in its buffer: ask for less than the buffer.
    Document document(&valueAllocator, sizeof parseBuffer / 2, &parseAllocator);
    std::string text(object);
    bool parsed = false;
    bool tooDeep = false;
    auto parseRecursively = [&](Document& target) {
        NestingLimit handler(target);
        Reader reader(&parseAllocator);
        rapidjson::InsituStringStream stream(text.data());
        parsed = !reader.Parse<rapidjson::kParseInsituFlag>(stream, handler).IsError();
        tooDeep = handler.exceeded();
        return parsed;
    };
    document.Populate(parseRecursively);
    if (tooDeep) {
        // Rare enough for the slower parser, whose depth costs heap only.
        text.assign(object);
        parsed = !document.ParseInsitu<rapidjson::kParseIterativeFlag>(text.data()).HasParseError();
    }
    if (!parsed)
        return { CodexLogLine::Kind::malformed, std::nullopt };
    try {
        return parseDocument(document);
    } catch (const Malformed&) {
        return { CodexLogLine::Kind::malformed, std::nullopt };
    }
}

}

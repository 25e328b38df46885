#include "TavvoHost/Remote/MachineObservations.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/Foundation/JSONMembers.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "Platform/Foundation/RawValue.hpp"
#include "TavvoHost/Observation/ObservedDates.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <set>

namespace TavvoHost {

namespace {

using namespace std::chrono;

// Far more than the services write (bucket ids, quota names, plans, model
// names, an e-mail address), far less than a line may hold.
constexpr std::size_t longestText = 256;
// The services keep two or three buckets, two windows each, a few models.
constexpr std::size_t mostEntries = 32;
// Clocks of machines that sync to the network differ by seconds; five
// minutes leaves room for one that drifts, and no room to pin a limit as
// fresh for long.
constexpr minutes clockSkew { 5 };
// No service counts usage over longer windows; anything longer is a
// broken sender, and could overflow the instants made from it.
constexpr minutes longestWindow = duration_cast<minutes>(years(100));

// ---- Writing ----

// Internet date-time text with the fraction of a second when there is one
// (Claude Code writes resets to the millisecond), so that an instant reads
// back exactly as it was.
std::optional<std::string> instantText(Foundation::Date date)
{
    auto const seconds = floor<std::chrono::seconds>(date);
    auto text = Foundation::formatInternetDateTime(seconds);
    auto const fraction = (date - seconds).count();
    if (text && fraction != 0)
        text->insert(text->size() - 1, fmt::format(".{:06}", fraction));
    return text;
}

void writeInstant(Foundation::JSONLineWriter& writer, const char* key, std::optional<Foundation::Date> date)
{
    writer.Key(key);
    Foundation::writeJSONStringOrNull(writer, date ? instantText(*date) : std::nullopt);
}

void writeText(Foundation::JSONLineWriter& writer, const char* key, const std::optional<std::string>& text)
{
    writer.Key(key);
    Foundation::writeJSONStringOrNull(writer, text);
}

// The members of a window, written into the object at hand. The services
// may report more than 100 % used (or, broken, less than nothing); what is
// left shows the same within 0…100, and a reader refuses anything else.
void writeWindowMembers(Foundation::JSONLineWriter& writer, const UsageWindow& window)
{
    writer.Key("minutes");
    if (window.length)
        writer.Int64(window.length->count());
    else
        writer.Null();
    writer.Key("usedPercent");
    if (window.usedPercent && std::isfinite(*window.usedPercent))
        writer.Double(std::clamp(*window.usedPercent, 0.0, 100.0));
    else
        writer.Null();
    writeInstant(writer, "resetsAt", window.resetsAt);
}

void writeWindow(Foundation::JSONLineWriter& writer, const char* key, const std::optional<UsageWindow>& window)
{
    writer.Key(key);
    if (!window) {
        writer.Null();
        return;
    }
    writer.StartObject();
    writeWindowMembers(writer, *window);
    writer.EndObject();
}

void writeCodex(Foundation::JSONLineWriter& writer, const CodexReading& codex)
{
    writer.StartObject();
    writer.Key("state");
    Foundation::writeJSONString(writer, Foundation::rawValue(codex.state));
    writer.Key("observations");
    writer.StartArray();
    for (auto const& observation : codex.observations) {
        writer.StartObject();
        writeInstant(writer, "observedAt", observation.observedAt);
        writeText(writer, "limitId", observation.limitId);
        writeText(writer, "limitName", observation.limitName);
        writeText(writer, "planType", observation.planType);
        writer.Key("windows");
        writer.StartArray();
        for (auto const& window : observation.windows) {
            writer.StartObject();
            writeWindowMembers(writer, window);
            writer.EndObject();
        }
        writer.EndArray();
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("weeklyTokens");
    if (codex.weeklyTokens)
        writer.Int64(*codex.weeklyTokens);
    else
        writer.Null();
    writeText(writer, "accountLabel", codex.accountLabel);
    writer.EndObject();
}

void writeClaude(Foundation::JSONLineWriter& writer, const ClaudeReading& claude)
{
    writer.StartObject();
    writer.Key("state");
    Foundation::writeJSONString(writer, Foundation::rawValue(claude.state));
    writer.Key("observation");
    if (!claude.observation) {
        writer.Null();
        writer.EndObject();
        return;
    }
    auto const& observation = *claude.observation;
    writer.StartObject();
    writeInstant(writer, "observedAt", observation.observedAt);
    writeWindow(writer, "fiveHour", observation.fiveHour);
    writeWindow(writer, "sevenDay", observation.sevenDay);
    writer.Key("modelWeekly");
    writer.StartArray();
    for (auto const& model : observation.modelWeekly) {
        writer.StartObject();
        writeText(writer, "model", model.model);
        writeWindowMembers(writer, model.window);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    writer.EndObject();
}

// ---- Reading ----

// Why a document is refused; thrown inside the reader only, so each check
// stays one line, and caught at its top.
struct Refusal {
    std::string reason;
};

// A place in the document, for the reason: "codex.observations[1].windows[0]".
std::string memberPath(std::string_view within, std::string_view key)
{
    return within.empty() ? std::string(key) : fmt::format("{}.{}", within, key);
}

std::string elementPath(std::string_view within, std::size_t index)
{
    return fmt::format("{}[{}]", within, index);
}

[[noreturn]] void refuse(std::string_view path, std::string_view what)
{
    throw Refusal { fmt::format("{}: {}", path, what) };
}

class DocumentReader {
public:
    explicit DocumentReader(Foundation::Date now)
        : m_latestObservation(now + clockSkew)
    {
    }

    MachineObservations document(const rapidjson::Value& root) const
    {
        auto const& version = member(root, "", "version");
        if (!version.IsInt())
            refuse("version", "not an integer");
        if (version.GetInt() != machineObservationsVersion)
            refuse("version", fmt::format("{} is not a version this program reads (it reads {})", version.GetInt(), machineObservationsVersion));
        return {
            .sentAt = observedInstant(root, "", "sentAt"),
            .codex = codex(object(root, "", "codex"), "codex"),
            .claude = claude(object(root, "", "claude"), "claude"),
        };
    }

private:
    static const rapidjson::Value& member(const rapidjson::Value& object, std::string_view within, const char* key)
    {
        auto const found = object.FindMember(key);
        if (found == object.MemberEnd())
            refuse(memberPath(within, key), "missing");
        return found->value;
    }

    static const rapidjson::Value& object(const rapidjson::Value& container, std::string_view within, const char* key)
    {
        auto const& value = member(container, within, key);
        if (!value.IsObject())
            refuse(memberPath(within, key), "not an object");
        return value;
    }

    static rapidjson::Value::ConstArray array(const rapidjson::Value& container, std::string_view within, const char* key)
    {
        auto const& value = member(container, within, key);
        if (!value.IsArray())
            refuse(memberPath(within, key), "not an array");
        if (value.Size() > mostEntries)
            refuse(memberPath(within, key), fmt::format("more than {} entries", mostEntries));
        return value.GetArray();
    }

    // A short text of printable characters: names end up in titles and
    // problems, so no control character gets through.
    static std::optional<std::string> optionalText(const rapidjson::Value& container, std::string_view within, const char* key)
    {
        auto const& value = member(container, within, key);
        if (value.IsNull())
            return std::nullopt;
        if (!value.IsString())
            refuse(memberPath(within, key), "not a text");
        std::string_view const text(value.GetString(), value.GetStringLength());
        if (text.size() > longestText)
            refuse(memberPath(within, key), fmt::format("longer than {} bytes", longestText));
        if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
            refuse(memberPath(within, key), "holds a control character");
        return std::string(text);
    }

    static std::string text(const rapidjson::Value& container, std::string_view within, const char* key)
    {
        auto value = optionalText(container, within, key);
        if (!value || value->empty())
            refuse(memberPath(within, key), "not a text, or empty");
        return std::move(*value);
    }

    static std::optional<Foundation::Date> optionalInstant(const rapidjson::Value& container, std::string_view within, const char* key)
    {
        auto const& value = member(container, within, key);
        if (value.IsNull())
            return std::nullopt;
        auto const instant = value.IsString() ? dateFromTimestampText({ value.GetString(), value.GetStringLength() }) : std::nullopt;
        if (!instant)
            refuse(memberPath(within, key), "not an instant of the years 2000 to 9999");
        return instant;
    }

    // When something was observed: never in the future beyond the skew, or
    // it would pass for fresh until then.
    Foundation::Date observedInstant(const rapidjson::Value& container, std::string_view within, const char* key) const
    {
        auto const instant = optionalInstant(container, within, key);
        if (!instant)
            refuse(memberPath(within, key), "missing");
        if (*instant > m_latestObservation)
            refuse(memberPath(within, key), fmt::format("{} is in the future", *instantText(*instant)));
        return *instant;
    }

    static SourceState state(const rapidjson::Value& container, std::string_view within)
    {
        auto const& value = member(container, within, "state");
        auto const state = value.IsString() ? Foundation::fromRawValue<SourceState>({ value.GetString(), value.GetStringLength() }) : std::nullopt;
        if (!state)
            refuse(memberPath(within, "state"), "not missing, present or unreadable");
        return *state;
    }

    static UsageWindow window(const rapidjson::Value& fields, std::string_view within)
    {
        UsageWindow window { std::nullopt, std::nullopt, optionalInstant(fields, within, "resetsAt") };
        if (auto const& length = member(fields, within, "minutes"); !length.IsNull()) {
            if (!length.IsInt64() || length.GetInt64() <= 0 || length.GetInt64() > longestWindow.count())
                refuse(memberPath(within, "minutes"), fmt::format("not a whole number of minutes from 1 to {}", longestWindow.count()));
            window.length = minutes(length.GetInt64());
        }
        if (auto const& used = member(fields, within, "usedPercent"); !used.IsNull()) {
            if (!used.IsNumber())
                refuse(memberPath(within, "usedPercent"), "not a number");
            // The sender keeps what it sends within 0…100: a share outside
            // says the sender is broken, and its other numbers are no better.
            if (!(used.GetDouble() >= 0 && used.GetDouble() <= 100))
                refuse(memberPath(within, "usedPercent"), fmt::format("{} is not within 0 to 100", used.GetDouble()));
            window.usedPercent = used.GetDouble();
        }
        return window;
    }

    std::optional<UsageWindow> optionalWindow(const rapidjson::Value& container, std::string_view within, const char* key) const
    {
        auto const& value = member(container, within, key);
        if (value.IsNull())
            return std::nullopt;
        if (!value.IsObject())
            refuse(memberPath(within, key), "not an object");
        return window(value, memberPath(within, key));
    }

    CodexReading codex(const rapidjson::Value& fields, std::string_view within) const
    {
        CodexReading reading { state(fields, within), {}, std::nullopt, optionalText(fields, within, "accountLabel") };
        auto const observationsPath = memberPath(within, "observations");
        std::set<std::string> buckets;
        for (auto const& value : array(fields, within, "observations")) {
            auto const path = elementPath(observationsPath, reading.observations.size());
            if (!value.IsObject())
                refuse(path, "not an object");
            CodexObservation observation {
                observedInstant(value, path, "observedAt"),
                text(value, path, "limitId"),
                optionalText(value, path, "limitName"),
                optionalText(value, path, "planType"),
                {},
            };
            // One observation a bucket, or which one counts would depend
            // on the order the merge met them.
            if (!buckets.insert(observation.limitId).second)
                refuse(path, fmt::format("a second observation of the bucket \"{}\"", observation.limitId));
            auto const windowsPath = memberPath(path, "windows");
            for (auto const& fieldsOfWindow : array(value, path, "windows")) {
                auto const windowPath = elementPath(windowsPath, observation.windows.size());
                if (!fieldsOfWindow.IsObject())
                    refuse(windowPath, "not an object");
                observation.windows.push_back(window(fieldsOfWindow, windowPath));
            }
            reading.observations.push_back(std::move(observation));
        }
        if (auto const& tokens = member(fields, within, "weeklyTokens"); !tokens.IsNull()) {
            if (!tokens.IsInt64() || tokens.GetInt64() < 0)
                refuse(memberPath(within, "weeklyTokens"), "not a whole number from 0 to 2^63-1");
            reading.weeklyTokens = tokens.GetInt64();
        }
        return reading;
    }

    ClaudeReading claude(const rapidjson::Value& fields, std::string_view within) const
    {
        ClaudeReading reading { state(fields, within), std::nullopt };
        auto const& value = member(fields, within, "observation");
        if (value.IsNull())
            return reading;
        auto const path = memberPath(within, "observation");
        if (!value.IsObject())
            refuse(path, "not an object");
        ClaudeObservation observation {
            observedInstant(value, path, "observedAt"),
            optionalWindow(value, path, "fiveHour"),
            optionalWindow(value, path, "sevenDay"),
            {},
        };
        auto const modelsPath = memberPath(path, "modelWeekly");
        for (auto const& model : array(value, path, "modelWeekly")) {
            auto const modelPath = elementPath(modelsPath, observation.modelWeekly.size());
            if (!model.IsObject())
                refuse(modelPath, "not an object");
            ClaudeModelWindow modelWindow { text(model, modelPath, "model"), window(model, modelPath) };
            if (observation.holdsModel(modelWindow.model))
                refuse(modelPath, fmt::format("a second window of the model \"{}\"", modelWindow.model));
            observation.modelWeekly.push_back(std::move(modelWindow));
        }
        reading.observation = std::move(observation);
        return reading;
    }

    Foundation::Date m_latestObservation;
};

}

std::string encodeMachineObservations(const MachineObservations& observations)
{
    Foundation::JSONLineWriter writer;
    writer.StartObject();
    writer.Key("version");
    writer.Int(machineObservationsVersion);
    writeInstant(writer, "sentAt", observations.sentAt);
    writer.Key("codex");
    writeCodex(writer, observations.codex);
    writer.Key("claude");
    writeClaude(writer, observations.claude);
    writer.EndObject();
    return std::string(writer.text());
}

std::variant<MachineObservations, std::string> decodeMachineObservations(std::string_view line, Foundation::Date now)
{
    if (line.size() > longestMachineObservationsLine)
        return fmt::format("longer than {} bytes", longestMachineObservationsLine);
    // JSON allows a newline between its tokens; one document a line does not.
    if (line.find('\n') != std::string_view::npos)
        return std::string("a newline inside the document");
    try {
        auto const document = Foundation::parseJSONObject(line);
        if (!document)
            return std::string("not one JSON object in UTF-8");
        return DocumentReader(now).document(*document);
    } catch (const Refusal& refusal) {
        return refusal.reason;
    } catch (const std::exception& error) {
        // Only memory can run out here; the document is refused, the
        // program goes on.
        return fmt::format("cannot be read: {}", error.what());
    }
}

}

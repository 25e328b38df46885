#include "TavvoHost/Claude/ClaudeFeed.hpp"

#include "TavvoShared/State/TavvoStateFile.hpp"
#include "Platform/Foundation/JSONMembers.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include <cmath>
#include <variant>

namespace TavvoHost {

namespace {

namespace fs = std::filesystem;

constexpr char const* observedAtKey = "observedAt";
constexpr char const* fiveHourKey = "five_hour";
constexpr char const* sevenDayKey = "seven_day";
constexpr char const* percentKey = "used_percentage";

// Far more than a feed ever holds; a larger file is not ours.
constexpr std::size_t maximumFeedLength = 64 * 1024;

void writeWindow(Foundation::JSONWriter& writer, const char* key, const std::optional<UsageWindow>& window)
{
    if (!window || !window->usedPercent || !std::isfinite(*window->usedPercent))
        return;
    writer.Key(key);
    writer.StartObject();
    writer.Key(percentKey);
    writer.Double(*window->usedPercent);
    Foundation::writeJSONDateMember(writer, "resets_at", window->resetsAt);
    writer.EndObject();
}

}

std::optional<fs::path> claudeFeedFile()
{
    return Tavvo::stateFile("claude-statusline.json");
}

std::string encodeClaudeFeed(const ClaudeObservation& observation)
{
    Foundation::JSONWriter writer;
    writer.StartObject();
    Foundation::writeJSONDateMember(writer, observedAtKey, observation.observedAt);
    writeWindow(writer, fiveHourKey, observation.fiveHour);
    writeWindow(writer, sevenDayKey, observation.sevenDay);
    writer.EndObject();
    return std::string(writer.text()) + "\n";
}

std::optional<ClaudeObservation> decodeClaudeFeed(std::string_view text)
{
    auto const document = Foundation::parseJSONObject(text);
    if (!document)
        return std::nullopt;
    rapidjson::Value const& root = *document;
    auto const date = Foundation::jsonDate(Foundation::jsonMember(root, observedAtKey));
    if (!date)
        return std::nullopt;
    return ClaudeObservation {
        *date,
        claudeWindow(root, fiveHourKey, percentKey, fiveHourWindow),
        claudeWindow(root, sevenDayKey, percentKey, weeklyWindow),
        {},
    };
}

ClaudeFileReading readClaudeFeed(const fs::path& file)
{
    auto contents = claudeFileContents(file, maximumFeedLength);
    if (auto* reading = std::get_if<ClaudeFileReading>(&contents))
        return std::move(*reading);
    auto observation = decodeClaudeFeed(std::get<std::string>(contents));
    if (!observation)
        return { SourceState::present, std::nullopt, "the Claude status-line feed " + file.string() + " is not valid" };
    return { SourceState::present, std::move(observation), std::nullopt };
}

ClaudeFeedWrite recordClaudeFeed(const fs::path& file, const ClaudeObservation& observation)
{
    auto const stored = readClaudeFeed(file).observation;
    if (stored && stored->fiveHour == observation.fiveHour && stored->sevenDay == observation.sevenDay) {
        auto const age = observation.observedAt - stored->observedAt;
        if (age >= Foundation::Date::duration::zero() && age < claudeFeedRefreshInterval)
            return ClaudeFeedWrite::unchanged;
    }
    Tavvo::writeStateFile(file, encodeClaudeFeed(observation));
    return ClaudeFeedWrite::written;
}

}

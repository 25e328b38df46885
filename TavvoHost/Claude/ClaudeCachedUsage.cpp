#include "TavvoHost/Claude/ClaudeCachedUsage.hpp"

#include "TavvoHost/Observation/ObservedDates.hpp"

#include "TavvoHost/Claude/ClaudeLimitList.hpp"
#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include <rapidjson/document.h>
#include <rapidjson/reader.h>

#include <cstdint>
#include <string>
#include <variant>

namespace TavvoHost {

namespace {

constexpr std::string_view cachedUsageKey = "cachedUsageUtilization";

// Passes the file's text through the reader event by event but builds a
// document of the one member's value only, never a tree of every setting
// (several times the text's size). Between the key and the end of its
// value every event goes to the document; parsing stops there.
class MemberValueFilter {
public:
    explicit MemberValueFilter(rapidjson::Document& document)
        : m_document(document)
    {
    }

    bool captured() const { return m_captured; }

    bool Null() { return scalar([this] { return m_document.Null(); }); }
    bool Bool(bool value) { return scalar([&] { return m_document.Bool(value); }); }
    bool Int(int value) { return scalar([&] { return m_document.Int(value); }); }
    bool Uint(unsigned value) { return scalar([&] { return m_document.Uint(value); }); }
    bool Int64(std::int64_t value) { return scalar([&] { return m_document.Int64(value); }); }
    bool Uint64(std::uint64_t value) { return scalar([&] { return m_document.Uint64(value); }); }
    bool Double(double value) { return scalar([&] { return m_document.Double(value); }); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool copy)
    {
        return scalar([&] { return m_document.RawNumber(text, length, copy); });
    }
    bool String(const char* text, rapidjson::SizeType length, bool copy)
    {
        return scalar([&] { return m_document.String(text, length, copy); });
    }

    bool Key(const char* text, rapidjson::SizeType length, bool copy)
    {
        if (m_capturing)
            return m_document.Key(text, length, copy);
        // Only a member of the outermost object is the one we want.
        m_capturing = m_depth == 1 && std::string_view(text, length) == cachedUsageKey;
        return true;
    }

    bool StartObject() { return open([this] { return m_document.StartObject(); }); }
    bool StartArray() { return open([this] { return m_document.StartArray(); }); }
    bool EndObject(rapidjson::SizeType count) { return close([&] { return m_document.EndObject(count); }); }
    bool EndArray(rapidjson::SizeType count) { return close([&] { return m_document.EndArray(count); }); }

private:
    // A value outside the member is skipped; the member's own value, when
    // it is a scalar, is complete at once.
    template <typename Forward>
    bool scalar(Forward forward)
    {
        if (!m_capturing)
            return true;
        forward();
        return finishIfComplete();
    }

    template <typename Forward>
    bool open(Forward forward)
    {
        ++m_depth;
        if (m_capturing)
            forward();
        return true;
    }

    template <typename Forward>
    bool close(Forward forward)
    {
        --m_depth;
        if (!m_capturing)
            return true;
        forward();
        return finishIfComplete();
    }

    // Back at the outermost object's level, the value is whole: returning
    // false ends the parse.
    bool finishIfComplete()
    {
        if (m_depth != 1)
            return true;
        m_capturing = false;
        m_captured = true;
        return false;
    }

    rapidjson::Document& m_document;
    int m_depth = 0;
    bool m_capturing = false;
    bool m_captured = false;
};

// The key's value as its own document; a Null document when it is absent.
rapidjson::Document memberValue(std::string_view text)
{
    rapidjson::Document document;
    auto const generate = [&text](rapidjson::Document& handler) {
        MemberValueFilter filter(handler);
        rapidjson::Reader reader;
        rapidjson::MemoryStream bytes(text.data(), text.size());
        // Iterative, so deep nesting elsewhere in the file cannot exhaust
        // the stack.
        reader.Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag>(bytes, filter);
        return filter.captured();
    };
    document.Populate(generate);
    return document;
}

std::optional<Foundation::Date> observedAt(const rapidjson::Value& usage)
{
    auto const fetched = usage.FindMember("fetchedAtMs");
    if (fetched == usage.MemberEnd() || !fetched->value.IsNumber())
        return std::nullopt;
    return dateFromUnixSeconds(fetched->value.GetDouble() / 1000);
}

}

std::optional<ClaudeObservation> parseClaudeCachedUsage(std::string_view text)
{
    auto const usage = memberValue(text);
    if (!usage.IsObject())
        return std::nullopt;
    auto const date = observedAt(usage);
    if (!date)
        return std::nullopt;
    auto const utilization = usage.FindMember("utilization");
    if (utilization == usage.MemberEnd())
        return std::nullopt;
    auto observation = claudeLimitList(utilization->value, *date);
    // The older shape fills what the list did not hold.
    if (!observation.fiveHour)
        observation.fiveHour = claudeWindow(utilization->value, "five_hour", "utilization", fiveHourWindow);
    if (!observation.sevenDay)
        observation.sevenDay = claudeWindow(utilization->value, "seven_day", "utilization", weeklyWindow);
    if (!observation.holdsWindows())
        return std::nullopt;
    return observation;
}

ClaudeFileReading readClaudeCachedUsage(const std::filesystem::path& file)
{
    auto contents = claudeFileContents(file, maximumClaudeSettingsLength);
    if (auto* reading = std::get_if<ClaudeFileReading>(&contents))
        return std::move(*reading);
    return { SourceState::present, parseClaudeCachedUsage(std::get<std::string>(contents)), std::nullopt };
}

ClaudeFileReading ClaudeCachedUsageReader::read(const std::filesystem::path& file)
{
    auto const status = Foundation::fileStatus(file);
    if (!status) {
        // Whatever is wrong, the reading says it.
        m_identity.reset();
        return readClaudeCachedUsage(file);
    }
    if (m_path != file || m_identity != status->identity) {
        m_reading = readClaudeCachedUsage(file);
        m_path = file;
        m_identity = status->identity;
    }
    return m_reading;
}

}

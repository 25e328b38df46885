#include "TavvoWidgetExtension/TavvoNotifications/NotificationLedger.hpp"

#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/JSONMembers.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoShared/State/TavvoStateFile.hpp"

#include <system_error>

namespace {

constexpr char const* limitsKey = "limits";
constexpr char const* providerKey = "provider";
constexpr char const* idKey = "id";
constexpr char const* resetDateKey = "resetDate";
constexpr char const* highestSeverityKey = "highestSeverity";
constexpr char const* forecastKey = "forecast";
constexpr char const* resetAtKey = "resetAt";
constexpr char const* runsOutBeforeResetKey = "runsOutBeforeReset";

// A few limits and a forecast take a few hundred bytes; a larger file is
// not ours.
constexpr std::size_t maximumLedgerLength = 256 * 1024;

}

template <>
struct Foundation::RawValues<TavvoSurfaces::ForecastNotice> {
    static constexpr std::array<std::string_view, 2> texts { "pending", "told" };
};

namespace TavvoSurfaces {

namespace {

using Writer = Foundation::JSONWriter;
using Foundation::jsonMember;
using Foundation::jsonText;

template <typename Enumeration>
std::optional<Enumeration> caseMember(const rapidjson::Value& object, const char* key)
{
    auto const text = jsonText(jsonMember(object, key));
    return text ? Foundation::fromRawValue<Enumeration>(*text) : std::nullopt;
}

// Absent is unknown (true, nothing); a value that is not a date is wrong
// (false).
bool readDate(const rapidjson::Value& object, const char* key, std::optional<Foundation::Date>& date)
{
    if (!object.HasMember(key))
        return true;
    date = Foundation::jsonDate(jsonMember(object, key));
    return date.has_value();
}

bool readLimits(const rapidjson::Value& root, LimitNotificationRecord& record)
{
    auto const limits = root.FindMember(limitsKey);
    if (limits == root.MemberEnd() || !limits->value.IsArray())
        return false;
    for (auto const& entry : limits->value.GetArray()) {
        if (!entry.IsObject())
            return false;
        auto const provider = caseMember<TavvoWidgetProviderID>(entry, providerKey);
        auto const id = jsonText(jsonMember(entry, idKey));
        auto const severity = caseMember<NovikSeverity>(entry, highestSeverityKey);
        std::optional<Foundation::Date> resetDate;
        if (!provider || !id || !severity || !readDate(entry, resetDateKey, resetDate))
            return false;
        record.limits[{ *provider, std::string(*id) }] = { resetDate, *severity };
    }
    return true;
}

bool readForecast(const rapidjson::Value& root, LimitNotificationRecord& record)
{
    auto const forecast = root.FindMember(forecastKey);
    if (forecast == root.MemberEnd())
        return true;
    if (!forecast->value.IsObject())
        return false;
    auto const notice = caseMember<ForecastNotice>(forecast->value, runsOutBeforeResetKey);
    std::optional<Foundation::Date> resetAt;
    if (!notice || !readDate(forecast->value, resetAtKey, resetAt))
        return false;
    record.forecast = ForecastWindowRecord { resetAt, *notice };
    return true;
}

}

std::string encodeNotificationRecord(const LimitNotificationRecord& record)
{
    Writer writer;
    writer.StartObject();
    writer.Key(limitsKey);
    writer.StartArray();
    for (auto const& [key, window] : record.limits) {
        writer.StartObject();
        writer.Key(providerKey);
        Foundation::writeJSONString(writer, Foundation::rawValue(key.provider));
        writer.Key(idKey);
        Foundation::writeJSONString(writer, key.limitID);
        Foundation::writeJSONDateMember(writer, resetDateKey, window.resetDate);
        writer.Key(highestSeverityKey);
        Foundation::writeJSONString(writer, Foundation::rawValue(window.highestSeverity));
        writer.EndObject();
    }
    writer.EndArray();
    if (record.forecast) {
        writer.Key(forecastKey);
        writer.StartObject();
        Foundation::writeJSONDateMember(writer, resetAtKey, record.forecast->resetAt);
        writer.Key(runsOutBeforeResetKey);
        Foundation::writeJSONString(writer, Foundation::rawValue(record.forecast->runsOutBeforeReset));
        writer.EndObject();
    }
    writer.EndObject();
    return std::string(writer.text()) + "\n";
}

std::optional<LimitNotificationRecord> decodeNotificationRecord(std::string_view text)
{
    auto const document = Foundation::parseJSONObject(text);
    if (!document)
        return std::nullopt;
    LimitNotificationRecord record;
    if (!readLimits(*document, record) || !readForecast(*document, record))
        return std::nullopt;
    return record;
}

NotificationLedger::NotificationLedger(std::optional<std::filesystem::path> file)
    : m_file(std::move(file))
{
}

NotificationLedger::Reading NotificationLedger::read()
{
    if (!m_file)
        return { {}, std::nullopt };
    std::string text;
    try {
        text = Foundation::FileManager::defaultManager()->contentsOfFile(*m_file, maximumLedgerLength);
    } catch (const std::system_error& error) {
        if (error.code() == std::errc::no_such_file_or_directory)
            return { {}, std::nullopt };
        return { {}, error.what() };
    }
    auto record = decodeNotificationRecord(text);
    if (!record)
        return { {}, m_file->string() + " is not a record of sent notifications; starting a new one" };
    m_stored = record;
    return { std::move(*record), std::nullopt };
}

void NotificationLedger::save(const LimitNotificationRecord& record)
{
    if (m_stored == record)
        return;
    if (m_file)
        Tavvo::writeStateFile(*m_file, encodeNotificationRecord(record));
    m_stored = record;
}

} // namespace TavvoSurfaces

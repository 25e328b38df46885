#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/Foundation/JSONWriter.hpp"

#include <rapidjson/memorystream.h>

#include <fmt/format.h>

#include <limits>

namespace {

using Writer = Foundation::JSONWriter;

// The pretty writer of this library version cannot be asked to check the
// encoding itself, so texts are checked here before they are written.
bool isValidUTF8(const std::string& text)
{
    rapidjson::MemoryStream memory(text.data(), text.size());
    struct Discard {
        void Put(char) { }
    } output;
    while (memory.Tell() < text.size()) {
        if (!rapidjson::UTF8<>::Validate(memory, output))
            return false;
    }
    return true;
}

// Writes the members of one object. Callers write keys in ascending order
// of their text; that order is part of the file format.
class ObjectWriter {
public:
    ObjectWriter(Writer& writer, std::string path)
        : m_writer(writer)
        , m_path(std::move(path))
    {
        m_writer.StartObject();
    }
    ObjectWriter(const ObjectWriter&) = delete;
    ObjectWriter& operator=(const ObjectWriter&) = delete;

    // Closed explicitly rather than on destruction: after a failure the
    // writer is mid-member and is thrown away instead.
    void end() { m_writer.EndObject(); }

    void string(std::string_view key, const std::string& value)
    {
        if (value.size() > std::numeric_limits<rapidjson::SizeType>::max())
            throw Tavvo::EncodingError(fmt::format("{}: the text is too long", pathOf(key)));
        if (!isValidUTF8(value))
            throw Tavvo::EncodingError(fmt::format("{}: the text is not valid UTF-8", pathOf(key)));
        this->key(key);
        Foundation::writeJSONString(m_writer, value);
    }
    void string(std::string_view key, const std::optional<std::string>& value)
    {
        if (value)
            string(key, *value);
    }

    void integer(std::string_view key, std::int64_t value)
    {
        this->key(key);
        m_writer.Int64(value);
    }
    void integer(std::string_view key, std::optional<std::int64_t> value)
    {
        if (value)
            integer(key, *value);
    }

    void date(std::string_view key, Foundation::Date value)
    {
        auto const text = Foundation::formatInternetDateTime(value);
        if (!text)
            throw Tavvo::EncodingError(fmt::format("{}: the date lies outside the years 0000 to 9999", pathOf(key)));
        string(key, *text);
    }
    void date(std::string_view key, std::optional<Foundation::Date> value)
    {
        if (value)
            date(key, *value);
    }

    void decimal(std::string_view key, const std::optional<Foundation::Decimal>& value)
    {
        if (!value)
            return;
        this->key(key);
        auto const text = value->description();
        m_writer.RawValue(text.data(), text.size(), rapidjson::kNumberType);
    }

    template <typename Enumeration>
    void enumeration(std::string_view key, Enumeration value)
    {
        string(key, std::string(Foundation::rawValue(value)));
    }

    template <typename Element>
    void list(std::string_view key, const std::vector<Element>& elements, void (*write)(Writer&, const Element&, std::string))
    {
        this->key(key);
        m_writer.StartArray();
        for (std::size_t i = 0; i < elements.size(); ++i)
            write(m_writer, elements[i], fmt::format("{}[{}]", pathOf(key), i));
        m_writer.EndArray();
    }

    template <typename Element>
    void object(std::string_view key, const std::optional<Element>& element, void (*write)(Writer&, const Element&, std::string))
    {
        if (!element)
            return;
        this->key(key);
        write(m_writer, *element, pathOf(key));
    }

private:
    std::string pathOf(std::string_view key) const
    {
        return m_path.empty() ? std::string(key) : fmt::format("{}.{}", m_path, key);
    }

    void key(std::string_view key) { m_writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size())); }

    Writer& m_writer;
    std::string m_path;
};

void writeLimit(Writer& writer, const TavvoWidgetLimitSnapshot& limit, std::string path)
{
    ObjectWriter object(writer, std::move(path));
    object.string("id", limit.id);
    object.integer("remainingPercent", limit.remainingPercent);
    object.date("resetDate", limit.resetDate);
    object.string("title", limit.title);
    object.end();
}

void writeProvider(Writer& writer, const TavvoWidgetProviderSnapshot& provider, std::string path)
{
    ObjectWriter object(writer, std::move(path));
    object.date("freshUntil", provider.freshUntil);
    object.enumeration("id", provider.id);
    object.list("limits", provider.limits, writeLimit);
    object.string("note", provider.note);
    object.date("observedAt", provider.observedAt);
    object.enumeration("status", provider.status);
    object.string("subtitle", provider.subtitle);
    object.string("title", provider.title);
    object.end();
}

void writeAnalytics(Writer& writer, const CodexAnalyticsSummary& summary, std::string path)
{
    ObjectWriter object(writer, std::move(path));
    object.string("accountLabel", summary.accountLabel);
    object.date("forecastObservedAt", summary.forecastObservedAt);
    object.enumeration("forecastState", summary.forecastState);
    object.string("planTitle", summary.planTitle);
    object.date("predictedExhaustionAt", summary.predictedExhaustionAt);
    object.string("quotaTitle", summary.quotaTitle);
    object.integer("remainingPercent", summary.remainingPercent);
    object.date("resetAt", summary.resetAt);
    object.decimal("weeklyCredits", summary.weeklyCredits);
    object.integer("weeklyTokens", summary.weeklyTokens);
    object.end();
}

void writeSnapshot(Writer& writer, const TavvoWidgetSnapshot& snapshot, std::string path)
{
    ObjectWriter object(writer, std::move(path));
    object.object("codexAnalytics", snapshot.codexAnalytics, writeAnalytics);
    object.date("generatedAt", snapshot.generatedAt);
    object.list("providers", snapshot.providers, writeProvider);
    object.integer("schemaVersion", snapshot.schemaVersion);
    object.end();
}

template <typename Record>
std::string encodeRoot(const Record& record, void (*write)(Writer&, const Record&, std::string))
{
    Writer writer;
    write(writer, record, "");
    return std::string(writer.text());
}

}

std::string TavvoWidgetJSONEncoder::encode(const TavvoWidgetSnapshot& snapshot) const
{
    return encodeRoot(snapshot, writeSnapshot);
}

void TavvoWidgetJSONEncoder::encode(const TavvoWidgetSnapshot& snapshot, Foundation::JSONWriter& writer) const
{
    writeSnapshot(writer, snapshot, "");
}

std::string TavvoWidgetJSONEncoder::encode(const TavvoWidgetProviderSnapshot& provider) const
{
    return encodeRoot(provider, writeProvider);
}

std::string TavvoWidgetJSONEncoder::encode(const TavvoWidgetLimitSnapshot& limit) const
{
    return encodeRoot(limit, writeLimit);
}

std::string TavvoWidgetJSONEncoder::encode(const CodexAnalyticsSummary& summary) const
{
    return encodeRoot(summary, writeAnalytics);
}

#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <charconv>
#include <fmt/format.h>

namespace {

using rapidjson::SizeType;
using Value = rapidjson::Value;

// The JSON tree keeps every string and every number as the text it was
// written with, so that an integer is read without rounding and the credits
// keep all their decimal digits. A one-byte tag in front of the text tells
// which of the two it was.
constexpr char stringTag = 's';
constexpr char numberTag = 'n';

// Forwards the reader's events into a document, tagging scalars and
// refusing nesting beyond the maximum depth.
class SourceTextHandler {
public:
    explicit SourceTextHandler(rapidjson::Document& document)
        : m_document(document)
    {
    }

    bool tooDeep() const { return m_tooDeep; }
    bool unpairedSurrogate() const { return m_unpairedSurrogate; }

    bool Null() { return m_document.Null(); }
    bool Bool(bool value) { return m_document.Bool(value); }
    bool RawNumber(const char* text, SizeType length, bool) { return tagged(numberTag, text, length); }
    bool String(const char* text, SizeType length, bool) { return isUnicode(text, length) && tagged(stringTag, text, length); }
    bool Key(const char* text, SizeType length, bool) { return isUnicode(text, length) && m_document.Key(text, length, true); }
    bool StartObject() { return enter() && m_document.StartObject(); }
    bool EndObject(SizeType count)
    {
        --m_depth;
        return m_document.EndObject(count);
    }
    bool StartArray() { return enter() && m_document.StartArray(); }
    bool EndArray(SizeType count)
    {
        --m_depth;
        return m_document.EndArray(count);
    }

    // Never called: numbers arrive as raw text.
    bool Int(int) { return false; }
    bool Uint(unsigned) { return false; }
    bool Int64(std::int64_t) { return false; }
    bool Uint64(std::uint64_t) { return false; }
    bool Double(double) { return false; }

private:
    bool enter()
    {
        if (++m_depth > TavvoWidgetJSONDecoder::maximumNestingDepth) {
            m_tooDeep = true;
            return false;
        }
        return true;
    }

    // The reader checks the bytes of the input, and refuses a high surrogate
    // escape without its low half, but writes a lone low one ("\udc00") out
    // as the three bytes ED B0 80: text that is not UTF-8 and that nothing
    // downstream (the encoder, the text renderer) accepts. Valid input
    // never holds ED followed by A0 or above, so finding that pair in a
    // decoded text means exactly such an escape.
    bool isUnicode(const char* text, SizeType length)
    {
        std::string_view const decoded(text, length);
        for (auto lead = decoded.find('\xed'); lead != std::string_view::npos && lead + 1 < decoded.size();
             lead = decoded.find('\xed', lead + 1)) {
            if (static_cast<unsigned char>(decoded[lead + 1]) >= 0xa0) {
                m_unpairedSurrogate = true;
                return false;
            }
        }
        return true;
    }

    bool tagged(char tag, const char* text, SizeType length)
    {
        m_scratch.assign(1, tag);
        m_scratch.append(text, length);
        return m_document.String(m_scratch.data(), static_cast<SizeType>(m_scratch.size()), true);
    }

    rapidjson::Document& m_document;
    std::string m_scratch;
    unsigned m_depth = 0;
    bool m_tooDeep = false;
    bool m_unpairedSurrogate = false;
};

rapidjson::Document parseDocument(std::string_view json)
{
    constexpr unsigned flags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag
        | rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseStopWhenDoneFlag;

    // One whole byte-order mark may lead the text. The library's own
    // byte-order-mark stream is not used: it skips any of the mark's three
    // bytes on its own, so a stray "\xbb" in front would pass as JSON.
    constexpr std::string_view byteOrderMark = "\xef\xbb\xbf";
    std::size_t const skipped = json.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;

    rapidjson::Document document;
    rapidjson::MemoryStream input(json.data() + skipped, json.size() - skipped);
    rapidjson::ParseResult result;
    bool tooDeep = false;
    bool unpairedSurrogate = false;
    auto generator = [&](rapidjson::Document& handler) {
        SourceTextHandler tagging(handler);
        rapidjson::Reader reader;
        result = reader.Parse<flags>(input, tagging);
        tooDeep = tagging.tooDeep();
        unpairedSurrogate = tagging.unpairedSurrogate();
        return !result.IsError();
    };
    document.Populate(generator);

    if (tooDeep)
        throw Tavvo::DecodingError("", fmt::format("the data is nested deeper than {} levels", TavvoWidgetJSONDecoder::maximumNestingDepth));
    if (unpairedSurrogate) {
        throw Tavvo::DecodingError("", fmt::format("the data is not valid JSON: a text holds an unpaired surrogate escape (before byte {})",
            skipped + result.Offset()));
    }
    if (result.IsError()) {
        throw Tavvo::DecodingError("", fmt::format("the data is not valid JSON: {} (at byte {})",
            rapidjson::GetParseError_En(result.Code()), skipped + result.Offset()));
    }
    // The reader stops at the end of the root value (or at a NUL byte, which
    // it takes for the end): whatever follows, other than white space, is
    // not part of a valid text.
    rapidjson::SkipWhitespace(input);
    if (skipped + input.Tell() != json.size())
        throw Tavvo::DecodingError("", fmt::format("the data is not valid JSON: unexpected data after the root value (at byte {})", skipped + input.Tell()));
    return document;
}

bool isTagged(const Value& value, char tag)
{
    return value.IsString() && value.GetStringLength() > 0 && value.GetString()[0] == tag;
}

std::string_view untagged(const Value& value)
{
    return std::string_view(value.GetString() + 1, value.GetStringLength() - 1);
}

// Reads the fields of one JSON object, naming the path of each in errors.
class ObjectReader {
public:
    ObjectReader(const Value& value, std::string path)
        : m_value(value)
        , m_path(std::move(path))
    {
        if (!m_value.IsObject())
            throw Tavvo::DecodingError(m_path, m_path.empty() ? "the root of the data is not an object" : "expected an object");
    }

    std::string requiredString(std::string_view key) const { return text(required(key), key); }
    std::optional<std::string> optionalString(std::string_view key) const { return map(key, &ObjectReader::text); }

    std::int64_t requiredInteger(std::string_view key) const { return integer(required(key), key); }
    std::optional<std::int64_t> optionalInteger(std::string_view key) const { return map(key, &ObjectReader::integer); }

    Foundation::Date requiredDate(std::string_view key) const { return date(required(key), key); }
    std::optional<Foundation::Date> optionalDate(std::string_view key) const { return map(key, &ObjectReader::date); }

    std::optional<Foundation::Decimal> optionalDecimal(std::string_view key) const { return map(key, &ObjectReader::decimal); }

    template <typename Enumeration>
    Enumeration requiredEnumeration(std::string_view key) const
    {
        auto const& value = required(key);
        auto const raw = text(value, key);
        auto const found = Foundation::fromRawValue<Enumeration>(raw);
        if (!found)
            throw Tavvo::DecodingError(pathOf(key), fmt::format("\"{}\" is not one of the accepted values", raw));
        return *found;
    }

    // Each element of an optional list; absent or null is the empty list.
    template <typename Element>
    std::vector<Element> optionalList(std::string_view key, Element (*read)(const Value&, std::string)) const
    {
        std::vector<Element> elements;
        auto const* value = find(key);
        if (value == nullptr)
            return elements;
        if (!value->IsArray())
            throw Tavvo::DecodingError(pathOf(key), "expected an array");
        elements.reserve(value->Size());
        for (SizeType i = 0; i < value->Size(); ++i)
            elements.push_back(read((*value)[i], fmt::format("{}[{}]", pathOf(key), i)));
        return elements;
    }

    template <typename Element>
    std::optional<Element> optionalObject(std::string_view key, Element (*read)(const Value&, std::string)) const
    {
        auto const* value = find(key);
        if (value == nullptr)
            return std::nullopt;
        return read(*value, pathOf(key));
    }

    // The value at `key`, or null when it is absent or JSON null.
    const Value* find(std::string_view key) const
    {
        auto const member = m_value.FindMember(Value(rapidjson::StringRef(key.data(), static_cast<SizeType>(key.size()))));
        if (member == m_value.MemberEnd() || member->value.IsNull())
            return nullptr;
        return &member->value;
    }

private:
    std::string pathOf(std::string_view key) const
    {
        return m_path.empty() ? std::string(key) : fmt::format("{}.{}", m_path, key);
    }

    const Value& required(std::string_view key) const
    {
        auto const* value = find(key);
        if (value == nullptr)
            throw Tavvo::DecodingError(pathOf(key), "required value is missing");
        return *value;
    }

    template <typename Result>
    std::optional<Result> map(std::string_view key, Result (ObjectReader::*read)(const Value&, std::string_view) const) const
    {
        auto const* value = find(key);
        if (value == nullptr)
            return std::nullopt;
        return (this->*read)(*value, key);
    }

    std::string text(const Value& value, std::string_view key) const
    {
        if (!isTagged(value, stringTag))
            throw Tavvo::DecodingError(pathOf(key), "expected a string");
        return std::string(untagged(value));
    }

    std::int64_t integer(const Value& value, std::string_view key) const
    {
        if (!isTagged(value, numberTag))
            throw Tavvo::DecodingError(pathOf(key), "expected an integer");
        auto const digits = untagged(value);
        std::int64_t result = 0;
        auto const [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
        if (error == std::errc::result_out_of_range)
            throw Tavvo::DecodingError(pathOf(key), fmt::format("{} does not fit a 64-bit integer", digits));
        if (error != std::errc() || end != digits.data() + digits.size())
            throw Tavvo::DecodingError(pathOf(key), fmt::format("expected an integer, found {}", digits));
        return result;
    }

    Foundation::Date date(const Value& value, std::string_view key) const
    {
        if (!isTagged(value, stringTag))
            throw Tavvo::DecodingError(pathOf(key), "expected a date string");
        auto const written = untagged(value);
        auto const parsed = Foundation::parseInternetDateTime(written);
        if (!parsed)
            throw Tavvo::DecodingError(pathOf(key), fmt::format("\"{}\" is not a date of the form 2026-01-31T09:05:00Z", written));
        return *parsed;
    }

    Foundation::Decimal decimal(const Value& value, std::string_view key) const
    {
        if (!isTagged(value, numberTag))
            throw Tavvo::DecodingError(pathOf(key), "expected a number");
        auto const written = untagged(value);
        auto const parsed = Foundation::Decimal::fromString(written);
        if (!parsed)
            throw Tavvo::DecodingError(pathOf(key), fmt::format("{} is outside the range of a decimal", written));
        return *parsed;
    }

    const Value& m_value;
    std::string m_path;
};

TavvoWidgetLimitSnapshot readLimit(const Value& value, std::string path)
{
    ObjectReader const object(value, std::move(path));
    return TavvoWidgetLimitSnapshot {
        object.requiredString("id"),
        object.requiredString("title"),
        object.optionalInteger("remainingPercent"),
        object.optionalDate("resetDate"),
    };
}

TavvoWidgetProviderSnapshot readProvider(const Value& value, std::string path)
{
    ObjectReader const object(value, std::move(path));
    // Older writers used "updatedAt"; it is looked at only when
    // "observedAt" is absent or null.
    auto observedAt = object.optionalDate("observedAt");
    if (!observedAt)
        observedAt = object.optionalDate("updatedAt");
    return TavvoWidgetProviderSnapshot {
        object.requiredEnumeration<TavvoWidgetProviderID>("id"),
        object.requiredString("title"),
        object.optionalString("subtitle"),
        object.requiredEnumeration<TavvoWidgetProviderStatus>("status"),
        object.optionalList("limits", readLimit),
        observedAt,
        object.optionalDate("freshUntil"),
        object.optionalString("note"),
    };
}

CodexAnalyticsSummary readAnalytics(const Value& value, std::string path)
{
    ObjectReader const object(value, std::move(path));
    return CodexAnalyticsSummary {
        object.optionalString("accountLabel"),
        object.optionalString("planTitle"),
        object.optionalString("quotaTitle"),
        object.requiredEnumeration<TavvoWidgetForecastState>("forecastState"),
        object.optionalDate("predictedExhaustionAt"),
        object.optionalDate("resetAt"),
        object.optionalInteger("remainingPercent"),
        object.optionalDate("forecastObservedAt"),
        object.requiredInteger("weeklyTokens"),
        object.optionalDecimal("weeklyCredits"),
    };
}

TavvoWidgetSnapshot readSnapshot(const Value& value, std::string path)
{
    ObjectReader const object(value, std::move(path));
    return TavvoWidgetSnapshot {
        object.optionalInteger("schemaVersion").value_or(1), // documents from before versioning
        object.requiredDate("generatedAt"),
        object.optionalList("providers", readProvider),
        object.optionalObject("codexAnalytics", readAnalytics),
    };
}

template <typename Record>
Record decodeRoot(std::string_view json, Record (*read)(const Value&, std::string))
{
    auto const document = parseDocument(json);
    return read(document, "");
}

}

template <>
TavvoWidgetSnapshot TavvoWidgetJSONDecoder::decode<TavvoWidgetSnapshot>(std::string_view json) const
{
    return decodeRoot(json, readSnapshot);
}

template <>
TavvoWidgetProviderSnapshot TavvoWidgetJSONDecoder::decode<TavvoWidgetProviderSnapshot>(std::string_view json) const
{
    return decodeRoot(json, readProvider);
}

template <>
TavvoWidgetLimitSnapshot TavvoWidgetJSONDecoder::decode<TavvoWidgetLimitSnapshot>(std::string_view json) const
{
    return decodeRoot(json, readLimit);
}

template <>
CodexAnalyticsSummary TavvoWidgetJSONDecoder::decode<CodexAnalyticsSummary>(std::string_view json) const
{
    return decodeRoot(json, readAnalytics);
}

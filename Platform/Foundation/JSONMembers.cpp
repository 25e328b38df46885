#include "Platform/Foundation/JSONMembers.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"

namespace Foundation {

std::optional<rapidjson::Document> parseJSONObject(std::string_view text, NonFiniteNumbers nonFinite)
{
    constexpr unsigned flags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag;
    rapidjson::Document document;
    if (nonFinite == NonFiniteNumbers::accepted)
        document.Parse<flags | rapidjson::kParseNanAndInfFlag>(text.data(), text.size());
    else
        document.Parse<flags>(text.data(), text.size());
    if (document.HasParseError() || !document.IsObject())
        return std::nullopt;
    return document;
}

std::optional<std::string> jsonString(const rapidjson::Value* value)
{
    auto const text = jsonText(value);
    if (!text)
        return std::nullopt;
    return std::string(*text);
}

std::optional<Date> jsonDate(const rapidjson::Value* value)
{
    auto const text = jsonText(value);
    return text ? parseInternetDateTime(*text) : std::nullopt;
}

}

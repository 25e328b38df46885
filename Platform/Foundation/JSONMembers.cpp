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

const rapidjson::Value* jsonMember(const rapidjson::Value& object, std::string_view name)
{
    if (!object.IsObject())
        return nullptr;
    auto const found = object.FindMember(rapidjson::Value(rapidjson::StringRef(name.data(), static_cast<rapidjson::SizeType>(name.size()))));
    return found == object.MemberEnd() ? nullptr : &found->value;
}

std::optional<std::string_view> jsonText(const rapidjson::Value* value)
{
    if (!value || !value->IsString())
        return std::nullopt;
    return std::string_view(value->GetString(), value->GetStringLength());
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

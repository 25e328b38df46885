#include "Platform/Foundation/JSONMembers.hpp"

namespace Foundation {

const rapidjson::Value* jsonMember(const rapidjson::Value& object, const char* name)
{
    if (!object.IsObject())
        return nullptr;
    auto const found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

std::optional<std::string_view> jsonText(const rapidjson::Value* value)
{
    if (!value || !value->IsString())
        return std::nullopt;
    return std::string_view(value->GetString(), value->GetStringLength());
}

}

// Looking into a parsed JSON value whose shape is not trusted: a member
// that may be absent, a value that may not be a string.
//
// Internal to the library: the header names RapidJSON's types and is not
// installed.
#pragma once

#include <rapidjson/document.h>

#include <optional>
#include <string_view>

namespace Foundation {

// The member `name` of `object`; nothing when `object` is not an object or
// has no such member.
const rapidjson::Value* jsonMember(const rapidjson::Value& object, const char* name);

// The text of `value`, pointing into it; nothing when there is no value or
// it is not a string.
std::optional<std::string_view> jsonText(const rapidjson::Value* value);

}

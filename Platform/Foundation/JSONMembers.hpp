// Reading a JSON text whose shape is not trusted: the one object it holds,
// and looking into it for a member that may be absent, a value that may not
// be a string or a date. The readers of what JSONWriter.hpp writes.
//
// Internal to the library: the header names RapidJSON's types and is not
// installed.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <rapidjson/document.h>

#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// Whether NaN and Infinity, which are not JSON but which some writers put
// out, are read as numbers rather than failing the whole text.
enum class NonFiniteNumbers { rejected, accepted };

// The one JSON object `text` holds, its encoding checked as UTF-8 and its
// numbers read at full precision (a value read back compares equal to what
// was written). The parse is iterative, so no nesting can exhaust the stack.
// Nothing for a text that is not one valid object.
//   parseJSONObject(R"({"a": 1})")->IsObject()
//   !parseJSONObject("[1]") && !parseJSONObject(R"({"a": 1} x)")
std::optional<rapidjson::Document> parseJSONObject(std::string_view text,
    NonFiniteNumbers nonFinite = NonFiniteNumbers::rejected);

// The member `name` of `object`; nothing when `object` is not an object or
// has no such member. A null member is a value like any other. Inline, as
// the Codex log reader looks up members on its hot path.
inline const rapidjson::Value* jsonMember(const rapidjson::Value& object, std::string_view name)
{
    if (!object.IsObject())
        return nullptr;
    auto const found = object.FindMember(rapidjson::Value(rapidjson::StringRef(name.data(), static_cast<rapidjson::SizeType>(name.size()))));
    return found == object.MemberEnd() ? nullptr : &found->value;
}

// The text of `value`, pointing into it; nothing when there is no value or
// it is not a string (null included).
inline std::optional<std::string_view> jsonText(const rapidjson::Value* value)
{
    if (!value || !value->IsString())
        return std::nullopt;
    return std::string_view(value->GetString(), value->GetStringLength());
}

// The same text copied, for a record that outlives the document.
std::optional<std::string> jsonString(const rapidjson::Value* value);

// The instant an internet date-time text holds (parseInternetDateTime's
// form, which writeJSONDate writes); nothing when there is no value, it is
// not a string, or not such a text.
std::optional<Date> jsonDate(const rapidjson::Value* value);

}

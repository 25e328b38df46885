// JSONWriter: the one pretty-printing writer a JSON text is written
// through, two spaces a level. Whoever writes a value writes it into the
// writer at hand, so that documents nest inside larger ones (an entry in a
// timeline, a snapshot in an entry) without being printed and re-indented.
//
//   Foundation::JSONWriter writer;
//   writer.StartObject(); writer.Key("date"); ...; writer.EndObject();
//   fmt::print("{}\n", writer.text());
//
// Optional values are written one of two ways: inside a value, as null;
// as a member, by leaving the member out. Dates are internet date-time texts
// at whole seconds (InternetDateTime.hpp); JSONMembers.hpp reads them back.
//
// Internal to the library: the header names RapidJSON's types and is not
// installed.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/InternetDateTime.hpp"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

namespace Detail {

// Built before the writer that writes into it.
struct JSONText {
    rapidjson::StringBuffer buffer;
};

}

class JSONWriter : private Detail::JSONText, public rapidjson::PrettyWriter<rapidjson::StringBuffer> {
public:
    JSONWriter()
        : PrettyWriter(buffer)
    {
        SetIndent(' ', 2);
    }

    // What has been written so far.
    std::string_view text() const { return { buffer.GetString(), buffer.GetSize() }; }
};

// The same on one line, for protocols that read one document a line.
class JSONLineWriter : private Detail::JSONText, public rapidjson::Writer<rapidjson::StringBuffer> {
public:
    JSONLineWriter()
        : Writer(buffer)
    {
    }

    std::string_view text() const { return { buffer.GetString(), buffer.GetSize() }; }
};

// Writes `text` as a JSON string, whatever its length.
template <class Writer>
void writeJSONString(Writer& writer, std::string_view text)
{
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()), true);
}

// Writes `text` as a JSON string, or null when there is none.
template <class Writer>
void writeJSONStringOrNull(Writer& writer, const std::optional<std::string>& text)
{
    if (text)
        writeJSONString(writer, *text);
    else
        writer.Null();
}

// Writes `date` as its internet date-time text; null when there is none or
// its year has more than four digits.
template <class Writer>
void writeJSONDate(Writer& writer, std::optional<Date> date)
{
    writeJSONStringOrNull(writer, date ? formatInternetDateTime(*date) : std::nullopt);
}

// Writes the member `key` holding `text`; nothing when there is no text.
template <class Writer>
void writeJSONMember(Writer& writer, std::string_view key, const std::optional<std::string>& text)
{
    if (!text)
        return;
    writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
    writeJSONString(writer, *text);
}

// Writes the member `key` holding `date`'s internet date-time text; nothing
// when there is no date or its year has more than four digits, which leaves
// it unknown.
template <class Writer>
void writeJSONDateMember(Writer& writer, std::string_view key, std::optional<Date> date)
{
    writeJSONMember(writer, key, date ? formatInternetDateTime(*date) : std::nullopt);
}

}

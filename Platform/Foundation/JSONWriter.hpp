// JSONWriter: the one pretty-printing writer a JSON text is written
// through, two spaces a level. Whoever writes a value writes it into the
// writer at hand, so that documents nest inside larger ones (an entry in a
// timeline, a snapshot in an entry) without being printed and re-indented.
//
//   Foundation::JSONWriter writer;
//   writer.StartObject(); writer.Key("date"); ...; writer.EndObject();
//   fmt::print("{}\n", writer.text());
//
// Internal to the library: the header names RapidJSON's types and is not
// installed.
#pragma once

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

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

}

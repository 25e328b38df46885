// TavvoWidgetEntry: what the widget shows at one instant: the document read
// from the shared folder, or the already localized reason there is none.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

#include <optional>
#include <string>

namespace Foundation {
class JSONWriter;
}

struct TavvoWidgetEntry {
    // The present instant of every view: freshness, countdowns and reset
    // times are judged against it.
    Foundation::Date date;
    std::optional<TavvoWidgetSnapshot> snapshot;
    std::optional<std::string> errorText;

    friend bool operator==(const TavvoWidgetEntry&, const TavvoWidgetEntry&) = default;
};

// The entry as the writer's next value, one JSON object for the host's
// command line:
//   {"date": "<UTC text>", "snapshot": <document> | null, "errorText": "<text>" | null}
// with the document in its stored form. Throws EncodingError when a date
// of the document cannot be written.
void writeJSON(Foundation::JSONWriter& writer, const TavvoWidgetEntry& entry);

// The `tavvoWidget` encoder: writes the snapshot document and its records
// in their JSON form.
//
// Output is pretty-printed with the keys of every object in ascending
// order; absent optionals are left out (never null), required fields and
// both lists are always written; dates are UTC texts ending in "Z" at whole
// seconds; the credits are written as the exact decimal number.
#pragma once

#include "TavvoShared/Snapshot/CodexAnalyticsSummary.hpp"
#include "TavvoShared/Snapshot/EncodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

#include <string>

namespace Foundation {
class JSONWriter;
}

class TavvoWidgetJSONEncoder {
public:
    // A new, independent encoder; encoders are never shared.
    static TavvoWidgetJSONEncoder tavvoWidget() { return {}; }

    // Throws EncodingError for a date whose UTC year four digits cannot
    // hold, or a text that is not valid UTF-8.
    std::string encode(const TavvoWidgetSnapshot& snapshot) const;
    std::string encode(const TavvoWidgetProviderSnapshot& provider) const;
    std::string encode(const TavvoWidgetLimitSnapshot& limit) const;
    std::string encode(const CodexAnalyticsSummary& summary) const;

    // The document as the next value of `writer`, nested at its depth, for
    // a caller writing a larger document around it. After EncodingError the
    // writer is mid-value and only fit to be thrown away.
    void encode(const TavvoWidgetSnapshot& snapshot, Foundation::JSONWriter& writer) const;
};

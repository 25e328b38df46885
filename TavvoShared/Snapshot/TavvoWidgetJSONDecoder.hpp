// The `tavvoWidget` decoder: reads the snapshot document and its records
// from their JSON form.
//
// Keys match exactly; unknown keys are ignored at every level; optional
// keys read an absent key and null alike as absent, but a present value of
// the wrong type fails. Dates are internet date-time texts at whole-second
// precision with "Z" or a numeric offset. One bad value fails the whole
// document with a DecodingError: there is no partial result.
#pragma once

#include "TavvoShared/Snapshot/CodexAnalyticsSummary.hpp"
#include "TavvoShared/Snapshot/DecodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

#include <string_view>

class TavvoWidgetJSONDecoder {
public:
    // A new, independent decoder; decoders are never shared.
    static TavvoWidgetJSONDecoder tavvoWidget() { return {}; }

    // Objects nested deeper than this are refused rather than risking the
    // stack; real documents nest four levels.
    static constexpr unsigned maximumNestingDepth = 256;

    // Decodes one record from a JSON text whose root is that record's
    // object. The schema version is not checked here.
    template <typename Record>
    Record decode(std::string_view json) const;
};

template <>
TavvoWidgetSnapshot TavvoWidgetJSONDecoder::decode<TavvoWidgetSnapshot>(std::string_view) const;
template <>
TavvoWidgetProviderSnapshot TavvoWidgetJSONDecoder::decode<TavvoWidgetProviderSnapshot>(std::string_view) const;
template <>
TavvoWidgetLimitSnapshot TavvoWidgetJSONDecoder::decode<TavvoWidgetLimitSnapshot>(std::string_view) const;
template <>
CodexAnalyticsSummary TavvoWidgetJSONDecoder::decode<CodexAnalyticsSummary>(std::string_view) const;

// Fuzzes the snapshot decoder with arbitrary bytes, as another program (or a
// broken disk) could leave them at the snapshot path.
//
// Every input must either decode or fail with a DecodingError; nothing else
// may escape, crash or trip a sanitizer. What decodes must be a fixed point
// of the round trip: encoding it and decoding the result gives the same
// record, and encoding that again gives the same bytes. The input is read
// as each record's root in turn, so the provider, limit and analytics
// readers are exercised on their own as well.
#include "Platform/Foundation/InternetDateTime.hpp"
#include "TavvoShared/Snapshot/DecodingError.hpp"
#include "TavvoShared/Snapshot/EncodingError.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, std::string_view input)
{
    std::fprintf(stderr, "round trip broken: %s\ninput: %.*s\n", what, static_cast<int>(input.size()), input.data());
    std::abort();
}

bool isWritable(const std::optional<Foundation::Date>& date)
{
    return !date || Foundation::formatInternetDateTime(*date).has_value();
}

// The decoder accepts any four-digit year with any offset, so an instant
// may land in the year -1 or 10000 in UTC, which four digits cannot write.
// That, and only that, may keep a decoded record from being encoded.
bool holdsOnlyWritableDates(const TavvoWidgetLimitSnapshot& limit)
{
    return isWritable(limit.resetDate);
}

bool holdsOnlyWritableDates(const TavvoWidgetProviderSnapshot& provider)
{
    for (auto const& limit : provider.limits) {
        if (!holdsOnlyWritableDates(limit))
            return false;
    }
    return isWritable(provider.observedAt) && isWritable(provider.freshUntil);
}

bool holdsOnlyWritableDates(const CodexAnalyticsSummary& summary)
{
    return isWritable(summary.predictedExhaustionAt) && isWritable(summary.resetAt) && isWritable(summary.forecastObservedAt);
}

bool holdsOnlyWritableDates(const TavvoWidgetSnapshot& snapshot)
{
    for (auto const& provider : snapshot.providers) {
        if (!holdsOnlyWritableDates(provider))
            return false;
    }
    return isWritable(snapshot.generatedAt) && (!snapshot.codexAnalytics || holdsOnlyWritableDates(*snapshot.codexAnalytics));
}

template <typename Record>
void checkRoundTrip(std::string_view input)
{
    auto const decoder = TavvoWidgetJSONDecoder::tavvoWidget();
    auto const encoder = TavvoWidgetJSONEncoder::tavvoWidget();

    std::optional<Record> decoded;
    try {
        decoded = decoder.decode<Record>(input);
    } catch (const Tavvo::DecodingError&) {
        return;
    }

    std::string encoded;
    try {
        encoded = encoder.encode(*decoded);
    } catch (const Tavvo::EncodingError&) {
        if (holdsOnlyWritableDates(*decoded))
            fail("a decoded record cannot be encoded", input);
        return;
    }

    Record again = [&] {
        try {
            return decoder.decode<Record>(encoded);
        } catch (const Tavvo::DecodingError&) {
            fail("the encoding of a decoded record does not decode", encoded);
        }
    }();
    if (!(again == *decoded))
        fail("decoding the encoding gives another record", input);
    if (encoder.encode(again) != encoded)
        fail("encoding is not stable", input);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view const input(reinterpret_cast<const char*>(data), size);
    checkRoundTrip<TavvoWidgetSnapshot>(input);
    checkRoundTrip<TavvoWidgetProviderSnapshot>(input);
    checkRoundTrip<TavvoWidgetLimitSnapshot>(input);
    checkRoundTrip<CodexAnalyticsSummary>(input);
    return 0;
}

#include "TavvoShared/Snapshot/TavvoWidgetJSONDecoder.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <unordered_set>

using namespace std::chrono_literals;

namespace {

TavvoWidgetSnapshot decode(std::string_view json)
{
    return TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(json);
}

std::string encode(const TavvoWidgetSnapshot& snapshot)
{
    return TavvoWidgetJSONEncoder::tavvoWidget().encode(snapshot);
}

std::string decodingFailure(std::string_view json)
{
    try {
        decode(json);
    } catch (const Tavvo::DecodingError& error) {
        return error.what();
    }
    return "(decoded)";
}

// One document with every field present.
TavvoWidgetSnapshot fullDocument()
{
    return TavvoWidgetSnapshot {
        4,
        at("2026-01-31T09:05:00Z"),
        {
            TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::codex, "Codex", "Pro plan", TavvoWidgetProviderStatus::available,
                {
                    { "codex.five_hour", "5h", 63, at("2026-01-31T12:00:00Z") },
                    { "codex.weekly", "Week", std::nullopt, std::nullopt },
                },
                at("2026-01-31T09:00:00Z"), at("2026-01-31T09:15:00Z"), "note \"quoted\" / ünï" },
            TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::claude, "Claude", std::nullopt, TavvoWidgetProviderStatus::noData,
                {}, std::nullopt, std::nullopt, std::nullopt },
        },
        CodexAnalyticsSummary { "me@example.com", "Pro", "Weekly", TavvoWidgetForecastState::exhaustsBeforeReset,
            at("2026-02-01T00:00:00Z"), at("2026-02-02T00:00:00Z"), 41, at("2026-01-31T09:00:00Z"), 1234567,
            Foundation::Decimal::fromString("12345678901234567890.123456789012345678") },
    };
}

constexpr std::string_view fullDocumentJSON = R"({
  "codexAnalytics": {
    "accountLabel": "me@example.com",
    "forecastObservedAt": "2026-01-31T09:00:00Z",
    "forecastState": "exhaustsBeforeReset",
    "planTitle": "Pro",
    "predictedExhaustionAt": "2026-02-01T00:00:00Z",
    "quotaTitle": "Weekly",
    "remainingPercent": 41,
    "resetAt": "2026-02-02T00:00:00Z",
    "weeklyCredits": 12345678901234567890.123456789012345678,
    "weeklyTokens": 1234567
  },
  "generatedAt": "2026-01-31T09:05:00Z",
  "providers": [
    {
      "freshUntil": "2026-01-31T09:15:00Z",
      "id": "codex",
      "limits": [
        {
          "id": "codex.five_hour",
          "remainingPercent": 63,
          "resetDate": "2026-01-31T12:00:00Z",
          "title": "5h"
        },
        {
          "id": "codex.weekly",
          "title": "Week"
        }
      ],
      "note": "note \"quoted\" / ünï",
      "observedAt": "2026-01-31T09:00:00Z",
      "status": "available",
      "subtitle": "Pro plan",
      "title": "Codex"
    },
    {
      "id": "claude",
      "limits": [],
      "status": "noData",
      "title": "Claude"
    }
  ],
  "schemaVersion": 4
})";

}

TEST(TavvoWidgetJSONCoding, WritesSortedPrettyJSONAndReadsItBack)
{
    EXPECT_EQ(encode(fullDocument()), fullDocumentJSON);
    EXPECT_EQ(decode(fullDocumentJSON), fullDocument());
}

TEST(TavvoWidgetJSONCoding, NumbersNeverPassThroughTheProcessLocale)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    auto const encoded = encode(fullDocument());
    auto const decoded = decode(encoded);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(encoded, fullDocumentJSON);
    EXPECT_EQ(decoded, fullDocument());
}

TEST(TavvoWidgetJSONCoding, AbsentAndNullReadAsDefaults)
{
    auto const minimal = decode(R"({"generatedAt":"2026-01-31T09:05:00Z"})");
    EXPECT_EQ(minimal, (TavvoWidgetSnapshot { 1, at("2026-01-31T09:05:00Z"), {}, std::nullopt }));

    auto const nulls = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":null,"providers":[
        {"id":"claude","title":"C","status":"error","limits":null,"subtitle":null,"note":null,"freshUntil":null}],
        "codexAnalytics":null})");
    ASSERT_EQ(nulls.providers.size(), 1u);
    EXPECT_EQ(nulls.schemaVersion, 1);
    EXPECT_TRUE(nulls.providers[0].limits.empty());
    EXPECT_FALSE(nulls.providers[0].subtitle);
    // Written back, both lists are there and no null is.
    auto const written = encode(nulls);
    EXPECT_NE(written.find("\"limits\": []"), std::string::npos) << written;
    EXPECT_EQ(written.find("null"), std::string::npos) << written;
    EXPECT_NE(encode(minimal).find("\"providers\": []"), std::string::npos);
}

TEST(TavvoWidgetJSONCoding, UpdatedAtStandsInForObservedAt)
{
    auto const old = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[
        {"id":"codex","title":"C","status":"available","updatedAt":"2026-01-31T08:00:00Z"}]})");
    EXPECT_EQ(old.providers[0].observedAt, at("2026-01-31T08:00:00Z"));
    auto const written = encode(old);
    EXPECT_NE(written.find("\"observedAt\": \"2026-01-31T08:00:00Z\""), std::string::npos);
    EXPECT_EQ(written.find("updatedAt"), std::string::npos);

    auto const both = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[
        {"id":"codex","title":"C","status":"available","observedAt":"2026-01-31T07:00:00Z","updatedAt":"not a date"}]})");
    EXPECT_EQ(both.providers[0].observedAt, at("2026-01-31T07:00:00Z"));

    auto const nullObserved = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[
        {"id":"codex","title":"C","status":"available","observedAt":null,"updatedAt":"2026-01-31T06:00:00Z"}]})");
    EXPECT_EQ(nullObserved.providers[0].observedAt, at("2026-01-31T06:00:00Z"));
}

TEST(TavvoWidgetJSONCoding, UnknownKeysAreIgnoredAndDropped)
{
    auto const snapshot = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","extra":{"deep":[1,2]},"providers":[
        {"id":"codex","title":"C","status":"available","x":1,"limits":[{"id":"l","title":"L","y":true}]}],
        "codexAnalytics":{"forecastState":"stale","weeklyTokens":0,"z":"?"}})");
    auto const written = encode(snapshot);
    for (const char* unknown : { "extra", "\"x\"", "\"y\"", "\"z\"" })
        EXPECT_EQ(written.find(unknown), std::string::npos) << unknown;
    // Keys are case-sensitive: "GeneratedAt" is just another unknown key.
    EXPECT_EQ(decodingFailure(R"({"GeneratedAt":"2026-01-31T09:05:00Z"})"), "generatedAt: required value is missing");
}

TEST(TavvoWidgetJSONCoding, DatesAreWholeSecondsWithAZoneAndWrittenInUTC)
{
    auto const offset = decode(R"({"generatedAt":"2026-01-31T10:05:00+01:00"})");
    EXPECT_EQ(offset.generatedAt, at("2026-01-31T09:05:00Z"));
    EXPECT_NE(encode(offset).find("\"generatedAt\": \"2026-01-31T09:05:00Z\""), std::string::npos);

    EXPECT_EQ(decodingFailure(R"({"generatedAt":"2026-01-31T09:05:00.250Z"})"),
        "generatedAt: \"2026-01-31T09:05:00.250Z\" is not a date of the form 2026-01-31T09:05:00Z");
    EXPECT_EQ(decodingFailure(R"({"generatedAt":1769850300})"), "generatedAt: expected a date string");

    // Sub-second instants made in memory are written rounded down.
    auto precise = offset;
    precise.generatedAt += 999ms;
    EXPECT_EQ(decode(encode(precise)).generatedAt, offset.generatedAt);

    // An instant four digits cannot write fails the encoding, never the file.
    auto far = offset;
    far.generatedAt = at("9999-12-31T23:59:59-12:00");
    EXPECT_THROW(encode(far), Tavvo::EncodingError);
}

TEST(TavvoWidgetJSONCoding, IntegersAreExactSixtyFourBitValues)
{
    auto const extremes = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":-9223372036854775808,
        "providers":[{"id":"codex","title":"C","status":"available","limits":[
            {"id":"a","title":"A","remainingPercent":9223372036854775807},
            {"id":"b","title":"B","remainingPercent":-9223372036854775808}]}],
        "codexAnalytics":{"forecastState":"collecting","weeklyTokens":9223372036854775807,"remainingPercent":-1}})");
    EXPECT_EQ(extremes.schemaVersion, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(extremes.providers[0].limits[0].remainingPercent, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(extremes.providers[0].limits[1].remainingPercent, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(extremes.codexAnalytics->weeklyTokens, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(decode(encode(extremes)), extremes);

    EXPECT_EQ(decodingFailure(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":9223372036854775808})"),
        "schemaVersion: 9223372036854775808 does not fit a 64-bit integer");
    EXPECT_EQ(decodingFailure(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":4.0})"),
        "schemaVersion: expected an integer, found 4.0");
    EXPECT_EQ(decodingFailure(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":"4"})"),
        "schemaVersion: expected an integer");
}

TEST(TavvoWidgetJSONCoding, CreditsKeepEveryDecimalDigit)
{
    for (std::string_view credits : { "0.1", "-0.000000000000000000000000000000000001", "99999999999999999999999999999999999999",
             "1e-5", "123.4500" }) {
        auto const json = std::string(R"({"generatedAt":"2026-01-31T09:05:00Z","codexAnalytics":{"forecastState":"stale","weeklyTokens":1,"weeklyCredits":)")
            + std::string(credits) + "}}";
        auto const snapshot = decode(json);
        EXPECT_EQ(snapshot.codexAnalytics->weeklyCredits, Foundation::Decimal::fromString(credits)) << credits;
        EXPECT_EQ(decode(encode(snapshot)), snapshot) << credits;
    }
    EXPECT_EQ(decodingFailure(R"({"generatedAt":"2026-01-31T09:05:00Z","codexAnalytics":{"forecastState":"stale","weeklyTokens":1,"weeklyCredits":"1.5"}})"),
        "codexAnalytics.weeklyCredits: expected a number");
    EXPECT_EQ(decodingFailure(R"({"generatedAt":"2026-01-31T09:05:00Z","codexAnalytics":{"forecastState":"stale","weeklyTokens":1,"weeklyCredits":1e200}})"),
        "codexAnalytics.weeklyCredits: 1e200 is outside the range of a decimal");
}

TEST(TavvoWidgetJSONCoding, OneBadValueFailsTheWholeDocument)
{
    struct Case {
        const char* json;
        const char* error;
    };
    Case const cases[] = {
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"codex","title":"C","status":"offline"}]})",
            "providers[0].status: \"offline\" is not one of the accepted values" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"gemini","title":"C","status":"available"}]})",
            "providers[0].id: \"gemini\" is not one of the accepted values" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"Codex","title":"C","status":"available"}]})",
            "providers[0].id: \"Codex\" is not one of the accepted values" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"codex","title":null,"status":"available"}]})",
            "providers[0].title: required value is missing" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"codex","title":"C","status":"available","subtitle":5}]})",
            "providers[0].subtitle: expected a string" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"codex","title":"C","status":"available","limits":[{"id":"l","title":"L","remainingPercent":"5"}]}]})",
            "providers[0].limits[0].remainingPercent: expected an integer" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[{"id":"codex","title":"C","status":"available","limits":{}}]})",
            "providers[0].limits: expected an array" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":[1]})", "providers[0]: expected an object" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","providers":{}})", "providers: expected an array" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","codexAnalytics":{"weeklyTokens":1}})",
            "codexAnalytics.forecastState: required value is missing" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","codexAnalytics":{"forecastState":"stale"}})",
            "codexAnalytics.weeklyTokens: required value is missing" },
        { R"({"generatedAt":"2026-01-31T09:05:00Z","codexAnalytics":[]})", "codexAnalytics: expected an object" },
        { R"({"generatedAt":true})", "generatedAt: expected a date string" },
        { R"([{"generatedAt":"2026-01-31T09:05:00Z"}])", "the root of the data is not an object" },
        { R"("text")", "the root of the data is not an object" },
    };
    for (auto const& c : cases)
        EXPECT_EQ(decodingFailure(c.json), c.error) << c.json;
}

// Bytes, encodings, nesting and marks are swept by the conformance tests;
// these are the syntax slips a hand-edited file shows.
TEST(TavvoWidgetJSONCoding, MalformedTextFailsCleanly)
{
    std::string const valid = R"({"generatedAt":"2026-01-31T09:05:00Z"})";
    std::string const bad[] = {
        "",
        " ",
        valid + "x",
        valid + std::string(1, '\0') + "garbage",
        "{\"generatedAt\":\"2026-01-31T09:05:00Z\",}",
        "{'generatedAt':'2026-01-31T09:05:00Z'}",
    };
    for (auto const& json : bad)
        EXPECT_THROW(decode(json), Tavvo::DecodingError) << json;
    EXPECT_EQ(decodingFailure(std::string(100'000, '[')), "the data is nested deeper than 256 levels");
    EXPECT_NO_THROW(decode(" \t\r\n" + valid + " \t\r\n"));
}

TEST(TavvoWidgetJSONCoding, InvalidTextInMemoryFailsTheEncoding)
{
    auto snapshot = fullDocument();
    snapshot.providers[1].title = "\xff";
    try {
        encode(snapshot);
        ADD_FAILURE() << "encoded";
    } catch (const Tavvo::EncodingError& error) {
        EXPECT_STREQ(error.what(), "providers[1].title: the text is not valid UTF-8");
    }
}

TEST(TavvoWidgetJSONCoding, RecordsEncodeOnTheirOwn)
{
    auto const limit = fullDocument().providers[0].limits[0];
    auto const json = TavvoWidgetJSONEncoder::tavvoWidget().encode(limit);
    EXPECT_EQ(TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetLimitSnapshot>(json), limit);
    auto const analytics = *fullDocument().codexAnalytics;
    EXPECT_EQ(TavvoWidgetJSONDecoder::tavvoWidget().decode<CodexAnalyticsSummary>(TavvoWidgetJSONEncoder::tavvoWidget().encode(analytics)), analytics);
}

TEST(TavvoWidgetSnapshot, EqualityHashingAndProviderLookup)
{
    auto const document = fullDocument();
    auto changed = document;
    changed.providers[0].limits[1].remainingPercent = 0; // absent differs from 0
    EXPECT_NE(document, changed);
    std::unordered_set<TavvoWidgetSnapshot> const set { document, fullDocument(), changed };
    EXPECT_EQ(set.size(), 2u);

    auto twoClaudes = document;
    twoClaudes.providers.push_back(document.providers[1]);
    twoClaudes.providers.back().title = "second";
    EXPECT_EQ(twoClaudes.provider(TavvoWidgetProviderID::claude)->title, "Claude");
    twoClaudes.providers.erase(twoClaudes.providers.begin());
    EXPECT_FALSE(twoClaudes.provider(TavvoWidgetProviderID::codex));

    EXPECT_EQ(Foundation::fromRawValue<TavvoWidgetProviderStatus>("noData"), TavvoWidgetProviderStatus::noData);
    EXPECT_FALSE(Foundation::fromRawValue<TavvoWidgetProviderStatus>("nodata"));
    EXPECT_EQ(Foundation::allCases<TavvoWidgetProviderID>(), (std::array { TavvoWidgetProviderID::codex, TavvoWidgetProviderID::claude }));
}

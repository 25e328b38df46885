
#include "Hardening/HardeningSupport.hpp"
#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <iterator>
#include <unordered_set>

using namespace std::chrono_literals;
using namespace Hardening;

namespace {

std::string encodingFailure(const TavvoWidgetSnapshot& snapshot)
{
    try {
        encode(snapshot);
    } catch (const Tavvo::EncodingError& error) {
        return error.what();
    }
    return "(encoded)";
}

// The document as the writer puts it: sorted keys, two-space indents, the
// credits as written. The decoder fuzzer starts from the same text.
std::string fullDocumentJSON()
{
    std::ifstream file(std::string(TAVVO_DECODER_SEEDS_DIR) + "/full-document.json", std::ios::binary);
    std::string const text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(text.ends_with("}\n")) << "no seed at " << TAVVO_DECODER_SEEDS_DIR;
    return text.substr(0, text.size() - 1);
}

}

TEST(TavvoWidgetJSONCoding, WritesSortedPrettyJSONAndReadsItBack)
{
    EXPECT_EQ(encode(fullDocument()), fullDocumentJSON());
    EXPECT_EQ(decode(fullDocumentJSON()), fullDocument());
}

TEST(TavvoWidgetJSONCoding, NumbersNeverPassThroughTheProcessLocale)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    auto const encoded = encode(fullDocument());
    auto const decoded = decode(encoded);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(encoded, fullDocumentJSON());
    EXPECT_EQ(decoded, fullDocument());
}

TEST(TavvoWidgetJSONCoding, AbsentNullAndOlderKeysReadAsDefaultsAndAreWrittenTheCurrentWay)
{
    auto const minimal = decode(R"({"generatedAt":"2026-01-31T10:05:00+01:00"})");
    EXPECT_EQ(minimal, (TavvoWidgetSnapshot { 1, at("2026-01-31T09:05:00Z"), {}, std::nullopt }));
    EXPECT_EQ(encode(minimal), "{\n  \"generatedAt\": \"2026-01-31T09:05:00Z\",\n  \"providers\": [],\n  \"schemaVersion\": 1\n}");

    // Nulls stand for absent values; "updatedAt" is an older writer's
    // "observedAt" and counts only when that is absent or null.
    auto const nulls = decode(R"({"generatedAt":"2026-01-31T09:05:00Z","schemaVersion":null,"providers":[
        {"id":"claude","title":"C","status":"error","limits":null,"subtitle":null,"note":null,"freshUntil":null,"updatedAt":"2026-01-31T08:00:00Z"},
        {"id":"codex","title":"C","status":"available","observedAt":"2026-01-31T07:00:00Z","updatedAt":"not a date"},
        {"id":"codex","title":"C","status":"available","observedAt":null,"updatedAt":"2026-01-31T06:00:00Z"}],
        "codexAnalytics":null,"extra":{"deep":[1,2]}})");
    auto expected = TavvoWidgetSnapshot { 1, at("2026-01-31T09:05:00Z"), {}, std::nullopt };
    for (auto const& [id, status, observed] : { std::tuple { TavvoWidgetProviderID::claude, TavvoWidgetProviderStatus::error, "2026-01-31T08:00:00Z" },
             { TavvoWidgetProviderID::codex, TavvoWidgetProviderStatus::available, "2026-01-31T07:00:00Z" },
             { TavvoWidgetProviderID::codex, TavvoWidgetProviderStatus::available, "2026-01-31T06:00:00Z" } })
        expected.providers.push_back({ id, "C", std::nullopt, status, {}, at(observed), std::nullopt, std::nullopt });
    EXPECT_EQ(nulls, expected);
    // Written back: every list present, no null, no older or unknown key.
    auto const written = encode(nulls);
    for (const char* gone : { "null", "updatedAt", "extra" })
        EXPECT_EQ(written.find(gone), std::string::npos) << gone << " in " << written;
    EXPECT_NE(written.find("\"limits\": []"), std::string::npos) << written;
}

TEST(TavvoWidgetJSONCoding, DatesAreWholeSecondsWrittenInUTC)
{
    auto precise = decode(R"({"generatedAt":"2026-01-31T09:05:00Z"})");
    precise.generatedAt += 999ms; // made in memory: written rounded down
    EXPECT_EQ(decode(encode(precise)).generatedAt, at("2026-01-31T09:05:00Z"));

    // An instant four digits cannot write, or a text that is not UTF-8,
    // fails the encoding, never the file.
    precise.generatedAt = at("9999-12-31T23:59:59-12:00");
    EXPECT_EQ(encodingFailure(precise), "generatedAt: the date lies outside the years 0000 to 9999");
    auto invalid = fullDocument();
    invalid.providers[1].title = "\xff";
    EXPECT_EQ(encodingFailure(invalid), "providers[1].title: the text is not valid UTF-8");
}

// One bad value fails the whole document, and the error names the field.
TEST(TavvoWidgetJSONCoding, OneBadValueFailsTheWholeDocumentNamingTheField)
{
    std::string const root = R"({"generatedAt":"2026-01-31T09:05:00Z",)";
    std::string const provider = root + R"("providers":[{"id":"codex","title":"C","status":"available",)";
    std::string const analytics = root + R"("codexAnalytics":{"forecastState":"stale","weeklyTokens":1,)";
    std::pair<std::string, std::string> const cases[] = {
        { root + R"("providers":[{"id":"codex","title":"C","status":"offline"}]})", "providers[0].status: \"offline\" is not one of the accepted values" },
        { root + R"("providers":[{"id":"Codex","title":"C","status":"available"}]})", "providers[0].id: \"Codex\" is not one of the accepted values" },
        { root + R"("providers":[{"id":"codex","title":null,"status":"available"}]})", "providers[0].title: required value is missing" },
        { provider + R"("subtitle":5}]})", "providers[0].subtitle: expected a string" },
        { provider + R"("limits":[{"id":"l","title":"L","remainingPercent":"5"}]}]})", "providers[0].limits[0].remainingPercent: expected an integer" },
        { provider + R"("limits":{}}]})", "providers[0].limits: expected an array" },
        { root + R"("providers":[1]})", "providers[0]: expected an object" },
        { root + R"("codexAnalytics":{"weeklyTokens":1}})", "codexAnalytics.forecastState: required value is missing" },
        { root + R"("codexAnalytics":{"forecastState":"stale"}})", "codexAnalytics.weeklyTokens: required value is missing" },
        { analytics + R"("weeklyCredits":"1.5"}})", "codexAnalytics.weeklyCredits: expected a number" },
        { root + R"("schemaVersion":"4"})", "schemaVersion: expected an integer" },
        // Keys are case-sensitive: "GeneratedAt" is just another unknown key.
        { R"({"GeneratedAt":"2026-01-31T09:05:00Z"})", "generatedAt: required value is missing" },
        { R"({"generatedAt":"2026-01-31T09:05:00.250Z"})", "generatedAt: \"2026-01-31T09:05:00.250Z\" is not a date of the form 2026-01-31T09:05:00Z" },
        { R"({"generatedAt":1769850300})", "generatedAt: expected a date string" },
        { R"([{"generatedAt":"2026-01-31T09:05:00Z"}])", "the root of the data is not an object" },
    };
    for (auto const& [json, error] : cases)
        EXPECT_EQ(refusal(json), error) << json;
}

TEST(TavvoWidgetSnapshot, EqualityHashingAndProviderLookup)
{
    auto const document = fullDocument();
    auto changed = document;
    changed.providers[0].limits[1].remainingPercent = 0; // absent differs from 0
    std::unordered_set<TavvoWidgetSnapshot> const set { document, fullDocument(), changed };
    EXPECT_EQ(set.size(), 2u);

    // The first provider of an id is the one found.
    auto twoClaudes = document;
    twoClaudes.providers.push_back(document.providers[1]);
    twoClaudes.providers.back().title = "second";
    EXPECT_EQ(twoClaudes.provider(TavvoWidgetProviderID::claude)->title, "Claude");
    twoClaudes.providers.erase(twoClaudes.providers.begin());
    EXPECT_FALSE(twoClaudes.provider(TavvoWidgetProviderID::codex));
}

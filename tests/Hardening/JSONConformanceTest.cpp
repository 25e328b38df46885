// The decoder against malformed and unusual JSON texts, where the answer is
// fixed in advance: texts that must be refused, with the error they must
// give, and texts that must decode to a given value. That whatever decodes
// survives being written and read back is the decoder fuzzer's property,
// checked over its seeds (fuzz/corpus/SnapshotDecoderFuzzer) by every
// smoke run.
#include "Hardening/HardeningSupport.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace Hardening;

namespace {

constexpr std::string_view validRoot = R"({"generatedAt":"2026-01-31T09:05:00Z")";

// A root object with `members` after a valid "generatedAt".
std::string rootWith(std::string_view members)
{
    return std::string(validRoot) + "," + std::string(members) + "}";
}

// A provider object whose title is `titleJSON`, in a valid root.
std::string documentWithTitle(std::string_view titleJSON)
{
    return rootWith(R"("providers":[{"id":"codex","status":"available","title":)" + std::string(titleJSON) + "}]");
}

}

// Every proper prefix of a valid document is an incomplete text, also when
// it cuts a multi-byte character or an escape in half.
TEST(JSONConformance, EveryTruncationIsRefused)
{
    auto const document = encode(fullDocument());
    std::size_t truncations = 0;
    for (auto const& form : { document, "\xef\xbb\xbf" + document }) {
        ASSERT_EQ(decodeOrNothing(form), fullDocument());
        for (std::size_t length = 0; length < form.size(); ++length, ++truncations)
            EXPECT_FALSE(decodeOrNothing(std::string_view(form).substr(0, length))) << form.substr(0, length);
    }
    RecordProperty("truncations", static_cast<int>(truncations));
}

// Each kind of text that is not JSON, or not a document, in each place it
// can hide: refused as a whole, with the position or the field at fault.
TEST(JSONConformance, MalformedTextsAreRefusedWithTheirReason)
{
    std::string const nul(1, '\0');
    std::string const deep(100'000, '[');
    std::pair<std::string, std::string> const cases[] = {
        // Ill-formed UTF-8: a stray continuation byte, an overlong form, an
        // encoded surrogate.
        { documentWithTitle("\"a\x80\""), "the data is not valid JSON: Invalid encoding in string. (at byte 96)" },
        { rootWith("\"x\xc0\xaf\":1"), "the data is not valid JSON: Invalid encoding in string. (at byte 40)" },
        { rootWith("\"x\":\"\xed\xa0\x80\""), "the data is not valid JSON: Invalid encoding in string. (at byte 43)" },
        // Unpaired or misordered surrogate escapes never reach memory.
        { documentWithTitle(R"("\ud800")"), "the data is not valid JSON: The surrogate pair in string is invalid. (at byte 95)" },
        { documentWithTitle(R"("\udc00\ud800")"), "the data is not valid JSON: The surrogate pair in string is invalid. (at byte 101)" },
        // Raw control characters and NULs; a malformed escape.
        { documentWithTitle("\"a\x01" "b\""), "the data is not valid JSON: Invalid escape character in string. (at byte 96)" },
        { rootWith("\"x\t\":1"), "the data is not valid JSON: Invalid escape character in string. (at byte 40)" },
        { documentWithTitle("\"a" + nul + "b\""), "the data is not valid JSON: Missing a closing quotation mark in string. (at byte 96)" },
        { std::string(validRoot) + "}" + nul, "the data is not valid JSON: unexpected data after the root value (at byte 38)" },
        { documentWithTitle(R"("\x41")"), "the data is not valid JSON: Invalid escape character in string. (at byte 95)" },
        // Byte-order marks: a piece of one, a second one, one elsewhere.
        { "\xef\xbb" + std::string(validRoot) + "}", "the data is not valid JSON: Invalid value. (at byte 0)" },
        { "\xef\xbb\xbf\xef\xbb\xbf" + std::string(validRoot) + "}", "the data is not valid JSON: Invalid value. (at byte 3)" },
        { std::string(validRoot) + "}\xef\xbb\xbf", "the data is not valid JSON: unexpected data after the root value (at byte 38)" },
        // Numbers no field can hold.
        { rootWith(R"("schemaVersion":1e400)"), "the data is not valid JSON: Number too big to be stored in double. (at byte 54)" },
        { rootWith(R"("schemaVersion":-9223372036854775809)"), "schemaVersion: -9223372036854775809 does not fit a 64-bit integer" },
        { rootWith(R"("schemaVersion":1e2)"), "schemaVersion: expected an integer, found 1e2" },
        { rootWith(R"("codexAnalytics":{"forecastState":"stale","weeklyTokens":18446744073709551616})"), "codexAnalytics.weeklyTokens: 18446744073709551616 does not fit a 64-bit integer" },
        { rootWith(R"("codexAnalytics":{"forecastState":"stale","weeklyTokens":1,"weeklyCredits":1e-400})"), "codexAnalytics.weeklyCredits: 1e-400 is outside the range of a decimal" },
        // Nesting beyond the cap, at the root and where it would be ignored.
        { deep, "the data is nested deeper than 256 levels" },
        { rootWith(R"("x":)" + deep + std::string(100'000, ']')), "the data is nested deeper than 256 levels" },
        // A key is not what it resembles; a bad first duplicate counts.
        { R"({"generatedAt\u0000":"2026-01-31T09:05:00Z"})", "generatedAt: required value is missing" },
        { documentWithTitle(R"(5,"title":"second")"), "providers[0].title: expected a string" },
        // The syntax slips a hand-edited file shows.
        { std::string(validRoot) + ",}", "the data is not valid JSON: Missing a name for object member. (at byte 38)" },
        { "{'generatedAt':'2026-01-31T09:05:00Z'}", "the data is not valid JSON: Missing a name for object member. (at byte 1)" },
    };
    for (auto const& [json, reason] : cases)
        EXPECT_EQ(refusal(json), reason) << json.substr(0, 80);
}

// Texts at the edges of the rules, with the value they must give.
TEST(JSONConformance, EdgeTextsDecodeToTheirValue)
{
    std::pair<std::string, std::string> const titles[] = {
        { R"("\ud83d\ude00 \u00fc\u4e94")", "😀 ü五" },
        { R"("a\u0000b\u001f")", std::string("a\0b\x1f", 4) },
        { "\"\x7f\xc2\x80\xef\xbf\xbf\xf4\x8f\xbf\xbf\"", "\x7f\xc2\x80\xef\xbf\xbf\xf4\x8f\xbf\xbf" },
        // Duplicate keys: the first counts, also when a later one would not decode.
        { R"("first","title":"second")", "first" },
        { R"("first","title":5)", "first" },
    };
    for (auto const& [json, title] : titles) {
        auto const snapshot = decodeOrNothing(documentWithTitle(json));
        ASSERT_TRUE(snapshot) << json;
        EXPECT_EQ(snapshot->providers.at(0).title, title);
    }

    auto const edge = decodeOrNothing("\xef\xbb\xbf " + rootWith(R"("schemaVersion":-9223372036854775808)"));
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->schemaVersion, std::numeric_limits<std::int64_t>::min());

    auto const depth = TavvoWidgetJSONDecoder::maximumNestingDepth - 1; // the root takes one level
    EXPECT_EQ(decodeOrNothing(rootWith("\"x\":" + std::string(depth, '[') + std::string(depth, ']'))),
        decodeOrNothing(std::string(validRoot) + "}"));
}

// Work grows with the input, not faster: in each shape that makes a reader
// repeat work (a long text, many members, many duplicates, long runs of
// white space), a megabyte decodes to what it holds. A reader
// with quadratic work in any of them would take hours; there is no clock in
// the assertions.
TEST(JSONConformance, LargeInputsOfEveryShapeDecode)
{
    constexpr std::size_t count = 1'000'000;
    auto const longTitle = decodeOrNothing(documentWithTitle("\"" + std::string(count, 'x') + "\""));
    ASSERT_TRUE(longTitle);
    EXPECT_EQ(longTitle->providers[0].title.size(), count);

    std::string unknownMembers;
    std::string duplicates;
    for (std::size_t index = 0; index < count / 10; ++index) {
        unknownMembers += "\"k" + std::to_string(index) + "\":[0,\"v\",{}],";
        duplicates += R"("title":"t",)";
    }
    EXPECT_TRUE(decodeOrNothing("{" + unknownMembers + std::string(validRoot.substr(1)) + "}"));
    auto const repeated = decodeOrNothing(rootWith(R"("providers":[{"id":"codex","status":"available",)" + duplicates + R"("title":"last"}])"));
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->providers[0].title, "t");
    EXPECT_TRUE(decodeOrNothing(std::string(count, ' ') + std::string(validRoot) + std::string(count, '\n') + "}" + std::string(count, '\t')));
}

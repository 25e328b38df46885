// The decoder against malformed and unusual JSON texts: every text either
// decodes by the document's rules or fails with a DecodingError, never with
// a crash, another exception or unbounded work; and whatever decodes
// survives being written and read back unchanged.
#include "Hardening/HardeningSupport.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <vector>

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

// Whatever decodes must come back unchanged from its own encoding, and
// that encoding must be stable: what the widget reads, the host could have
// written.
void expectFixedPoint(const TavvoWidgetSnapshot& decoded, std::string_view input)
{
    std::string encoded;
    try {
        encoded = encode(decoded);
    } catch (const Tavvo::EncodingError& error) {
        ADD_FAILURE() << "decoded but cannot be written back (" << error.what() << "): " << input.substr(0, 80);
        return;
    }
    auto const again = decodeOrNothing(encoded);
    ASSERT_TRUE(again) << encoded;
    EXPECT_EQ(*again, decoded) << input.substr(0, 80);
    EXPECT_EQ(encode(*again), encoded);
}

void expectRefused(std::string_view json, std::string_view what)
{
    EXPECT_FALSE(decodeOrNothing(json)) << what << ": " << json.substr(0, 80);
}

}

// Every proper prefix of a valid document is an incomplete text, also when
// it cuts a multi-byte character or an escape in half.
TEST(JSONConformance, EveryTruncationIsRefused)
{
    auto const pretty = encode(fullDocument());
    // The same document without white space between tokens.
    std::string compact;
    bool inText = false;
    for (std::size_t index = 0; index < pretty.size(); ++index) {
        char const character = pretty[index];
        if (inText && character == '\\') {
            compact += pretty.substr(index++, 2);
            continue;
        }
        inText ^= character == '"';
        if (inText || (character != '\n' && character != ' '))
            compact += character;
    }
    std::size_t truncations = 0;
    for (auto const& document : { pretty, compact, "\xef\xbb\xbf" + compact }) {
        ASSERT_EQ(decodeOrNothing(document), fullDocument()) << document;
        for (std::size_t length = 0; length < document.size(); ++length, ++truncations)
            expectRefused(std::string_view(document).substr(0, length), "truncated");
    }
    RecordProperty("truncations", static_cast<int>(truncations));
}

// Each byte of a valid document replaced by a byte that breaks strings,
// escapes, structure or encoding, and each byte deleted: a small,
// exhaustive mutation sweep over the whole text.
TEST(JSONConformance, SingleByteDamageDecodesByTheRulesOrIsRefused)
{
    auto const document = encode(fullDocument());
    std::string const replacements { '\0', '\x01', '"', '\\', '}', ']', ',', ':', '0', ' ', '\x7f', '\x80', '\xc3', '\xff' };
    int decoded = 0;
    int tried = 0;
    for (std::size_t position = 0; position < document.size(); ++position) {
        std::vector<std::string> damaged;
        for (char const replacement : replacements) {
            damaged.push_back(document);
            damaged.back()[position] = replacement;
        }
        damaged.push_back(document);
        damaged.back().erase(position, 1);
        for (auto const& text : damaged) {
            ++tried;
            if (auto const snapshot = decodeOrNothing(text)) {
                ++decoded;
                expectFixedPoint(*snapshot, text);
            }
        }
    }
    EXPECT_GT(decoded, 0) << "some damage (a changed digit, a blank) leaves a valid document";
    RecordProperty("damagedTexts", tried);
    RecordProperty("damagedTextsThatDecoded", decoded);
}

TEST(JSONConformance, InvalidUTF8IsRefusedWhereverItIs)
{
    // Each sequence is ill-formed UTF-8: stray continuation bytes, a lead
    // byte without its tail, overlong forms, encoded surrogates, code
    // points beyond U+10FFFF and bytes that never occur in UTF-8.
    std::vector<std::string> const sequences {
        "\x80", "\xbf", "\xc3", "\xe2\x82", "\xf0\x9f\x98", "\xc0\xaf", "\xc1\xbf", "\xe0\x80\xaf", "\xf0\x80\x80\xaf",
        "\xed\xa0\x80", "\xed\xbf\xbf", "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xf8\x88\x80\x80\x80", "\xfe", "\xff",
    };
    for (auto const& bad : sequences) {
        expectRefused(documentWithTitle("\"a" + bad + "b\""), "in a known text");
        expectRefused(rootWith("\"x\":\"" + bad + "\""), "in an unknown key's text");
        expectRefused(rootWith("\"x" + bad + "\":1"), "in an unknown key");
        expectRefused(rootWith("\"x\":1" + bad), "between values");
    }

    // Well-formed text of every length, at the edges of each range, stays.
    for (std::string const good : { "\x7f", "\xc2\x80", "\xdf\xbf", "\xe0\xa0\x80", "\xed\x9f\xbf", "\xee\x80\x80",
             "\xef\xbf\xbf", "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf" }) {
        auto const snapshot = decodeOrNothing(documentWithTitle("\"" + good + "\""));
        ASSERT_TRUE(snapshot) << good;
        EXPECT_EQ(snapshot->providers[0].title, good);
        expectFixedPoint(*snapshot, good);
    }
}

// A surrogate escape stands for a character only as a high-low pair;
// alone, in the wrong order or with anything else beside it, it is no
// Unicode text at all, and must not turn into ill-formed UTF-8 in memory.
TEST(JSONConformance, UnpairedSurrogateEscapesAreRefused)
{
    for (std::string_view const escape : { R"(\ud800)", R"(\udbff)", R"(\udc00)", R"(\udfff)", R"(\ud800\u0041)",
             R"(\ud800x)", R"(\udc00\ud800)", R"(\ud800\ud800)", R"(a\udc00b)", R"(\ud83d)", R"(\ude00)" }) {
        auto const text = "\"" + std::string(escape) + "\"";
        expectRefused(documentWithTitle(text), "as a known text");
        expectRefused(rootWith(R"("x":)" + text), "as an unknown key's text");
        expectRefused(rootWith(text + ":1"), "as an unknown key");
    }

    auto const pair = decodeOrNothing(documentWithTitle(R"("\ud83d\ude00 \u00fc\u4e94")"));
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->providers[0].title, "😀 ü五");
    expectFixedPoint(*pair, "pair");
}

TEST(JSONConformance, ControlCharactersMustBeEscaped)
{
    for (int byte = 0; byte < 0x20; ++byte) {
        std::string const raw(1, static_cast<char>(byte));
        expectRefused(documentWithTitle("\"a" + raw + "b\""), "raw in a known text");
        expectRefused(rootWith("\"x\":\"" + raw + "\""), "raw in an unknown key's text");
        expectRefused(rootWith("\"x" + raw + "\":1"), "raw in an unknown key");

        // Escaped, each is an ordinary character and is written back escaped.
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", byte);
        auto const snapshot = decodeOrNothing(documentWithTitle("\"a" + std::string(escape) + "b\""));
        ASSERT_TRUE(snapshot) << escape;
        EXPECT_EQ(snapshot->providers[0].title, "a" + raw + "b");
        expectFixedPoint(*snapshot, escape);
    }
    for (std::string_view const escape : { R"(\x41)", R"(\u12)", R"(\u12g4)", R"(\U0041)", R"(\a)", R"(\')", R"(\)" })
        expectRefused(documentWithTitle("\"" + std::string(escape) + "\""), "malformed escape");
}

// No integer field can hold a number beyond 64 bits, written any way; the
// credits hold 38 significant digits and a bounded exponent.
TEST(JSONConformance, HugeNumbersAreRefusedOrExact)
{
    std::string const digits400(400, '9');
    std::vector<std::string> const hugeIntegers {
        "1e400", "-1e400", "1E+400", digits400, "-" + digits400, "1" + std::string(399, '0'), "9223372036854775808",
        "-9223372036854775809", "18446744073709551616", "1e19", "1e2", "1.0e400", "0.1e-400",
    };
    auto const analytics = [](std::string_view member) {
        return rootWith(R"("codexAnalytics":{"forecastState":"stale","weeklyTokens":1,)" + std::string(member) + "}");
    };
    for (auto const& number : hugeIntegers) {
        expectRefused(rootWith(R"("schemaVersion":)" + number), "schemaVersion");
        expectRefused(rootWith(R"("providers":[{"id":"codex","title":"C","status":"available","limits":[{"id":"l","title":"L","remainingPercent":)"
                          + number + "}]}]"),
            "a limit's remainingPercent");
        expectRefused(analytics(R"("remainingPercent":)" + number), "the analytics' remainingPercent");
        expectRefused(rootWith(R"("codexAnalytics":{"forecastState":"stale","weeklyTokens":)" + number + "}"), "weeklyTokens");
    }

    // The credits: beyond the decimal's range is refused; more digits than
    // it keeps either round or are refused, and whatever is kept is exact
    // from then on.
    for (auto const& number : std::vector<std::string> { "1e400", "-1e400", "1e-400", digits400, "-" + digits400 })
        expectRefused(analytics(R"("weeklyCredits":)" + number), "weeklyCredits");
    for (auto const& number : { "1." + std::string(400, '1'), "0." + std::string(37, '0') + "1", std::string("99999999999999999999999999999999999999") }) {
        if (auto const snapshot = decodeOrNothing(analytics(R"("weeklyCredits":)" + number)))
            expectFixedPoint(*snapshot, number);
    }

    // A huge number under a key the reader does not know is ignored or,
    // past what the JSON reader holds, refused; never anything else.
    for (auto const& number : hugeIntegers) {
        if (auto const snapshot = decodeOrNothing(rootWith(R"("unknown":)" + number))) {
            EXPECT_TRUE(snapshot->providers.empty() && snapshot->schemaVersion == 1) << number;
        }
    }

    // The edges themselves are exact.
    auto const edges = decodeOrNothing(rootWith(R"("schemaVersion":-9223372036854775808)"));
    ASSERT_TRUE(edges);
    EXPECT_EQ(edges->schemaVersion, std::numeric_limits<std::int64_t>::min());
}

// Nesting beyond the cap is refused before it can exhaust the stack, at the
// root and under a key the reader would otherwise ignore; nesting below the
// cap under an unknown key is simply ignored.
TEST(JSONConformance, DeepNestingIsCapped)
{
    constexpr std::size_t deep = 100'000;
    std::vector<std::string> const tooDeep {
        std::string(deep, '['),
        std::string(deep, '[') + std::string(deep, ']'),
        [] {
            std::string text;
            for (std::size_t level = 0; level < deep; ++level)
                text += "{\"a\":";
            return text + "1" + std::string(deep, '}');
        }(),
        rootWith(R"("x":)" + std::string(deep, '[') + std::string(deep, ']')),
        rootWith(R"("x":)" + std::string(deep, '[')),
        rootWith(R"("providers":)" + std::string(deep, '[') + std::string(deep, ']')),
    };
    for (auto const& text : tooDeep) {
        try {
            TavvoWidgetJSONDecoder::tavvoWidget().decode<TavvoWidgetSnapshot>(text);
            ADD_FAILURE() << "decoded " << text.size() << " bytes";
        } catch (const Tavvo::DecodingError& error) {
            SUCCEED() << error.what();
        }
    }

    auto const depth = TavvoWidgetJSONDecoder::maximumNestingDepth - 1; // the root takes one level
    auto const nested = decodeOrNothing(rootWith("\"x\":" + std::string(depth, '[') + std::string(depth, ']')));
    ASSERT_TRUE(nested);
    EXPECT_EQ(*nested, decodeOrNothing(std::string(validRoot) + "}"));
}

// Duplicate keys are not an error; the first one counts, also when a later
// one would not decode, so one text has one meaning.
TEST(JSONConformance, DuplicateKeysKeepTheFirst)
{
    struct Case {
        std::string json;
        std::string_view expectedTitle;
    };
    Case const cases[] = {
        { rootWith(R"("providers":[{"id":"codex","status":"available","title":"first","title":"second"}])"), "first" },
        { rootWith(R"("providers":[{"id":"codex","status":"available","title":"first","title":5}])"), "first" },
        { rootWith(R"("providers":[{"id":"codex","status":"available","title":"first"}],"providers":7)"), "first" },
    };
    for (auto const& c : cases) {
        auto const snapshot = decodeOrNothing(c.json);
        ASSERT_TRUE(snapshot) << c.json;
        EXPECT_EQ(snapshot->providers.at(0).title, c.expectedTitle);
        expectFixedPoint(*snapshot, c.json);
    }
    expectRefused(rootWith(R"("providers":[{"id":"codex","status":"available","title":5,"title":"second"}])"),
        "a bad first value");
}

// One whole byte-order mark may lead the text; a piece of one, a second
// one, one elsewhere or one of another encoding is not JSON.
TEST(JSONConformance, OnlyOneWholeLeadingByteOrderMarkIsSkipped)
{
    std::string const document(validRoot.data(), validRoot.size());
    auto const plain = decodeOrNothing(document + "}");
    ASSERT_TRUE(plain);
    EXPECT_EQ(decodeOrNothing("\xef\xbb\xbf" + document + "}"), plain);

    for (std::string const prefix : { "\xef", "\xbb", "\xbf", "\xef\xbb", "\xbb\xbf", "\xef\xbf", "\xef\xbb\xbf\xef\xbb\xbf",
             " \xef\xbb\xbf", "\xfe\xff", "\xff\xfe", "\xef\xbb\xbf\xef" })
        expectRefused(prefix + document + "}", "byte-order mark");
    expectRefused(document + ",\xef\xbb\xbf\"x\":1}", "a mark between members");
    expectRefused(document + "}\xef\xbb\xbf", "a mark after the root");
}

TEST(JSONConformance, NulBytesAreRefusedUnlessEscaped)
{
    std::string const nul(1, '\0');
    std::string const document = std::string(validRoot) + "}";
    for (auto const& text : { nul + document, document + nul, document + nul + nul, document + nul + "{}",
             std::string(validRoot) + nul + "}", std::string(validRoot) + "," + nul + "\"x\":1}",
             documentWithTitle("\"a" + nul + "b\""), rootWith("\"x" + nul + "\":1"), nul, nul + nul })
        expectRefused(text, "raw NUL");

    auto const escaped = decodeOrNothing(documentWithTitle(R"("a\u0000b")"));
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->providers[0].title, std::string("a\0b", 3));
    expectFixedPoint(*escaped, "escaped NUL");
    // A key with a NUL in it is another key, not "generatedAt".
    expectRefused(R"({"generatedAt\u0000":"2026-01-31T09:05:00Z"})", "NUL in a key");
}

// Work grows with the input, not faster: inputs ten times apart in size, in
// each shape that makes a reader repeat work (long texts, many members, many
// array elements, many duplicates, long runs of white space), all decode to
// what they hold. A reader with quadratic work in any of them would take
// hours on the largest; there is no clock in the assertions.
TEST(JSONConformance, LargeInputsOfEveryShapeDecode)
{
    for (std::size_t count : { 1'000u, 10'000u, 100'000u, 1'000'000u }) {
        auto const longTitle = decodeOrNothing(documentWithTitle("\"" + std::string(count, 'x') + "\""));
        ASSERT_TRUE(longTitle);
        EXPECT_EQ(longTitle->providers[0].title.size(), count);

        std::string unknownMembers;
        std::string limits;
        std::string duplicates;
        for (std::size_t index = 0; index < count / 10; ++index) {
            unknownMembers += "\"k" + std::to_string(index) + "\":[0,\"v\",{}],";
            limits += R"({"id":"l","title":"L","remainingPercent":)" + std::to_string(index % 101) + "},";
            duplicates += R"("title":"t",)";
        }
        limits.pop_back();

        auto const members = decodeOrNothing(std::string(R"({)") + unknownMembers + R"("generatedAt":"2026-01-31T09:05:00Z"})");
        ASSERT_TRUE(members);

        auto const manyLimits = decodeOrNothing(rootWith(R"("providers":[{"id":"codex","status":"available","title":"C","limits":[)" + limits + "]}]"));
        ASSERT_TRUE(manyLimits);
        EXPECT_EQ(manyLimits->providers[0].limits.size(), count / 10);

        auto const repeated = decodeOrNothing(rootWith(R"("providers":[{"id":"codex","status":"available",)" + duplicates + R"("title":"last"}])"));
        ASSERT_TRUE(repeated);
        EXPECT_EQ(repeated->providers[0].title, "t");

        auto const blank = decodeOrNothing(std::string(count, ' ') + std::string(validRoot) + std::string(count, '\n') + "}" + std::string(count, '\t'));
        ASSERT_TRUE(blank);
    }
}

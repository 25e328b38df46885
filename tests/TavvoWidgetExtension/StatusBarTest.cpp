// The status-bar line in every format, its classes and long form, and when
// time alone changes it. Texts are compared in English at UTC (and once in
// French): the line is what users read, so its exact wording is the test.
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "TavvoWidgetExtension/TavvoStatusBar/ConkyText.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/PangoMarkup.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarOutput.hpp"

#include <rapidjson/document.h>

#include <gtest/gtest.h>

using namespace TavvoSurfaces;
using namespace WidgetTest;

namespace {

class StatusBarTest : public ::testing::Test {
private:
    ScopedLanguage m_language { "en" };
};

TavvoWidgetSnapshot document(std::vector<TavvoWidgetProviderSnapshot> providers)
{
    return { TavvoWidgetSnapshot::currentSchemaVersion, now - 1min, std::move(providers), std::nullopt };
}

StatusBarSummary summary(std::vector<TavvoWidgetProviderSnapshot> providers, std::optional<ID> only = std::nullopt)
{
    return StatusBarSummary({ now, document(std::move(providers)), std::nullopt }, only);
}

// What a bar parses a JSON line into.
rapidjson::Document parsed(const std::string& line)
{
    rapidjson::Document json;
    json.Parse(line.c_str());
    EXPECT_FALSE(json.HasParseError()) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << "one line: " << line;
    return json;
}

std::vector<std::string> strings(const rapidjson::Value& array)
{
    std::vector<std::string> result;
    for (auto const& value : array.GetArray())
        result.emplace_back(value.GetString());
    return result;
}

TavvoWidgetLimitSnapshot percent(std::int64_t remaining)
{
    return limit("five", remaining, now + 2h, "5h");
}

}

TEST_F(StatusBarTest, LineClassesAndPercentage)
{
    struct Case {
        const char* name;
        std::vector<TavvoWidgetProviderSnapshot> providers;
        std::optional<ID> only;
        std::string line;
        std::vector<std::string> classes;
        std::optional<std::int64_t> percentage;
    };
    Case const cases[] = {
        { "both fresh: the worst severity", { provider(ID::codex, { percent(42), weekly }), provider(ID::claude, { percent(80) }) },
            std::nullopt, "Codex 42% · Claude 80%", { "watch" }, 42 },
        { "one provider kept", { provider(ID::codex, { percent(42) }), provider(ID::claude, { percent(5) }) }, ID::codex, "Codex 42%",
            { "watch" }, 42 },
        { "claude first in the file, codex first on the line", { provider(ID::claude, { percent(20) }), provider(ID::codex, { percent(90) }) },
            std::nullopt, "Codex 90% · Claude 20%", { "tight" }, 20 },
        // Stale codex shows nothing; stale claude keeps its last-known values.
        { "stale codex", { staled(provider(ID::codex, { percent(5) })), provider(ID::claude, { percent(60) }) }, std::nullopt,
            "Codex — ⚠ · Claude 60%", { "ok", "stale" }, 60 },
        { "stale claude, last known", { staled(provider(ID::claude, { percent(8) })) }, std::nullopt, "Claude 8% ⚠", { "critical", "stale" }, 8 },
        { "stale claude never observed", { unobserved(staled(provider(ID::claude, { percent(8) }))) }, std::nullopt, "Claude — ⚠",
            { "unknown", "stale" }, std::nullopt },
        { "no limits", { provider(ID::codex, {}, Status::noData) }, std::nullopt, "Codex —", { "unknown" }, std::nullopt },
        { "unknown share", { provider(ID::codex, { limit("five", std::nullopt) }) }, std::nullopt, "Codex —", { "unknown" }, std::nullopt },
        // A writer's stray values: clamped for the bar's gauge, shown as written.
        { "below zero", { provider(ID::codex, { percent(-5) }) }, std::nullopt, "Codex -5%", { "critical" }, 0 },
        { "above a hundred", { provider(ID::codex, { percent(250) }) }, std::nullopt, "Codex 250%", { "ok" }, 100 },
        { "a document without providers", {}, std::nullopt, "", { "unknown" }, std::nullopt },
    };
    for (auto const& test : cases) {
        auto const bar = summary(test.providers, test.only);
        EXPECT_EQ(statusBarLine(bar, StatusBarFormat::text), test.line) << test.name;
        EXPECT_EQ(bar.classes(), test.classes) << test.name;
        EXPECT_EQ(bar.leastRemaining(), test.percentage) << test.name;
    }
}

TEST_F(StatusBarTest, WithoutADocumentTheLineSaysWhy)
{
    StatusBarSummary const missing({ now, std::nullopt, L10n::tr("widget.open_once") }, std::nullopt);
    StatusBarSummary const unreadable({ now, std::nullopt, L10n::tr("widget.snapshot_unavailable") }, std::nullopt);
    EXPECT_EQ(statusBarLine(missing, StatusBarFormat::text), "Tavvo: Open Tavvo once to get started");
    EXPECT_EQ(missing.classes(), std::vector<std::string> { "empty" });
    EXPECT_EQ(statusBarLine(unreadable, StatusBarFormat::tmux), "Tavvo: Can’t read the latest limits");
    EXPECT_EQ(unreadable.classes(), std::vector<std::string> { "error" });

    auto const waybar = parsed(statusBarLine(unreadable, StatusBarFormat::waybar));
    EXPECT_FALSE(waybar.HasMember("percentage"));
    EXPECT_STREQ(waybar["tooltip"].GetString(), "Can’t read the latest limits\nYour limits appear here after Tavvo checks your accounts.");

    auto const blocks = parsed(statusBarLine(missing, StatusBarFormat::i3bar));
    ASSERT_EQ(blocks.Size(), 1u);
    EXPECT_STREQ(blocks[0]["full_text"].GetString(), "Tavvo: Open Tavvo once to get started");
    EXPECT_FALSE(blocks[0].HasMember("color"));

    auto const json = parsed(statusBarLine(missing, StatusBarFormat::json));
    EXPECT_STREQ(json["state"].GetString(), "empty");
    EXPECT_STREQ(json["message"].GetString(), "Open Tavvo once to get started");
    EXPECT_TRUE(json["percentage"].IsNull());
    EXPECT_EQ(json["providers"].Size(), 0u);
}

TEST_F(StatusBarTest, ColouredFormatsUseTheSeverityColoursOfTheAppearance)
{
    auto const bar = summary({ provider(ID::codex, { percent(64) }), staled(provider(ID::claude, { percent(25) })) });
    struct Case {
        StatusBarFormat format;
        UI::Appearance appearance;
        std::string line;
    };
    Case const cases[] = {
        // Dark, the default: what every format printed before light existed.
        { StatusBarFormat::tmux, UI::Appearance::dark, "Codex #[fg=##75FA91]64%#[default] · Claude 25% #[fg=##F4FC40]⚠#[default]" },
        { StatusBarFormat::polybar, UI::Appearance::dark, "Codex %{F#75FA91}64%%{F-} · Claude 25% %{F#F4FC40}⚠%{F-}" },
        { StatusBarFormat::conky, UI::Appearance::dark, "Codex ${color 75FA91}64%${color} · Claude 25% ${color F4FC40}⚠${color}" },
        { StatusBarFormat::tmux, UI::Appearance::light, "Codex #[fg=##0A7F3E]64%#[default] · Claude 25% #[fg=##8A5C00]⚠#[default]" },
        { StatusBarFormat::polybar, UI::Appearance::light, "Codex %{F#0A7F3E}64%%{F-} · Claude 25% %{F#8A5C00}⚠%{F-}" },
        { StatusBarFormat::conky, UI::Appearance::light, "Codex ${color 0A7F3E}64%${color} · Claude 25% ${color 8A5C00}⚠${color}" },
    };
    for (auto const& test : cases) {
        auto const line = statusBarLine(bar, test.format, { .appearance = test.appearance, .program = "tavvo-widget" });
        EXPECT_EQ(line.substr(0, line.find('\n')), test.line) << Foundation::rawValue(test.format) << " " << Foundation::rawValue(test.appearance);
    }
    EXPECT_EQ(statusBarLine(bar, StatusBarFormat::tmux), cases[0].line) << "dark unless told";

    struct Colour {
        NovikSeverity severity;
        std::optional<std::string> dark;
        std::optional<std::string> light;
    };
    Colour const colours[] = {
        { NovikSeverity::ok, "#75FA91", "#0A7F3E" },
        { NovikSeverity::watch, "#F4FC40", "#8A5C00" },
        { NovikSeverity::tight, "#EA541E", "#B03A08" },
        { NovikSeverity::critical, "#FA3C2D", "#C0201C" },
        { NovikSeverity::unknown, std::nullopt, std::nullopt },
    };
    for (auto const& colour : colours) {
        EXPECT_EQ(statusBarColor(colour.severity, UI::Appearance::dark), colour.dark);
        EXPECT_EQ(statusBarColor(colour.severity, UI::Appearance::light), colour.light);
    }

    // The i3bar blocks carry the colour as a member.
    auto const blocks = parsed(statusBarLine(
        summary({ provider(ID::codex, { percent(20) }) }), StatusBarFormat::i3bar, { .appearance = UI::Appearance::light, .program = "tavvo-widget" }));
    EXPECT_STREQ(blocks[0]["color"].GetString(), "#B03A08");
}

TEST_F(StatusBarTest, TextThatWouldReadAsMarkupIsDefused)
{
    std::vector<StatusBarPiece> const tricky { { "#[bg=red]%{F#000}${exec rm}$$ <b>&amp;", NovikSeverity::ok, "ok" }, { " # x", std::nullopt, std::nullopt } };
    struct Case {
        const char* markup;
        std::string text;
        std::string expected;
    };
    Case const cases[] = {
        { "tmux", tmuxText(tricky, UI::Appearance::dark), "#[fg=##75FA91]##[bg=red]%{F##000}${exec rm}$$ <b>&amp;#[default] ## x" },
        { "polybar", polybarText(tricky, UI::Appearance::dark), "%{F#75FA91}#[bg=red]%F#000}${exec rm}$$ <b>&amp;%{F-} # x" },
        { "pango", markupText(tricky, UI::Appearance::dark),
            "<span foreground=\"#75FA91\">#[bg=red]%{F#000}${exec rm}$$ &lt;b&gt;&amp;amp;</span> # x" },
    };
    for (auto const& test : cases)
        EXPECT_EQ(test.text, test.expected) << test.markup;
    // Conky: a "$" doubled, and "#", which would swallow the rest of the
    // line as a comment, escaped; a backslash elsewhere stays as it is.
    EXPECT_EQ(conkyEscaped("${exec rm}$$ # \\n \\#"), "$${exec rm}$$$$ \\# \\n \\\\#");
}

TEST_F(StatusBarTest, GenmonTagsAndConkyBlock)
{
    auto snapshot = document({ titled(provider(ID::codex, { limit("five", 64, now + 3h + 30min, "5h") }), "Team <$5 & #1>"),
        staled(provider(ID::claude, { percent(8) })) });
    StatusBarSummary const bar({ now, snapshot, std::nullopt }, std::nullopt);
    StatusBarOutputOptions const options { .appearance = UI::Appearance::dark, .program = "/opt/my tools/it's/tavvo-widget" };
    EXPECT_EQ(statusBarLine(bar, StatusBarFormat::genmon, options),
        "<txt>Codex <span foreground=\"#75FA91\">64%</span> · Claude 8% <span foreground=\"#F4FC40\">⚠</span></txt>\n"
        "<tool>Team &lt;$5 &amp; #1&gt;\n"
        "5h: 64% left · Resets 12:56 · in 3h 30m\n"
        "Claude plan\n"
        "5h: 8% left · Resets 11:26 · in 2h\n"
        "Last known at 07:26\n"
        "Updated 09:25</tool>\n"
        "<bar>8</bar>\n"
        // Split into words as a shell would: one word for the whole path.
        "<txtclick>'/opt/my tools/it'\\''s/tavvo-widget' show</txtclick>");
    EXPECT_EQ(statusBarLine(bar, StatusBarFormat::conky, options),
        "Codex ${color 75FA91}64%${color} · Claude 8% ${color F4FC40}⚠${color}\n"
        "Team <$$5 & \\#1>\n"
        "5h: 64% left · Resets 12:56 · in 3h 30m\n"
        "Claude plan\n"
        "5h: 8% left · Resets 11:26 · in 2h\n"
        "Last known at 07:26\n"
        "Updated 09:25");

    // No share shown: no bar, rather than an empty one that reads as 0%.
    auto const unknown = summary({ provider(ID::codex, {}, Status::noData) });
    EXPECT_EQ(statusBarLine(unknown, StatusBarFormat::genmon).find("<bar>"), std::string::npos);

    // Without a document the message stands once, then what to do.
    StatusBarSummary const missing({ now, std::nullopt, L10n::tr("widget.open_once") }, std::nullopt);
    EXPECT_EQ(statusBarLine(missing, StatusBarFormat::conky),
        "Tavvo: Open Tavvo once to get started\nYour limits appear here after Tavvo checks your accounts.");
    EXPECT_EQ(statusBarLine(missing, StatusBarFormat::genmon),
        "<txt>Tavvo: Open Tavvo once to get started</txt>\n"
        "<tool>Open Tavvo once to get started\nYour limits appear here after Tavvo checks your accounts.</tool>\n"
        "<txtclick>'tavvo-widget' show</txtclick>");

    // Neither host can take a stream: each run is one whole text.
    EXPECT_FALSE(streams(StatusBarFormat::genmon));
    EXPECT_FALSE(streams(StatusBarFormat::conky));
    EXPECT_TRUE(streams(StatusBarFormat::polybar));
}

TEST_F(StatusBarTest, I3barBlocksPerProvider)
{
    auto const blocks = parsed(statusBarLine(
        summary({ provider(ID::codex, { percent(7) }), staled(provider(ID::claude, { percent(3) })) }), StatusBarFormat::i3bar));
    ASSERT_EQ(blocks.Size(), 2u);
    EXPECT_STREQ(blocks[0]["instance"].GetString(), "codex");
    EXPECT_STREQ(blocks[0]["full_text"].GetString(), "Codex 7%");
    EXPECT_STREQ(blocks[0]["short_text"].GetString(), "7%");
    EXPECT_STREQ(blocks[0]["color"].GetString(), "#FA3C2D");
    EXPECT_TRUE(blocks[0]["urgent"].GetBool()) << "critical and current";
    // Stale: neither its colour nor urgency, since the value may no longer hold.
    EXPECT_STREQ(blocks[1]["full_text"].GetString(), "Claude 3% ⚠");
    EXPECT_STREQ(blocks[1]["short_text"].GetString(), "3% ⚠");
    EXPECT_FALSE(blocks[1].HasMember("color"));
    EXPECT_FALSE(blocks[1]["urgent"].GetBool());

    StatusBarStream stream(StatusBarFormat::i3bar);
    EXPECT_EQ(stream.opening(), "{\"version\":1}\n[\n");
    EXPECT_EQ(stream.next("[a]"), "[a]\n");
    EXPECT_EQ(stream.next("[b]"), ",[b]\n");
    EXPECT_EQ(stream.closing(), "]\n");
    StatusBarStream text(StatusBarFormat::text);
    EXPECT_EQ(text.opening() + text.next("a") + text.next("b") + text.closing(), "a\nb\n");
}

TEST_F(StatusBarTest, LongFormListsEveryLimitWithItsResetAndCountdown)
{
    auto snapshot = document({ titled(provider(ID::codex, { limit("five", 64, now + 3h + 30min, "5h"), limit("week", 25, now + 50h, "Weekly") }),
                                   "R&D <team's \"€\"\x7f\u0086\u0085>"),
        staled(provider(ID::claude, { percent(8) })), provider(ID::claude, { percent(99) }) });
    snapshot.codexAnalytics = CodexAnalyticsSummary { .accountLabel = std::nullopt,
        .planTitle = std::nullopt,
        .quotaTitle = std::nullopt,
        .forecastState = TavvoWidgetForecastState::lastsUntilReset,
        .predictedExhaustionAt = std::nullopt,
        .resetAt = now + 50h,
        .remainingPercent = 25,
        .forecastObservedAt = now - 1min,
        .weeklyTokens = 0,
        .weeklyCredits = std::nullopt };
    StatusBarSummary const bar({ now, snapshot, std::nullopt }, std::nullopt);
    EXPECT_EQ(bar.tooltip(),
        "R&D <team's \"€\"\x7f\u0086\u0085>\n"
        "5h: 64% left · Resets 12:56 · in 3h 30m\n"
        "Weekly: 25% left · Resets 11:26 · in 2d 2h\n"
        "Claude plan\n"
        "5h: 8% left · Resets 11:26 · in 2h\n"
        "Last known at 07:26\n"
        "Lasts until reset\n"
        "Updated 09:25");

    // Waybar reads Pango markup: the writer's title is escaped, not markup,
    // and so are the control characters markup cannot hold (next-line can).
    auto const waybar = parsed(statusBarLine(bar, StatusBarFormat::waybar));
    std::string const tooltip = waybar["tooltip"].GetString();
    EXPECT_EQ(tooltip.substr(0, tooltip.find('\n')), "R&amp;D &lt;team&apos;s &quot;€&quot;&#x7f;&#x86;\u0085&gt;");
    EXPECT_EQ(strings(waybar["class"]), (std::vector<std::string> { "critical", "stale" }));
    EXPECT_STREQ(waybar["alt"].GetString(), "critical");

    auto const json = parsed(statusBarLine(bar, StatusBarFormat::json));
    EXPECT_STREQ(json["forecast"].GetString(), "Lasts until reset");
    auto const& codex = json["providers"][0];
    EXPECT_STREQ(codex["binding"]["id"].GetString(), "week");
    EXPECT_EQ(codex["binding"]["remainingPercent"].GetInt64(), 25);
    EXPECT_STREQ(codex["severity"].GetString(), "tight");
    EXPECT_TRUE(codex["fresh"].GetBool());
    EXPECT_EQ(strings(json["providers"][1]["details"]), (std::vector<std::string> { "5h: 8% left · Resets 11:26 · in 2h", "Last known at 07:26" }));

    // Only claude: codex's forecast is not its business.
    EXPECT_EQ(StatusBarSummary({ now, snapshot, std::nullopt }, ID::claude).forecastSentence(), std::nullopt);
}

TEST_F(StatusBarTest, TheLineSpeaksTheLanguageInForce)
{
    ScopedLanguage const french("fr");
    auto const bar = summary({ provider(ID::codex, { percent(64) }), staled(provider(ID::claude, {})) });
    EXPECT_EQ(statusBarLine(bar, StatusBarFormat::text), "Codex 64\u00a0% · Claude — ⚠");
    EXPECT_EQ(bar.longFormLines(bar.providers()[1]), std::vector<std::string> { "Données obsolètes" });
}

// What a desktop-shell extension lays out without deciding anything: the
// line's pieces with the class it styles each by, the line in words for its
// accessible name, and the label of the action that opens the window.
TEST_F(StatusBarTest, TheDocumentCarriesPiecesSpokenLineAndOpenLabel)
{
    using Pieces = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        const char* name;
        std::optional<std::vector<TavvoWidgetProviderSnapshot>> providers;
        Pieces pieces;
        std::string spoken;
    };
    Case const cases[] = {
        { "each share in its own severity", std::vector { provider(ID::codex, { percent(64) }), provider(ID::claude, { percent(25) }) },
            { { "Codex ", "" }, { "64%", "ok" }, { " · ", "" }, { "Claude ", "" }, { "25%", "tight" } },
            "Codex: 64% left. Claude: 25% left" },
        { "a stale share is plain, its mark is stale", std::vector { staled(provider(ID::claude, { percent(8) })) },
            { { "Claude ", "" }, { "8%", "" }, { " ", "" }, { "⚠", "stale" } }, "Claude: 8% left, outdated" },
        { "nothing shown says why", std::vector { staled(provider(ID::codex, { percent(5) })), provider(ID::claude, {}, Status::noData) },
            { { "Codex ", "" }, { "—", "" }, { " ", "" }, { "⚠", "stale" }, { " · ", "" }, { "Claude ", "" }, { "—", "" } },
            "Codex: Data is out of date. Claude: No data yet" },
        { "no document yet", std::nullopt, { { "Tavvo: Open Tavvo once to get started", "empty" } }, "Tavvo: Open Tavvo once to get started" },
    };
    for (auto const& test : cases) {
        auto const snapshot = test.providers ? std::optional(document(*test.providers)) : std::nullopt;
        StatusBarSummary const bar({ now, snapshot, snapshot ? std::nullopt : std::optional(L10n::tr("widget.open_once")) }, std::nullopt);
        auto const json = parsed(statusBarLine(bar, StatusBarFormat::json));
        Pieces pieces;
        for (auto const& piece : json["pieces"].GetArray())
            pieces.emplace_back(piece["text"].GetString(), piece["class"].IsNull() ? "" : piece["class"].GetString());
        EXPECT_EQ(pieces, test.pieces) << test.name;
        EXPECT_STREQ(json["spoken"].GetString(), test.spoken.c_str()) << test.name;
        EXPECT_STREQ(json["openLabel"].GetString(), "Open Tavvo") << test.name;
    }

    ScopedLanguage const russian("ru");
    auto const json = parsed(statusBarLine(summary({ provider(ID::codex, { percent(64) }), staled(provider(ID::claude, { percent(42) })) }),
        StatusBarFormat::json));
    EXPECT_STREQ(json["spoken"].GetString(), "Codex: Осталось 64%. Claude: Осталось 42%, данные устарели");
    EXPECT_STREQ(json["openLabel"].GetString(), "Открыть Tavvo");
}

// What a host that draws a gauge per limit lays out, each text as the
// widget's row reads it, in the colours of the appearance asked for; and
// when a host that polls must ask again.
TEST_F(StatusBarTest, TheDocumentCarriesAGaugePerListedLimit)
{
    auto const bar = summary({ staled(provider(ID::codex, { percent(50) })),
        provider(ID::claude, { limit("five", 8, now + 2h + 30s, "5h"), limit("week", std::nullopt, now + 72h + 30s, "Weekly") }) });
    auto const light = parsed(statusBarLine(bar, StatusBarFormat::json, { .appearance = UI::Appearance::light }));
    auto const& limits = light["providers"][1]["limits"];
    ASSERT_EQ(limits.Size(), 2u);
    auto const texts = [](const rapidjson::Value& gauge) {
        std::vector<std::string> result;
        for (auto const* key : { "title", "severity", "left", "reset", "countdown", "accessibleName", "description" })
            result.emplace_back(gauge[key].IsNull() ? "null" : gauge[key].GetString());
        return result;
    };
    EXPECT_EQ(texts(limits[0]),
        (std::vector<std::string> { "5h", "critical", "8% left", "Resets 11:27", "in 2h", "Claude plan, 5h", "8% left. Resets 11:27" }));
    EXPECT_EQ(limits[0]["remainingPercent"].GetInt64(), 8);
    // A reset on another day names it; an unknown share has no colour.
    EXPECT_EQ(texts(limits[1]),
        (std::vector<std::string> { "Weekly", "unknown", "—", "Resets Mar 17, 09:27", "in 3d", "Claude plan, Weekly", "Resets Mar 17, 09:27" }));
    EXPECT_TRUE(limits[1]["remainingPercent"].IsNull());
    EXPECT_TRUE(limits[1]["color"].IsNull());
    // A writer's stray share is held to the gauge's range, read as written.
    auto const stray = parsed(statusBarLine(summary({ provider(ID::codex, { percent(250), percent(-5) }) }), StatusBarFormat::json));
    EXPECT_EQ(stray["providers"][0]["limits"][0]["remainingPercent"].GetInt64(), 100);
    EXPECT_STREQ(stray["providers"][0]["limits"][0]["left"].GetString(), "250% left");
    EXPECT_EQ(stray["providers"][0]["limits"][1]["remainingPercent"].GetInt64(), 0);
    // A provider that says why nothing is shown has no gauge.
    EXPECT_EQ(light["providers"][0]["limits"].Size(), 0u);

    auto const dark = parsed(statusBarLine(bar, StatusBarFormat::json));
    EXPECT_STREQ(dark["providers"][1]["limits"][0]["color"].GetString(), "#FA3C2D");
    EXPECT_STRNE(light["providers"][1]["limits"][0]["color"].GetString(), "#FA3C2D");
    EXPECT_STREQ(light["pieces"][6]["color"].GetString(), light["providers"][1]["limits"][0]["color"].GetString());
    EXPECT_TRUE(light["pieces"][0]["color"].IsNull());

    // The countdown's next minute comes first; without one, the data
    // turning stale; with neither, nothing.
    EXPECT_EQ(Foundation::parseInternetDateTime(dark["nextChange"].GetString()), now + 31s);
    auto const calm = parsed(statusBarLine(summary({ provider(ID::codex, { weekly }) }), StatusBarFormat::json));
    EXPECT_EQ(Foundation::parseInternetDateTime(calm["nextChange"].GetString()), now + 10min + 1s);
    auto const still = parsed(statusBarLine(summary({ staled(provider(ID::codex, { weekly })) }), StatusBarFormat::json));
    EXPECT_TRUE(still["nextChange"].IsNull());
}

TEST_F(StatusBarTest, TimeAloneChangesTheLongFormAtEachCountdownMinute)
{
    struct Case {
        const char* name;
        std::vector<TavvoWidgetLimitSnapshot> limits;
        std::optional<Foundation::Date> next;
    };
    Case const cases[] = {
        // 5 min 30 s left reads "5m" until 5 min are left, then "4m".
        { "half a minute to the next", { limit("a", 50, now + 5min + 30s) }, now + 31s },
        { "a whole number of minutes left", { limit("a", 50, now + 5min) }, now + 1s },
        { "within the last minute: at the reset", { limit("a", 50, now + 20s) }, now + 21s },
        { "the earliest of several", { limit("a", 50, now + 3h + 10s), limit("b", 50, now + 7min + 45s) }, now + 11s },
        { "passed resets change nothing", { limit("a", 50, now - 1h), limit("b", 50) }, std::nullopt },
    };
    for (auto const& test : cases)
        EXPECT_EQ(summary({ provider(ID::codex, test.limits) }).nextTooltipChange(), test.next) << test.name;

    // Stale codex lists no limits, so their countdowns change nothing.
    EXPECT_EQ(summary({ staled(provider(ID::codex, { limit("a", 50, now + 5min + 30s) })) }).nextTooltipChange(), std::nullopt);
    EXPECT_TRUE(showsLongForm(StatusBarFormat::waybar));
    EXPECT_FALSE(showsLongForm(StatusBarFormat::tmux));
}

// The Plasma widget's logic over the documents the built tavvo-widget
// printed (documents.js, written by plasmaLimitsLayoutTest.sh) and over
// output that is no document. Times and countdowns change with the clock:
// they are compared by their start.
import QtQuick 2.15
import QtTest 1.15
import "limitsLayout.js" as LimitsLayout
import "documents.js" as Documents

TestCase {
    name: "LimitsLayout"

    function layoutOf(caseName) {
        const document = LimitsLayout.parseDocument(Documents.byCase[caseName]);
        verify(document !== null, caseName + ": the document is read: " + Documents.byCase[caseName]);
        return LimitsLayout.layoutOf(document);
    }

    function startsWith(text, start) {
        return text !== null && text.indexOf(start) === 0;
    }

    // The line: each piece's text, colour and weight (a critical share
    // bold too), its name in words, the long form as its tooltip. The texts
    // and colours themselves are the program's, tested with it.
    function test_line() {
        const layout = layoutOf("two providers, dark");
        compare(layout.pieces.map(piece => [piece.text, piece.color, piece.bold]),
                [["Codex ", null, false], ["30%", "#EA541E", false], [" · ", null, false],
                 ["Claude ", null, false], ["9%", "#FA3C2D", true]]);
        compare(layout.accessibleName, "Codex: 30% left. Claude: 9% left");
        compare(layout.toolTipSub, LimitsLayout.parseDocument(Documents.byCase["two providers, dark"]).tooltip);
    }

    // The full form: a gauge per limit, in its severity's colour, with the
    // texts the program chose; the notes after the providers.
    function test_gauges() {
        const layout = layoutOf("two providers, dark");
        compare(layout.providers.map(provider => provider.title), ["Codex Pro", "Claude"]);
        const codex = layout.providers[0].gauges;
        compare(codex.map(gauge => [gauge.title, gauge.value, gauge.color, gauge.left]),
                [["5h", 64, "#75FA91", "64% left"], ["Weekly", 30, "#EA541E", "30% left"]]);
        compare(codex[0].accessibleName, "Codex Pro, 5h");
        verify(startsWith(codex[0].reset, "Resets "), codex[0].reset);
        verify(startsWith(codex[0].countdown, "in "), codex[0].countdown);
        verify(startsWith(codex[0].description, "64% left. Resets "), codex[0].description);
        compare(layout.providers[1].gauges.map(gauge => [gauge.value, gauge.color]), [[9, "#FA3C2D"]]);
        compare(layout.providers.map(provider => provider.details), [[], []]);
        compare(layout.notes.length, 1);
        verify(startsWith(layout.notes[0], "Updated "), layout.notes[0]);
        compare(layout.message, []);
        compare(layout.openLabel, "Open Tavvo");
    }

    // A limit whose share is unknown has no value and no colour, so that it
    // is drawn as an empty track and never as a full or moving bar.
    function test_unknown_and_stale() {
        const layout = layoutOf("unknown and stale");
        const unknown = layout.providers[0].gauges[0];
        compare([unknown.value, unknown.color, unknown.left], [null, null, "—"]);
        compare(layout.providers[1].gauges.map(gauge => gauge.value), [42]);
    }

    // Without a document: the program's message and its explanation, and
    // no providers.
    function test_without_document_data() {
        return [
            { tag: "no snapshot yet", first: "Open Tavvo once to get started" },
            { tag: "unreadable snapshot", first: "Can’t read the latest limits" },
        ];
    }
    function test_without_document(data) {
        const layout = layoutOf(data.tag);
        compare(layout.message, [data.first, "Your limits appear here after Tavvo checks your accounts."]);
        compare([layout.providers, layout.notes], [[], []]);
        compare(layout.pieces.length, 1);
    }

    // Output that is not a document the widget can lay out is refused,
    // never thrown.
    function test_refused_data() {
        const good = Documents.byCase["two providers, dark"];
        function changed(change) {
            const document = JSON.parse(good);
            change(document);
            return JSON.stringify(document);
        }
        return [
            { tag: "empty", output: "" },
            { tag: "not JSON", output: "tavvo-widget: command not found" },
            { tag: "cut off", output: good.slice(0, good.length / 2) },
            { tag: "an array", output: "[1]" },
            { tag: "another version", output: changed(d => { d.version = 2; }) },
            { tag: "a colour by name", output: changed(d => { d.pieces[1].color = "red"; }) },
            { tag: "no limits", output: changed(d => { delete d.providers[0].limits; }) },
            { tag: "a share over 100", output: changed(d => { d.providers[0].limits[0].remainingPercent = 101; }) },
            { tag: "a share as text", output: changed(d => { d.providers[0].limits[0].remainingPercent = "64"; }) },
            { tag: "a next change that is no date", output: changed(d => { d.nextChange = "soon"; }) },
            { tag: "no spoken line", output: changed(d => { delete d.spoken; }) },
        ];
    }
    function test_refused(data) {
        compare(LimitsLayout.parseDocument(data.output), null);
    }

    // When the command is asked again: at the document's next change,
    // within the promised delay, never in a busy loop; a missing program
    // is said, other failures keep what is shown.
    function test_answers_data() {
        const now = Date.parse("2026-03-20T12:00:00Z");
        const good = Documents.byCase["two providers, dark"];
        function at(nextChange) {
            const document = JSON.parse(good);
            document.nextChange = nextChange;
            return JSON.stringify(document);
        }
        return [
            { tag: "no next change", exitCode: 0, output: at(null), now: now, delay: 5000, shown: true },
            { tag: "a change in 2 s", exitCode: 0, output: at("2026-03-20T12:00:02Z"), now: now, delay: 2000, shown: true },
            { tag: "a change in an hour", exitCode: 0, output: at("2026-03-20T13:00:00Z"), now: now, delay: 5000, shown: true },
            { tag: "a change already past", exitCode: 0, output: at("2026-03-20T11:59:00Z"), now: now, delay: 500, shown: true },
            { tag: "not a document", exitCode: 1, output: "Segmentation fault", now: now, delay: 5000, shown: false },
        ];
    }
    function test_answers(data) {
        const answer = LimitsLayout.answerOf(data.exitCode, data.output, data.now);
        compare(answer.delay, data.delay);
        compare(answer.layout !== null, data.shown);
    }

    // An answer that shows the same is not laid out again; one that
    // differs in anything shown is.
    function test_same_layout() {
        const dark = layoutOf("two providers, dark");
        verify(LimitsLayout.sameLayout(dark, layoutOf("two providers, dark")));
        verify(!LimitsLayout.sameLayout(dark, layoutOf("two providers, light")));
        verify(!LimitsLayout.sameLayout(dark, layoutOf("unknown and stale")));
    }

    function test_not_installed() {
        const answer = LimitsLayout.answerOf(127, "", 0);
        compare(answer.layout.accessibleName, "Tavvo: not installed");
        compare(answer.layout.openLabel, null);
        compare(answer.delay, 5000);
    }

    // The appearance follows the theme's background: Breeze and Breeze
    // Dark's, and the extremes.
    function test_appearance_data() {
        return [
            { tag: "Breeze", color: "#eff0f1", appearance: "light" },
            { tag: "Breeze Dark", color: "#31363b", appearance: "dark" },
            { tag: "white", color: "#ffffff", appearance: "light" },
            { tag: "black", color: "#000000", appearance: "dark" },
            { tag: "mid grey", color: "#777777", appearance: "dark" },
        ];
    }
    function test_appearance(data) {
        const channel = at => parseInt(data.color.substr(at, 2), 16) / 255;
        compare(LimitsLayout.appearanceFor({ r: channel(1), g: channel(3), b: channel(5) }), data.appearance);
    }
}

// gjs -m panelLayoutTest.js VARIANT EXTENSION_DIR DOCUMENTS.json
//
// The extension's logic, loaded as the shell loads it: the legacy variant's
// panelLayout.js through `imports`, the module variant's as an ES module.
// DOCUMENTS.json maps each case's name to a line the built tavvo-widget
// printed for it; each is laid out and compared with what the top bar and
// the menu must show.
import System from 'system';
import GLib from 'gi://GLib';

const [variant, folder, documentsFile] = ARGV;
let Layout;
if (variant === 'legacy') {
    imports.searchPath.unshift(folder);
    Layout = imports.panelLayout;
} else {
    Layout = await import(`file://${folder}/panelLayout.js`);
}
const documents = JSON.parse(new TextDecoder().decode(GLib.file_get_contents(documentsFile)[1]));

let passed = 0, failed = 0;
function check(name, condition, seen) {
    if (condition) {
        passed++;
    } else {
        failed++;
        printerr(`FAIL: ${variant}: ${name}: saw ${JSON.stringify(seen)}`);
    }
}
const same = (left, right) => JSON.stringify(left) === JSON.stringify(right);

// What the layout does with the program's documents: each piece's class
// becomes its style class (none for a plain piece); a shown document lists
// each provider's title and details, then its notes; any other state lists
// the tooltip's lines. The texts themselves are the program's, and are
// compared only as far as this needs to tell the items apart (countdowns
// and times change with the clock).
const cases = {
    'critical and stale': {
        pieces: [['Codex ', null], ['5%', 'tavvo-critical'], [' · ', null], ['Claude ', null], ['42%', null], [' ', null], ['⚠', 'tavvo-stale']],
        accessibleName: 'Codex: 5% left. Claude: 42% left, outdated',
        menu: [['tavvo-heading', 'Codex Pro'], ['tavvo-detail', 'Weekly: 5% left · Resets '],
            ['tavvo-heading', 'Claude'], ['tavvo-detail', '5h: 42% left'], ['tavvo-detail', 'Last known at '], ['tavvo-note', 'Updated ']],
        openLabel: 'Open Tavvo',
    },
    'no snapshot yet': {
        pieces: [['Tavvo: Open Tavvo once to get started', 'tavvo-empty']],
        accessibleName: 'Tavvo: Open Tavvo once to get started',
        menu: [['tavvo-detail', 'Open Tavvo once to get started'], ['tavvo-detail', 'Your limits appear here after Tavvo checks your accounts.']],
        openLabel: 'Open Tavvo',
    },
};

for (const [name, expected] of Object.entries(cases)) {
    check(`${name}: a document was made`, typeof documents[name] === 'string', Object.keys(documents));
    const document = Layout.parseDocument(documents[name] ?? '');
    check(`${name}: the document is read`, document !== null, documents[name]);
    if (document === null)
        continue;
    const layout = Layout.layoutOf(document);
    const pieces = layout.pieces.map(piece => [piece.text, piece.styleClass]);
    check(`${name}: pieces`, same(pieces, expected.pieces), pieces);
    check(`${name}: the pieces are the line`, pieces.map(([text]) => text).join('') === document.text, document.text);
    check(`${name}: accessible name`, layout.accessibleName === expected.accessibleName, layout.accessibleName);
    const menuMatches = layout.menu.length === expected.menu.length
        && layout.menu.every((item, index) => item.styleClass === expected.menu[index][0] && item.text.startsWith(expected.menu[index][1]));
    check(`${name}: menu`, menuMatches, layout.menu);
    check(`${name}: open label`, layout.openLabel === expected.openLabel, layout.openLabel);
    // The tooltip is the same long form, one line a menu item.
    const tooltipLines = layout.tooltip.split('\n');
    const tooltipMatches = tooltipLines.length === expected.menu.length
        && tooltipLines.every((line, index) => line.startsWith(expected.menu[index][1]));
    check(`${name}: tooltip`, tooltipMatches, layout.tooltip);
}

// Lines that are not a document the indicator can lay out are skipped.
const good = JSON.parse(documents['critical and stale']);
const withGood = change => JSON.stringify(Object.assign({}, good, change));
const malformed = {
    'an empty line': '',
    'half a document': documents['critical and stale'].slice(0, 40),
    'plain text': 'Codex 64% · Claude 42%',
    'JSON null': 'null',
    'an array': '[1, 2]',
    'another version': withGood({ version: 2 }),
    'no pieces': withGood({ pieces: undefined }),
    'a piece without text': withGood({ pieces: [{ class: 'ok' }] }),
    'a piece of another class type': withGood({ pieces: [{ text: 'x', class: 3 }] }),
    'no spoken line': withGood({ spoken: null }),
    'a provider without details': withGood({ providers: [{ title: 'Codex' }] }),
    'a detail that is not text': withGood({ providers: [{ title: 'Codex', details: [1] }] }),
};
for (const [name, line] of Object.entries(malformed)) {
    let result;
    try {
        result = Layout.parseDocument(line);
    } catch (e) {
        result = `threw ${e}`;
    }
    check(`malformed, ${name}: skipped`, result === null, result);
}

// A class the stylesheet has no rule for is laid out as plain text.
const strange = Layout.layoutOf(Layout.parseDocument(withGood({ pieces: [{ text: '45%', class: 'blink' }] })));
check('an unknown class is plain', strange.pieces[0].styleClass === null, strange.pieces);

const missing = Layout.notInstalledLayout('Cinnamon');
const why = 'tavvo-widget is not on the PATH of Cinnamon';
check('not installed', same(missing.pieces, [{ text: 'Tavvo: not installed', styleClass: 'tavvo-error' }])
    && missing.accessibleName === 'Tavvo: not installed' && same(missing.menu, [{ text: why, styleClass: 'tavvo-detail' }])
    && missing.tooltip === why && missing.openLabel === null, missing);

// 1 s after a good run, doubling up to a minute.
const delays = [[0, 1], [1, 2], [2, 4], [16, 32], [32, 60], [60, 60]];
for (const [previous, next] of delays)
    check(`restart delay after ${previous} s`, Layout.restartDelay(previous) === next, Layout.restartDelay(previous));

print(`panel layout (${variant}): ${passed} passed, ${failed} failed`);
System.exit(failed === 0 ? 0 : 1);

// What a panel item (the GNOME Shell indicator, the Cinnamon applet) lays
// out, from one document of `tavvo-widget bar --format json`. Every
// decision and every text is the program's: this only checks the
// document's shape and says which text goes where, with which style class. Pure, so that plain gjs can test it;
// written as function declarations so that it loads both as a legacy
// script and, with an export list added by the build, as an ES module.

// The piece classes the document may carry, each with a rule in
// stylesheet.css. Anything else is laid out as plain text.
function knownPieceClasses() {
    return ['ok', 'watch', 'tight', 'critical', 'stale', 'empty', 'error'];
}

function isStringArray(value) {
    return Array.isArray(value) && value.every(item => typeof item === 'string');
}

function isStringOrNull(value) {
    return value === null || typeof value === 'string';
}

function isPiece(value) {
    return value !== null && typeof value === 'object' && typeof value.text === 'string' && isStringOrNull(value.class);
}

function isProvider(value) {
    return value !== null && typeof value === 'object' && typeof value.title === 'string' && isStringArray(value.details);
}

// The document of one line, or null when the line is not one the
// indicator can lay out (a partial line, another program's output, a
// document of another version): such a line is skipped, never thrown.
function parseDocument(line) {
    let document;
    try {
        document = JSON.parse(line);
    } catch (e) {
        return null;
    }
    if (document === null || typeof document !== 'object' || document.version !== 1)
        return null;
    const wellFormed = typeof document.state === 'string' && typeof document.tooltip === 'string'
        && typeof document.spoken === 'string' && typeof document.openLabel === 'string'
        && isStringOrNull(document.forecast) && isStringOrNull(document.updated)
        && Array.isArray(document.pieces) && document.pieces.every(isPiece)
        && Array.isArray(document.providers) && document.providers.every(isProvider);
    return wellFormed ? document : null;
}

function pieceStyleClass(name) {
    return knownPieceClasses().includes(name) ? `tavvo-${name}` : null;
}

// What to lay out:
//   pieces          [{text, styleClass}], the line in the top bar
//   accessibleName  the line in words
//   menu            [{text, styleClass}], the long form, one item a line:
//                   per provider its heading and details, then the
//                   forecast and when it was updated; without a document,
//                   the program's message and its explanation
//   tooltip         the long form as one text, for a panel item that shows
//                   it as a tooltip rather than a menu
//   openLabel       the label of the action that opens the window, or null
//                   when there is no program to open
function layoutOf(document) {
    const menu = [];
    if (document.state === 'shown') {
        for (const provider of document.providers) {
            menu.push({ text: provider.title, styleClass: 'tavvo-heading' });
            for (const line of provider.details)
                menu.push({ text: line, styleClass: 'tavvo-detail' });
        }
        for (const line of [document.forecast, document.updated]) {
            if (line !== null)
                menu.push({ text: line, styleClass: 'tavvo-note' });
        }
    } else {
        for (const line of document.tooltip.split('\n'))
            menu.push({ text: line, styleClass: 'tavvo-detail' });
    }
    return {
        pieces: document.pieces.map(piece => ({ text: piece.text, styleClass: pieceStyleClass(piece.class) })),
        accessibleName: document.spoken,
        menu,
        tooltip: document.tooltip,
        openLabel: document.openLabel,
    };
}

// When tavvo-widget is not on PATH there is no program to say anything in
// the user's language: these two lines are the panel item's own. `host`
// names the desktop whose PATH it is ('GNOME Shell', 'Cinnamon').
function notInstalledLayout(host) {
    const text = 'Tavvo: not installed';
    const why = `tavvo-widget is not on the PATH of ${host}`;
    return {
        pieces: [{ text, styleClass: pieceStyleClass('error') }],
        accessibleName: text,
        menu: [{ text: why, styleClass: 'tavvo-detail' }],
        tooltip: why,
        openLabel: null,
    };
}

// Seconds to wait before starting a child that ended again: one second
// after a child that had printed a document since its start (previous 0),
// then doubling up to a minute, so that a program that keeps failing is
// not restarted in a busy loop.
function restartDelay(previousSeconds) {
    return Math.min(Math.max(1, previousSeconds * 2), 60);
}

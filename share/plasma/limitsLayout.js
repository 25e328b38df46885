// What the Plasma widget lays out, from one document of
// `tavvo-widget bar --format json`, and when it asks for the next one.
// Every decision and every text is the program's: this only checks the
// document's shape and says which text goes where, in which colour. Pure
// and free of Plasma's types, so that both variants load it as it is and a
// plain QML test can run it.
.pragma library

// The command that prints the document. The executable data engine runs
// it through the shell, which finds tavvo-widget on PATH.
function barCommand(appearance) {
    return 'tavvo-widget bar --format json --appearance ' + appearance;
}

function openCommand() {
    return 'tavvo-widget show';
}

// The shell's status for a command it could not find.
var commandNotFound = 127;

// A new snapshot shows at the latest this long after it is published.
var longestPollMilliseconds = 5000;
// However soon the document says time alone changes it: the engine would
// otherwise be asked again at once by a clock that disagrees with the
// program's.
var shortestPollMilliseconds = 500;

// The design's colours for a background this colour: light text on dark.
// `color` has the channels of a QML colour, 0 to 1, gamma-encoded.
function appearanceFor(color) {
    function linear(channel) {
        return channel <= 0.04045 ? channel / 12.92 : Math.pow((channel + 0.055) / 1.055, 2.4);
    }
    var luminance = 0.2126 * linear(color.r) + 0.7152 * linear(color.g) + 0.0722 * linear(color.b);
    return luminance < 0.5 ? 'dark' : 'light';
}

function isString(value) {
    return typeof value === 'string';
}

function isStringOrNull(value) {
    return value === null || typeof value === 'string';
}

function isColorOrNull(value) {
    return value === null || (typeof value === 'string' && /^#[0-9A-Fa-f]{6}$/.test(value));
}

function isObject(value) {
    return value !== null && typeof value === 'object' && !Array.isArray(value);
}

function isPercentOrNull(value) {
    return value === null || (typeof value === 'number' && value === Math.floor(value) && value >= 0 && value <= 100);
}

function isPiece(value) {
    return isObject(value) && isString(value.text) && isStringOrNull(value['class']) && isColorOrNull(value.color);
}

function isLimit(value) {
    return isObject(value) && isString(value.title) && isPercentOrNull(value.remainingPercent)
        && isColorOrNull(value.color) && isString(value.left) && isStringOrNull(value.reset)
        && isStringOrNull(value.countdown) && isString(value.accessibleName) && isString(value.description);
}

function isProvider(value) {
    return isObject(value) && isString(value.title) && Array.isArray(value.details) && value.details.every(isString)
        && Array.isArray(value.limits) && value.limits.every(isLimit);
}

function isInstantOrNull(value) {
    return value === null || (typeof value === 'string' && !isNaN(Date.parse(value)));
}

// The document printed, or null when the output is not one the widget can
// lay out (an older program, a cut-off line, another program's output).
function parseDocument(output) {
    var document;
    try {
        document = JSON.parse(output);
    } catch (e) {
        return null;
    }
    if (!isObject(document) || document.version !== 1)
        return null;
    var wellFormed = isString(document.state) && isString(document.text) && isString(document.tooltip)
        && isString(document.spoken) && isString(document.openLabel)
        && isStringOrNull(document.forecast) && isStringOrNull(document.updated)
        && isInstantOrNull(document.nextChange)
        && Array.isArray(document.pieces) && document.pieces.every(isPiece)
        && Array.isArray(document.providers) && document.providers.every(isProvider);
    return wellFormed ? document : null;
}

// What to lay out:
//   pieces          [{text, color, bold}], the line in a panel; color is
//                   null for the theme's text colour; a critical share is
//                   bold too, so that colour is not its only mark
//   accessibleName  the line in words
//   toolTipMain, toolTipSub   the short line and the long form
//   providers       [{title, gauges, details}] for the full form: one gauge
//                   per limit, {title, value, color, left, reset, countdown,
//                   accessibleName, description}, value null when unknown;
//                   details are the provider's lines when it has no gauge
//   notes           the forecast and when it was updated, as there are
//   message         without a document, the program's message and its
//                   explanation, one line each (empty otherwise)
//   openLabel       the label of the action that opens the window, or null
//                   when there is no program to open
function layoutOf(document) {
    var shown = document.state === 'shown';
    return {
        pieces: document.pieces.map(function (piece) {
            return { text: piece.text, color: piece.color, bold: piece['class'] === 'critical' };
        }),
        accessibleName: document.spoken,
        toolTipMain: document.text,
        toolTipSub: document.tooltip,
        providers: shown ? document.providers.map(function (provider) {
            return {
                title: provider.title,
                gauges: provider.limits.map(function (limit) {
                    return {
                        title: limit.title, value: limit.remainingPercent, color: limit.color,
                        left: limit.left, reset: limit.reset, countdown: limit.countdown,
                        accessibleName: limit.accessibleName, description: limit.description,
                    };
                }),
                details: provider.limits.length === 0 ? provider.details : [],
            };
        }) : [],
        notes: shown ? [document.forecast, document.updated].filter(function (line) { return line !== null; }) : [],
        message: shown ? [] : document.tooltip.split('\n'),
        openLabel: document.openLabel,
    };
}

// Before the first document: the widget's name and nothing to show yet.
function waitingLayout() {
    return {
        pieces: [{ text: 'Tavvo', color: null, bold: false }],
        accessibleName: 'Tavvo', toolTipMain: 'Tavvo', toolTipSub: '',
        providers: [], notes: [], message: [], openLabel: null,
    };
}

// When tavvo-widget is not on PATH there is no program to say anything in
// the user's language: these lines are the widget's own.
function notInstalledLayout() {
    var text = 'Tavvo: not installed';
    var why = 'tavvo-widget is not on the PATH of Plasma';
    return {
        pieces: [{ text: text, color: null, bold: false }],
        accessibleName: text, toolTipMain: text, toolTipSub: why,
        providers: [], notes: [], message: [text, why], openLabel: null,
    };
}

// Whether two layouts show the same: most answers repeat the last one, and
// laying it out again would rebuild every gauge for nothing.
function sameLayout(left, right) {
    return JSON.stringify(left) === JSON.stringify(right);
}

// How long to wait before asking again, after a document that says time
// alone changes it at `nextChange` (or never, when null).
function pollDelay(nextChange, nowMilliseconds) {
    if (nextChange === null)
        return longestPollMilliseconds;
    var until = Date.parse(nextChange) - nowMilliseconds;
    return Math.max(shortestPollMilliseconds, Math.min(longestPollMilliseconds, until));
}

// What one run of the bar command brought: the layout to show (null to
// keep what is shown: output that is not a document changes nothing) and
// the milliseconds until the next run.
function answerOf(exitCode, output, nowMilliseconds) {
    if (exitCode === commandNotFound)
        return { layout: notInstalledLayout(), delay: longestPollMilliseconds };
    var document = parseDocument(output);
    if (document === null)
        return { layout: null, delay: longestPollMilliseconds };
    return { layout: layoutOf(document), delay: pollDelay(document.nextChange, nowMilliseconds) };
}

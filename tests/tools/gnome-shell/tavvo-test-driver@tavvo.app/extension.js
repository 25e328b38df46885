// Opens Tavvo's menu once the overview the shell starts in is gone (a
// headless shell has no pointer to click the indicator with). Enable it
// after Tavvo's, and disable it first.
/* exported init */
const Main = imports.ui.main;

class TestDriver {
    enable() {
        this._hidden = Main.overview.connect('hidden', () => Main.panel.statusArea['tavvo'].menu.open(false));
        if (Main.overview.visible)
            Main.overview.hide();
        else
            Main.panel.statusArea['tavvo'].menu.open(false);
    }

    disable() {
        Main.overview.disconnect(this._hidden);
        Main.panel.statusArea['tavvo']?.menu.close(false);
    }
}

function init() {
    return new TestDriver();
}


class TavvoExtension {
    enable() {
        this._presence = new TavvoPresence();
    }

    disable() {
        this._presence.destroy();
        this._presence = null;
    }
}

function init() {
    return new TavvoExtension();
}

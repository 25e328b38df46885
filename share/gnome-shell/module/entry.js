
export default class TavvoExtension extends Extension {
    enable() {
        this._presence = new TavvoPresence();
    }

    disable() {
        this._presence.destroy();
        this._presence = null;
    }
}

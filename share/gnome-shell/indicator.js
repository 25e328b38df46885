// The indicator in the top bar's status area, fed by a TavvoWatch
// (program.js). The names it uses (GLib, Gio, GObject, St, Clutter, Main,
// PanelMenu, PopupMenu, PanelLayout) are imported by the lines the build
// puts before it, in the form the running GNOME Shell loads.

const TavvoIndicator = GObject.registerClass(
class TavvoIndicator extends PanelMenu.Button {
    _init(program) {
        super._init(0.0, 'Tavvo');
        this._program = program;
        this._line = new St.BoxLayout({ style_class: 'tavvo-line', y_align: Clutter.ActorAlign.CENTER });
        this.add_child(this._line);
    }

    // Replaces what is shown by `layout` (see panelLayout.js).
    show(layout) {
        this._line.destroy_all_children();
        for (const piece of layout.pieces) {
            const label = new St.Label({ text: piece.text, y_align: Clutter.ActorAlign.CENTER });
            if (piece.styleClass)
                label.add_style_class_name(piece.styleClass);
            this._line.add_child(label);
        }
        this.accessible_name = layout.accessibleName;

        this.menu.removeAll();
        for (const line of layout.menu) {
            // Text to read, not to choose: not greyed out as an
            // unreactive item would be, and a click leaves the menu open.
            const item = new PopupMenu.PopupMenuItem(line.text, { activate: false, hover: false, can_focus: false });
            item.label.add_style_class_name(line.styleClass);
            this.menu.addMenuItem(item);
        }
        if (layout.openLabel !== null) {
            this.menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
            this.menu.addAction(layout.openLabel, () => openTavvoWindow(this._program));
        }
    }
});

// Everything the extension makes while enabled, undone by destroy().
class TavvoPresence {
    constructor() {
        const program = GLib.find_program_in_path('tavvo-widget');
        this._indicator = new TavvoIndicator(program);
        Main.panel.addToStatusArea('tavvo', this._indicator);
        if (program === null) {
            this._indicator.show(PanelLayout.notInstalledLayout('GNOME Shell'));
            this._watch = null;
        } else {
            this._watch = new TavvoWatch(program, layout => this._indicator.show(layout));
        }
    }

    destroy() {
        this._watch?.stop();
        this._watch = null;
        this._indicator.destroy();
        this._indicator = null;
    }
}

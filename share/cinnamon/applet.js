// The applet: the line in the panel, each share in its colour, the long
// form as its tooltip and the line in words as its accessible name; a
// click opens Tavvo's window. It runs a TavvoWatch (program.js) while it
// is in a panel. The names it uses are imported by the lines the build
// puts before it.

class TavvoApplet extends Applet.Applet {
    constructor(orientation, panelHeight, instanceId) {
        super(orientation, panelHeight, instanceId);
        this._program = GLib.find_program_in_path('tavvo-widget');
        this._watch = null;
        // The panel's own label style on the line, so that its uncoloured
        // text reads as every other applet's; a piece's colour is set on
        // the piece, which the theme's label rule would otherwise win over.
        this._line = new St.BoxLayout({ style_class: 'applet-label' });
        this.actor.add(this._line, { y_align: St.Align.MIDDLE, y_fill: false });
    }

    // Replaces what is shown by `layout` (see panelLayout.js).
    show(layout) {
        this._line.destroy_all_children();
        for (const piece of layout.pieces) {
            const label = new St.Label({ text: piece.text });
            label.clutter_text.ellipsize = Pango.EllipsizeMode.NONE;
            if (piece.styleClass)
                label.add_style_class_name(piece.styleClass);
            this._line.add(label, { y_align: St.Align.MIDDLE, y_fill: false });
        }
        this.actor.accessible_name = layout.accessibleName;
        this.set_applet_tooltip(layout.tooltip);
    }

    // Called when the applet is put in a panel, Cinnamon's start included,
    // and again after a move between panels.
    on_applet_added_to_panel() {
        if (this._program === null)
            this.show(PanelLayout.notInstalledLayout('Cinnamon'));
        else if (this._watch === null)
            this._watch = new TavvoWatch(this._program, layout => this.show(layout));
    }

    on_applet_removed_from_panel() {
        this._watch?.stop();
        this._watch = null;
    }

    on_applet_clicked() {
        if (this._program !== null)
            openTavvoWindow(this._program);
    }
}

function main(metadata, orientation, panelHeight, instanceId) {
    return new TavvoApplet(orientation, panelHeight, instanceId);
}

// The indicator in the top bar's status area and the `--watch` child that
// feeds it. The names it uses (GLib, Gio, GObject, St, Clutter, Main,
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
            this.menu.addAction(layout.openLabel, () => this._openWindow());
        }
    }

    _openWindow() {
        try {
            Gio.Subprocess.new([this._program, 'show'], Gio.SubprocessFlags.NONE);
        } catch (e) {
            log(`Tavvo: cannot start ${this._program} show: ${e.message}`);
        }
    }
});

// Runs `tavvo-widget bar --format json --watch` and hands each document it
// prints to `onLayout`, starting it again with a growing delay whenever it
// ends, until stop().
class TavvoWatch {
    constructor(program, onLayout) {
        this._program = program;
        this._onLayout = onLayout;
        this._cancellable = new Gio.Cancellable();
        this._child = null;
        this._restartSource = 0;
        this._delay = 0;
        this._start();
    }

    stop() {
        this._cancellable.cancel();
        if (this._restartSource) {
            GLib.source_remove(this._restartSource);
            this._restartSource = 0;
        }
        this._child?.force_exit();
        this._child = null;
    }

    _start() {
        let child;
        try {
            child = Gio.Subprocess.new([this._program, 'bar', '--format', 'json', '--watch'],
                Gio.SubprocessFlags.STDOUT_PIPE | Gio.SubprocessFlags.STDERR_SILENCE);
        } catch (e) {
            log(`Tavvo: cannot start ${this._program}: ${e.message}`);
            this._restartLater();
            return;
        }
        this._child = child;
        child.wait_async(this._cancellable, (_child, result) => {
            try {
                child.wait_finish(result);
            } catch (e) {
                return; // cancelled: stop() ended it
            }
            this._child = null;
            this._restartLater();
        });
        const lines = new Gio.DataInputStream({ base_stream: child.get_stdout_pipe(), close_base_stream: true });
        this._readLine(lines);
    }

    _readLine(lines) {
        lines.read_line_async(GLib.PRIORITY_DEFAULT, this._cancellable, (_lines, result) => {
            let line;
            try {
                [line] = lines.read_line_finish_utf8(result);
            } catch (e) {
                return; // cancelled, or the child is gone: its end restarts it
            }
            if (line === null)
                return;
            const document = PanelLayout.parseDocument(line);
            if (document) {
                this._delay = 0;
                this._onLayout(PanelLayout.layoutOf(document));
            }
            this._readLine(lines);
        });
    }

    _restartLater() {
        this._delay = PanelLayout.restartDelay(this._delay);
        this._restartSource = GLib.timeout_add_seconds(GLib.PRIORITY_DEFAULT, this._delay, () => {
            this._restartSource = 0;
            this._start();
            return GLib.SOURCE_REMOVE;
        });
    }
}

// Everything the extension makes while enabled, undone by destroy().
class TavvoPresence {
    constructor() {
        const program = GLib.find_program_in_path('tavvo-widget');
        this._indicator = new TavvoIndicator(program);
        Main.panel.addToStatusArea('tavvo', this._indicator);
        if (program === null) {
            this._indicator.show(PanelLayout.notInstalledLayout());
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

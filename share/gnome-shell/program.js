// What the desktop's panel item asks of the installed tavvo-widget: the
// `--watch` child whose documents it lays out, and the window a click
// opens. Shared by the GNOME Shell extension and the Cinnamon applet; the
// names it uses (GLib, Gio, PanelLayout) are imported by the lines each
// build puts before it.

// Opens Tavvo's window: `tavvo-widget show`, left to run on its own.
function openTavvoWindow(program) {
    try {
        Gio.Subprocess.new([program, 'show'], Gio.SubprocessFlags.NONE);
    } catch (e) {
        log(`Tavvo: cannot start ${program} show: ${e.message}`);
    }
}

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

#!/usr/bin/env bash
# Tavvo's extension inside a real GNOME Shell 43, headless: it is enabled,
# the top bar shows the line with each share in its colour (pixels counted,
# text read back by OCR and from the accessible tree), a new snapshot shows
# within a second, the menu (opened by a test-only extension, as there is
# no pointer) holds the long form and follows a change of language, and
# disabling it leaves no tavvo-widget child of the shell. A second shell
# has no tavvo-widget on PATH and says so. The shells' logs hold no
# JavaScript error or warning.
#
# Each shell runs in a private session bus with its own home and runtime
# folder, exported before the bus starts so that the bus's services (dconf,
# the extensions service) use them too; a second private bus stands in for
# the system bus, which the shell cannot do without.
set -u
widget=$1 tavvo=$2 extension=$3
here=$(cd "$(dirname "$0")" && pwd)
uuid=tavvo@tavvo.app driver=tavvo-test-driver@tavvo.app

if [ -z "${TAVVO_SHELL_SESSION:-}" ]; then
  command -v gnome-shell >/dev/null || { echo "SKIP: no gnome-shell"; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  status=0
  for session in installed missing; do
    export HOME=$work/$session/home XDG_RUNTIME_DIR=$work/$session/runtime TAVVO_SHELL_SESSION=$session TAVVO_SHELL_WORK=$work
    mkdir -p "$HOME/.local/share/gnome-shell/extensions" && mkdir -m 700 "$XDG_RUNTIME_DIR"
    cp -r "$extension" "$HOME/.local/share/gnome-shell/extensions/$uuid"
    cp -r "$here/gnome-shell/$driver" "$HOME/.local/share/gnome-shell/extensions/"
    system_bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$work/$session/system-bus.pid")
    DBUS_SYSTEM_BUS_ADDRESS=$system_bus timeout $((60 * ${TAVVO_TEST_TIME_SCALE:-1})) \
      env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
      dbus-run-session -- bash "$0" "$@" 2>"$work/$session.log" || { status=1; cat "$work/$session.log"; }
    kill "$(cat "$work/$session/system-bus.pid")"
  done
  exit $status
fi

# Inside the session.
session=$TAVVO_SHELL_SESSION
work=$TAVVO_SHELL_WORK/$session
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
source "$here/statusBarClientSupport.sh"
shell=

# The shell finds tavvo-widget on its PATH: the build's, reading this
# test's snapshot folder; in the second session, nothing at all.
mkdir -p "$work/bin"
[ "$session" = installed ] && put_widget_in "$work/bin"
gnome_shell=$(command -v gnome-shell)
finish() {
  if [ -n "$shell" ]; then
    # SIGTERM makes the shell crash on its way out: its status says nothing.
    kill -TERM "$shell" 2>/dev/null
    wait "$shell" 2>/dev/null
  fi
  if grep -E "JS ERROR|JS WARNING" -A3 "$work/shell.log"; then fail "$session: the shell's log has JavaScript errors"; else pass; fi
  # In a trap, a bare exit would take the status of the command before it.
  report "GNOME Shell, $session"
  exit $?
}
trap finish EXIT

gsettings set org.gnome.desktop.interface toolkit-accessibility true
gsettings set org.gnome.desktop.notifications show-banners false
publish 64 25
PATH=$work/bin:/nonexistent "$gnome_shell" --headless --wayland --no-x11 --virtual-monitor 1280x800 >"$work/shell.log" 2>&1 &
shell=$!
shell_answers() {
  gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.freedesktop.DBus.Properties.Get org.gnome.Shell ShellVersion >/dev/null 2>&1
}
expect_within "$session: the shell answers on the bus" 20 shell_answers || exit
# The extensions service is a GTK program started by the bus: it needs the
# shell's display in the bus's environment.
dbus-update-activation-environment WAYLAND_DISPLAY=wayland-0

state_of() { gnome-extensions info "$1" | sed -n 's/^ *State: //p'; }
enabled() { seen=$(state_of "$uuid"); [ "$seen" = ENABLED ]; }
gnome-extensions enable "$uuid"
expect_within "$session: the extension is enabled" 10 enabled || exit

# The top bar's strip of the screen, and the indicator's accessible nodes.
# The top bar's right part, where the indicator is: the clock in the middle
# would otherwise run into the line when OCR reads them as one.
screenshot() { gjs "$here/gnome-shell/screenshot.js" "$work/screen.png" && convert "$work/screen.png" -crop 520x32+760+0 +repage "$work/bar.png"; }
tree() { /usr/bin/python3 "$here/accessibleTree.py" gnome-shell 0 >"$work/tree.txt" 2>/dev/null; }
# The indicator's accessible name is the line in words.
says() { # spoken line
  tree || return 1
  seen=$(awk -F'\t' '$1 == "menu" && $3 ~ /^(Codex|Claude|Tavvo)/ { print $3 }' "$work/tree.txt")
  [ "$seen" = "$1" ]
}
# A menu item with this text is on the screen.
shows_item() { # text
  tree || return 1
  seen=$(awk -F'\t' '$1 == "label" && $2 == "showing" { print $3 }' "$work/tree.txt" | tr '\n' '|')
  grep -qxF -- "$1" < <(tr '|' '\n' <<<"$seen")
}
keep() { # name: keeps the last screenshot when asked to
  [ -n "${TAVVO_TEST_SCREENSHOTS:-}" ] && mkdir -p "$TAVVO_TEST_SCREENSHOTS" && cp "$work/screen.png" "$TAVVO_TEST_SCREENSHOTS/gnome-shell-$1.png"
}
tavvo_children() { pgrep -P "$shell" -f -- "$widget --base-dir $base bar --format json --watch"; }

if [ "$session" = missing ]; then
  expect_within "not installed: said" 5 "says 'Tavvo: not installed'"
  gnome-extensions enable "$driver"
  expect_within "not installed: the menu says why" 10 "shows_item 'tavvo-widget is not on the PATH of GNOME Shell'"
  expect_within "not installed: shown in the error colour" 5 "shell_shows '$critical' '$critical' 'Tavvo: not installed'" && keep not-installed
  # The shell disables the extensions enabled after one it disables: the
  # driver goes first.
  gnome-extensions disable "$driver"
  gnome-extensions disable "$uuid"
  exit
fi

expect_within "the line, each share in its colour" 10 "shell_shows '$ok' '$tight' 'Codex 64%' 'Claude 25%'" && keep first
expect_within "the line in words" 5 "says 'Codex: 64% left. Claude: 25% left'"
publish 5 45
expect_within "a new snapshot, within a second" 1 "says 'Codex: 5% left. Claude: 45% left'"
expect_within "a new snapshot, in its colours" "$follows" "shell_shows '$critical' '$watch' 'Codex 5%' 'Claude 45%'"

gnome-extensions enable "$driver"
expect_within "the menu opens on the long form" 10 "shows_item 'Open Tavvo' && shows_item 'Codex Pro' && shows_item 'Claude'"
shows_item 'Weekly: 5% left' && shows_item '5h: 45% left' && pass || fail "the menu's limits: $seen"
grep -qP '^label\tshowing\tUpdated \d\d:\d\d$' "$work/tree.txt" && pass || fail "the menu's updated line"
screenshot && keep menu
menu_text=$(convert "$work/screen.png" -crop 520x300+760+32 +repage -colorspace gray -negate -resize 300% png:- | tesseract stdin stdout --psm 6 2>/dev/null)
has_phrases "$menu_text" "Codex Pro" "Open Tavvo" && pass || fail "the open menu read back: $menu_text"

# A child that dies is started again (a second later, the first time).
first_child=$(tavvo_children)
[ -n "$first_child" ] && pass || fail "no tavvo-widget child of the shell while enabled"
kill $first_child
expect_within "a child that died is started again" 5 'seen=$(tavvo_children); [ -n "$seen" ] && [ "$seen" != "$first_child" ]'

# The language in force changes while the indicator runs: the child
# follows it, and so do the line's words and the menu.
"$tavvo" language set ru >/dev/null
expect_within "in Russian" 5 "says 'Codex: Осталось 5%. Claude: Осталось 45%' && shows_item 'Открыть Tavvo'"
screenshot && keep menu-ru

gnome-extensions disable "$driver"
gnome-extensions disable "$uuid"
expect_within "disabled" 5 '! enabled'
expect_within "no tavvo-widget child left" 2 '[ -z "$(tavvo_children)" ]'

#!/usr/bin/env bash
# Tavvo's applet inside a real Cinnamon 5.6 under Xvfb, beside the clock:
# the panel shows the line with each share in its colour (pixels counted,
# text read back by OCR and from the accessible tree), a new snapshot shows
# within a second, the pointer over it shows the long form as its tooltip,
# a click opens Tavvo's window, and the line follows a change of language.
# Removing the applet from the panel ends its tavvo-widget child, adding it
# again starts one, and stopping Cinnamon ends that one too. A second
# Cinnamon has no tavvo-widget on PATH and says so. The logs hold no
# JavaScript error or warning.
#
# Each Cinnamon runs in a private session bus with its own home and runtime
# folder, exported before the bus starts so that dconf uses them too; a
# second private bus stands in for the system bus.
set -u
widget=$1 tavvo=$2 applet=$3
here=$(cd "$(dirname "$0")" && pwd)
uuid=tavvo@tavvo.app

if [ -z "${TAVVO_CINNAMON_SESSION:-}" ]; then
  command -v cinnamon >/dev/null && command -v Xvfb >/dev/null && command -v xdotool >/dev/null \
    || { echo "SKIP: no cinnamon, Xvfb or xdotool"; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  source "$here/commandLineTestSupport.sh"
  status=0
  for session in installed missing; do
    export HOME=$work/$session/home XDG_RUNTIME_DIR=$work/$session/runtime TAVVO_CINNAMON_SESSION=$session TAVVO_CINNAMON_WORK=$work
    mkdir -p "$HOME/.local/share/cinnamon/applets" && mkdir -m 700 "$XDG_RUNTIME_DIR"
    cp -r "$applet" "$HOME/.local/share/cinnamon/applets/$uuid"
    start_xvfb 1024x600x24
    system_bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$work/$session/system-bus.pid")
    DBUS_SYSTEM_BUS_ADDRESS=$system_bus timeout $((60 * ${TAVVO_TEST_TIME_SCALE:-1})) \
      env -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
      dbus-run-session -- bash "$0" "$@" 2>"$work/$session.log" || { status=1; cat "$work/$session.log"; }
    kill "$xvfb" "$(cat "$work/$session/system-bus.pid")"
    wait "$xvfb"
  done
  exit $status
fi

# Inside the session.
session=$TAVVO_CINNAMON_SESSION
work=$TAVVO_CINNAMON_WORK/$session
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
source "$here/statusBarClientSupport.sh"
cinnamon=

# Cinnamon finds tavvo-widget on its PATH: the build's, reading this test's
# snapshot folder; in the second session, nothing at all.
mkdir -p "$work/bin"
[ "$session" = installed ] && put_widget_in "$work/bin"
# Cinnamon runs programs of its own (pkill among them): the system's folders
# stay on its PATH, after the test's.
cinnamon_path=$work/bin:/usr/sbin:/usr/bin:/sbin:/bin
if [ "$session" = missing ] && installed=$(PATH=$cinnamon_path command -v tavvo-widget); then
  echo "$installed is installed: a Cinnamon without tavvo-widget cannot be shown here"
  exit 0
fi
log_files=("$work/cinnamon.log" "$HOME/.xsession-errors" "$HOME/.cinnamon/glass.log")
finish() {
  [ -n "$cinnamon" ] && kill "$cinnamon" 2>/dev/null && wait "$cinnamon" 2>/dev/null
  if grep -s -E "JS ERROR|JS WARNING|LookingGlass/(error|warning)" -A3 "${log_files[@]}"; then
    fail "$session: Cinnamon's log has JavaScript errors"
  else
    pass
  fi
  # In a trap, a bare exit would take the status of the command before it.
  report "Cinnamon, $session" && exit 0
  tail -n 20 "$work/cinnamon.log"
  exit 1
}
trap finish EXIT

# The panel at the top with Tavvo's applet, then the clock.
with_applet="['panel1:right:0:$uuid:100', 'panel1:right:1:calendar@cinnamon.org:101']"
without_applet="['panel1:right:1:calendar@cinnamon.org:101']"
expect_within "the display answers" 5 'xdotool getdisplaygeometry >/dev/null 2>&1' || exit
gsettings set org.cinnamon panels-enabled "['1:0:top']"
gsettings set org.cinnamon enabled-applets "$with_applet"
gsettings set org.gnome.desktop.interface toolkit-accessibility true
publish 64 25
PATH=$cinnamon_path cinnamon --replace >"$work/cinnamon.log" 2>&1 &
cinnamon=$!

# The panel's strip of the screen (40 pixels high), and Cinnamon's
# accessible nodes.
screenshot() { import -window root "$work/screen.png" && convert "$work/screen.png" -crop 1024x40+0+0 +repage "$work/bar.png"; }
tree() { /usr/bin/python3 "$here/accessibleTree.py" cinnamon 0 >"$work/tree.txt" 2>/dev/null; }
# Cinnamon's panel is grey, not black: text, whatever its colour, is told
# from it by its brightest channel.
bar_text() { # image
  convert "$1" -colorspace HSB -channel B -separate +channel -level 40%,90% -negate -resize 400% png:- | tesseract stdin stdout --psm 7 2>/dev/null
}
# The applet's accessible name is the line in words.
says() { # spoken line
  tree || return 1
  seen=$(awk -F'\t' '$1 == "panel" && $3 ~ /^(Codex|Claude|Tavvo)/ { print $3 }' "$work/tree.txt")
  [ "$seen" = "$1" ]
}
# A label on the screen, the tooltip's when the pointer is on the applet,
# has this text (line breaks as \n).
tooltip_shows() { # text
  tree || return 1
  seen=$(awk -F'\t' '$1 == "label" && $2 == "showing" { print $3 }' "$work/tree.txt" | tr '\n' '|')
  grep -qxF -- "$1" < <(tr '|' '\n' <<<"$seen")
}
# The pointer on the applet: the panel's leftmost text is the applet's, as
# it sits left of the clock.
point_at_applet() {
  screenshot || return 1
  local left; left=$(convert "$work/bar.png" -fuzz 10% -trim -format '%X' info:)
  xdotool mousemove $((${left#+} + 8)) 20
}
keep() { # name: keeps the last screenshot when asked to
  [ -n "${TAVVO_TEST_SCREENSHOTS:-}" ] && mkdir -p "$TAVVO_TEST_SCREENSHOTS" && cp "$work/screen.png" "$TAVVO_TEST_SCREENSHOTS/cinnamon-$1.png"
}
tavvo_children() { pgrep -P "$cinnamon" -f -- "$widget --base-dir $base bar --format json --watch"; }

if [ "$session" = missing ]; then
  expect_within "not installed: shown in the error colour" 10 "shell_shows '$critical' '$critical' 'Tavvo: not installed'"
  expect_within "not installed: said" 5 "says 'Tavvo: not installed'"
  point_at_applet
  expect_within "not installed: the tooltip says why" 5 "tooltip_shows 'tavvo-widget is not on the PATH of Cinnamon'" && screenshot && keep not-installed
  exit
fi

expect_within "the line, each share in its colour" 10 "shell_shows '$ok' '$tight' 'Codex 64%' 'Claude 25%'"
expect_within "the line in words" 5 "says 'Codex: 64% left. Claude: 25% left'"
publish 5 45
expect_within "a new snapshot, within a second" 1 "says 'Codex: 5% left. Claude: 45% left'"
expect_within "a new snapshot, in its colours" "$follows" "shell_shows '$critical' '$watch' 'Codex 5%' 'Claude 45%'"

# The long form, exactly as the program writes it, in the tooltip.
long_form() {
  "$widget" --base-dir "$base" bar --format json | /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)["tooltip"].replace("\n", "\\n"))'
}
expected=$(long_form)
point_at_applet
expect_within "the tooltip is the long form" 5 'tooltip_shows "$expected"' && screenshot && keep tooltip
xdotool click 1
expect_within "a click opens Tavvo's window" 10 'xdotool search --classname "^tavvo-widget$" >/dev/null'
window=$(pgrep -P "$cinnamon" -f -- "$widget --base-dir $base show") && kill $window

# The language in force changes while the applet runs: the child follows
# it, and so do the line's words and the tooltip.
"$tavvo" language set ru >/dev/null
expect_within "in Russian" 5 "says 'Codex: Осталось 5%. Claude: Осталось 45%'"
expected=$(long_form)
point_at_applet
expect_within "the tooltip in Russian" 5 'tooltip_shows "$expected"' && screenshot && keep tooltip-ru

first_child=$(tavvo_children)
[ -n "$first_child" ] && pass || fail "no tavvo-widget child of Cinnamon while the applet is in the panel"
gsettings set org.cinnamon enabled-applets "$without_applet"
expect_within "removed: its child ends" 2 no_watchers
gsettings set org.cinnamon enabled-applets "$with_applet"
expect_within "added again: a new child" 5 'seen=$(tavvo_children); [ -n "$seen" ] && [ "$seen" != "$first_child" ]'
expect_within "added again: the line" 5 "says 'Codex: Осталось 5%. Claude: Осталось 45%'"
kill "$cinnamon" && wait "$cinnamon" 2>/dev/null
cinnamon=
expect_within "Cinnamon stopped: its child ends" 2 no_watchers

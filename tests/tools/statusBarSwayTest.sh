#!/usr/bin/env bash
# The installed Waybar and swaybar examples as a user sees them: a headless
# sway session with Waybar running the example module (its style sheet
# imported into a dark bar's) and a swaybar block whose status command is the
# i3bar example. Screenshots (grim) are read back: the text by OCR, the
# colour by counting the pixels of each severity's colour. A new snapshot
# must change both bars.
#
# sway will not run as root; as root, the session runs as an unprivileged
# user made for it. Set TAVVO_TEST_SCREENSHOTS to a folder to keep one
# screenshot of each state there.
set -u
widget=$1 examples=$2
work=$(mktemp -d)
sway=
trap '[ -n "$sway" ] && { "${as_session_user[@]}" swaymsg exit || kill "$sway"; } >/dev/null 2>&1; wait; rm -rf "$work"' EXIT
source "$(dirname "$0")/statusBarClientSupport.sh"

session_user=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  session_user=tavvo-test
  if ! id "$session_user" >/dev/null 2>&1 &&
    ! useradd --system --no-create-home --shell /usr/sbin/nologin "$session_user" 2>"$work/useradd.err"; then
    echo "SKIP: sway refuses to run as root and no user $session_user could be made: $(cat "$work/useradd.err")"
    exit 77
  fi
fi
# That user runs the build's program and reads the examples where they
# are; a checkout below a private folder keeps them out of its reach.
if ! setpriv --reuid="$session_user" --regid="$(id -g "$session_user")" --clear-groups \
  sh -c 'test -x "$1" && test -r "$2"' sh "$widget" "$examples/waybar/style.css"; then
  echo "SKIP: $session_user cannot reach $widget and $examples: a folder above them is private"
  exit 77
fi
run=$work/run home=$work/home
chmod 755 "$work"
mkdir -m 700 "$run"
mkdir -p "$home"
chown "$session_user" "$run" "$home"

# A command in the session's environment, as its user: setpriv and env
# each run the next program in their own place, so a background one's $!
# is the program's.
as_session_user=(env -i HOME="$home" XDG_RUNTIME_DIR="$run" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state"
  PATH=/usr/bin:/bin LANG=C.UTF-8 WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
  LSAN_OPTIONS="${LSAN_OPTIONS:-}")
[ "$(id -u)" -eq 0 ] &&
  as_session_user=(setpriv --reuid="$session_user" --regid="$(id -g "$session_user")" --clear-groups "${as_session_user[@]}")

# Waybar: the example module and style sheet as installed, imported into a
# dark bar the way a user's own style sheet would.
example_for_test "$examples/waybar/config.jsonc" >"$work/waybar.jsonc"
cat >"$work/waybar.css" <<CSS
@import url("$examples/waybar/style.css");
window#waybar { background: #1c1c1c; color: #e6e6e6; }
#custom-tavvo { font-family: "DejaVu Sans"; font-size: 20px; }
CSS
# swaybar: the example's bar block, moved to the bottom edge so that the two
# bars do not share a strip of the screen.
example_for_test "$examples/sway/tavvo.conf" | sed 's/position top/position bottom/' >"$work/swaybar.conf"
cat >"$work/sway.conf" <<CONF
xwayland disable
font pango:DejaVu Sans 16
output HEADLESS-1 resolution 900x200 bg #202020 solid_color
include $work/swaybar.conf
exec waybar -c $work/waybar.jsonc -s $work/waybar.css
CONF

"${as_session_user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway=$!
# Started once both its sockets are there: the display's and the one
# swaymsg asks it through.
for ((i = 0; i < 100; i++)); do
  socket=$(cd "$run" && ls wayland-? 2>/dev/null | head -n 1) ipc=$(ls "$run"/sway-ipc.*.sock 2>/dev/null)
  [ -n "$socket" ] && [ -n "$ipc" ] && break
  sleep 0.05
done
[ -n "$socket" ] && [ -n "$ipc" ] || { echo "FAIL: sway did not start"; cat "$work/sway.log"; exit 1; }
as_session_user+=(WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc")

# The screen, and what is in its top strip (Waybar) or bottom strip
# (swaybar).
screenshot() { "${as_session_user[@]}" grim - >"$work/shot.png"; }
strip() { # top|bottom
  local offset=0; [ "$1" = bottom ] && offset=160
  convert "$work/shot.png" -crop "900x40+0+$offset" +repage "$work/$1.png"
}
pixels() { color_pixels "$work/$1.png" "$2"; } # top|bottom, colour
# The strip holds the phrases, in that colour. The colour is counted first:
# it is quick, and OCR is only worth running once it is there.
shows() { # top|bottom, colour, phrases...
  local where=$1 color=$2; shift 2
  screenshot && strip "$where" || return 1
  local count; count=$(pixels "$where" "$color")
  seen="$count pixels of $color"
  [ "$count" -gt 20 ] || return 1
  local text; text=$(ocr "$work/$where.png")
  seen="$text, $seen"
  has_phrases "$text" "$@"
}
keep() { # name: keeps the last screenshot when asked to
  [ -n "${TAVVO_TEST_SCREENSHOTS:-}" ] && mkdir -p "$TAVVO_TEST_SCREENSHOTS" && cp "$work/shot.png" "$TAVVO_TEST_SCREENSHOTS/$1.png"
}
# Before any snapshot the module says so (dimmed, in the bar's own text
# colour); one that cannot be read shows as an error, in red.
reads() { # top|bottom, phrases...: the strip holds the phrases
  local where=$1; shift
  screenshot && strip "$where" || return 1
  seen=$(ocr "$work/$where.png")
  has_phrases "$seen" "$@"
}
expect_within "Waybar without a snapshot" 10 "reads top 'Open Tavvo once'" && keep waybar-empty
printf '{"schemaVersion": 4, "providers": [' >"$base/Widget/.next.json"
mv "$base/Widget/.next.json" "$base/Widget/current-limits.json"
expect_within "Waybar with an unreadable snapshot" "$follows" "shows top '$critical' 'Tavvo:'" && keep waybar-error

publish 64 80
expect_within "Waybar shows the module in the ok colour" "$follows" "shows top '$ok' 'Codex 64%' 'Claude 80%'" && keep waybar-ok
expect_within "swaybar shows the blocks in the ok colour" 5 "shows bottom '$ok' 'Codex 64%' 'Claude 80%'" && keep swaybar-ok
cp "$work/shot.png" "$work/before.png"

# Worse numbers: the colour follows the class (Waybar) or the block's own
# severity (swaybar).
publish 5 45
expect_within "Waybar turns critical" "$follows" \
  "shows top '$critical' 'Codex 5%' 'Claude 45%' && [ \"\$(pixels top '$ok')\" -eq 0 ]" && keep waybar-critical
# swaybar draws an urgent block in the bar's urgent colours (by default
# white on #900000) rather than in its own.
expect_within "swaybar shows each block's severity, the critical one urgent" "$follows" \
  "shows bottom '$watch' 'Codex 5%' 'Claude 45%' && [ \"\$(pixels bottom '#900000')\" -gt 20 ]" && keep swaybar-critical
differing=$(compare -metric AE "$work/before.png" "$work/shot.png" null: 2>&1)
[ "${differing%% *}" != 0 ] && pass || fail "the screenshot did not change"

publish 25 90
expect_within "Waybar: tight" "$follows" "shows top '$tight' 'Codex 25%' 'Claude 90%'"

# The session ends: sway ends its bars, their pipes close and every
# watcher ends.
"${as_session_user[@]}" swaymsg exit >/dev/null 2>&1 || kill "$sway"
wait "$sway"; sway=
expect_within "no watcher outlives the session" "$follows" 'no_watchers'

# Waybar says when a line is not what it reads (markup it cannot parse, a
# line that is not JSON) or when the command ends on its own; the watchers'
# own standard error (sanitizer reports included) lands in the same log.
problems=$(grep -E 'from markup|\[error\]|stopped unexpectedly|Sanitizer' "$work/sway.log")
[ -z "$problems" ] && pass || fail "Waybar complained: $problems"

report "Waybar and swaybar under sway"

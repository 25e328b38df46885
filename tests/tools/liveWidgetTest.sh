#!/usr/bin/env bash
# The live window under a virtual X display: its first frame matches what
# render draws for the same entry; a new snapshot and a new language each
# redraw it within a second; a click opens the widget's address, once.
set -u
widget=$1 tavvo=$2
work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 TAVVO_L10N_SHOW_KEYS=
unset LANGUAGE LC_ALL LC_MESSAGES WAYLAND_DISPLAY
# GTK draws with Cairo alone, on every machine. Where a GL driver is
# installed (a desktop pulls Mesa in), GTK would load it and unload it again
# when the display closes, before LeakSanitizer runs: what the driver keeps
# then shows up as leaks from an unknown module, and the verdict would depend
# on what happens to be installed. Our own code is checked as before.
export GDK_DEBUG=gl-disable
program_name=tavvo-widget
source "$(dirname "$0")/commandLineTestSupport.sh"

start_xvfb 1024x768x24
trap 'kill $show $xvfb 2>/dev/null; rm -rf "$work"' EXIT

# The desktop's handler for tavvo:// addresses writes down what it opened.
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cat >"$XDG_DATA_HOME/applications/tavvo-test-handler.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Test handler
Exec=sh -c 'echo "\$1" >>"$work/opened"' sh %u
MimeType=x-scheme-handler/tavvo;
NoDisplay=true
DESKTOP
printf '[Default Applications]\nx-scheme-handler/tavvo=tavvo-test-handler.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"

codex_snapshot 64 2026-12-07T12:10:00Z >"$work/first.json"
codex_snapshot 12 2026-12-07T12:10:00Z >"$work/second.json"
"$tavvo" --base-dir "$work/base" snapshot write "$work/first.json"

# The window's corner of the screen is $work/render.png, pixel for pixel.
# A frame is drawn before the display shows it: look again for a while.
expect_same_picture() { # WIDTHxHEIGHT, description
  local differing
  for ((i = 0; i < 50; i++)); do
    import -window root -crop "$1+0+0" +repage "$work/shot.png"
    differing=$(compare -metric AE "$work/shot.png" "$work/render.png" null: 2>&1)
    [ "$differing" = 0 ] && break
    sleep 0.1
  done
  expect "$2 ($differing pixels differ)" [ "$differing" = 0 ]
}

now=--now=2026-12-07T12:00:00Z
"$widget" --base-dir "$work/base" "$now" show --family medium --appearance light --report-frames >"$work/frames" 2>"$work/show.err" &
show=$!
expect "first frame" wait_for_frame 1 10

# Drawn as render draws it, pixel for pixel (the clock runs on from --now,
# but within the same minute every text is the same).
"$widget" --base-dir "$work/base" "$now" render --family medium --scale 1 -o "$work/render.png"
expect_same_picture 364x220 "the window shows what render draws"

"$tavvo" --base-dir "$work/base" snapshot write "$work/second.json"
expect "redrawn within a second of a new snapshot" wait_for_frame 2 1
"$tavvo" language set ru >/dev/null
expect "redrawn within a second of a new language" wait_for_frame 3 1

xdotool mousemove 100 100 click 1
for ((i = 0; i < 60; i++)); do [ -s "$work/opened" ] && break; sleep 0.05; done
sleep 0.3
expect "a click opens the address once" [ "$(cat "$work/opened" 2>/dev/null)" = "tavvo://open" ]

# Nothing else arrives without a reason: no busy loop of requests.
sleep 1
expect "no frames without a change" [ "$(wc -l <"$work/frames")" -eq 3 ]
kill $show
wait $show
ended=$?
expect "ends cleanly on SIGTERM" [ $ended -eq 0 ]
# What the sanitizers reported, when they did.
[ $ended -eq 0 ] || cat "$work/show.err"

# With no settings portal, auto follows GTK's preference for dark.
mkdir -p "$XDG_CONFIG_HOME/gtk-4.0"
printf '[Settings]\ngtk-application-prefer-dark-theme=true\n' >"$XDG_CONFIG_HOME/gtk-4.0/settings.ini"
"$tavvo" language clear
"$widget" --base-dir "$work/base" "$now" show --family small --report-frames >"$work/frames" 2>"$work/show.err" &
show=$!
expect "first frame, automatic appearance" wait_for_frame 1 10
"$widget" --base-dir "$work/base" "$now" render --family small --appearance dark --scale 1 -o "$work/render.png"
expect_same_picture 170x170 "the desktop's dark preference"
kill $show
wait $show

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# The installed Polybar example as a user sees it: Polybar under a virtual
# X display (Xvfb) with the example module included into a dark bar. The
# screen is read back: the text by OCR (a percent sign shown once, not
# doubled), each share in its severity's colour by counting pixels. A new
# snapshot must change the bar.
set -u
widget=$1 examples=$2
work=$(mktemp -d)
xvfb= polybar=
trap '[ -n "$polybar" ] && kill "$polybar" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; wait; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
source "$(dirname "$0")/statusBarClientSupport.sh"
mkdir -p "$HOME"

publish 64 25
example_for_test "$examples/polybar/tavvo.ini" >"$work/tavvo.ini"
cat >"$work/polybar.ini" <<INI
[bar/test]
width = 100%
height = 40
background = #1c1c1c
foreground = #e6e6e6
font-0 = DejaVu Sans:size=16;4
padding-right = 2
modules-right = tavvo
include-file = $work/tavvo.ini
INI

start_xvfb 900x200x24
polybar --config="$work/polybar.ini" --quiet test >"$work/polybar.log" 2>&1 &
polybar=$!

# The bar's strip of the screen.
screenshot() { import -window root -crop 900x40+0+0 +repage "$work/bar.png"; }
expect_within "the first line, each share in its colour" 10 "shows '$ok' '$tight' 'Codex 64%' 'Claude 25%'" && keep polybar-first
publish 5 45
expect_within "a new snapshot" "$follows" "shows '$critical' '$watch' 'Codex 5%' 'Claude 45%'" && keep polybar-next

report "Polybar"

#!/usr/bin/env bash
# The installed genmon example as a user sees it: a real Xfce panel under a
# virtual X display (Xvfb) holding one Generic Monitor item, configured
# from the example's file. The panel is read back from screenshots: the
# text by OCR, each share in its severity's colour by counting pixels, in
# the light appearance the example asks for and in the dark one, in English
# and in French. A new snapshot must show after the next period, and a
# click on the text must start the window.
set -u
widget=$1 examples=$2
work=$(mktemp -d)
xvfb= session= panel_pid=
cleanup() {
  [ -n "$session" ] && kill "$session" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  pkill -KILL -f -- "^$widget show\$" 2>/dev/null
  wait; rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_CACHE_HOME=$work/cache LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
source "$(dirname "$0")/statusBarClientSupport.sh"
mkdir -p "$HOME"
for program in xfce4-panel dbus-run-session Xvfb xdotool; do
  command -v "$program" >/dev/null || { echo "SKIP: $program is not installed"; exit 77; }
done
genmon=$(find /usr/lib -path '*xfce4/panel/plugins/libgenmon.so' -print -quit)
[ -n "$genmon" ] || { echo "SKIP: xfce4-genmon-plugin is not installed"; exit 77; }

# One panel along the top of the screen with the generic monitor alone.
mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml" "$XDG_CONFIG_HOME/xfce4/panel"
cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="40"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="genmon"/>
  </property>
</channel>
XML

start_xvfb 900x200x24

# The example with the build's program and the scratch snapshot folder, a
# one-second period so that a test need not wait a user's, a large font
# for OCR and for counting pixels, and the appearance and language of this
# run. A dark panel is GTK's dark theme, as a user with a dark desktop has
# it.
start_panel() { # appearance option, GTK theme, locale of messages
  [ -n "$session" ] && { kill "$session"; wait "$session" 2>/dev/null; }
  { example_for_test "$examples/xfce-genmon/genmon.rc" |
    sed -e 's/^UpdatePeriod=.*/UpdatePeriod=1000/' -e "s/ --appearance light/$1/"
    echo "Font=DejaVu Sans Bold 15"; } >"$XDG_CONFIG_HOME/xfce4/panel/genmon-1.rc"
  GTK_THEME=$2 LC_MESSAGES=$3 dbus-run-session -- xfce4-panel --disable-wm-check >"$work/panel.log" 2>&1 &
  session=$!
}

screenshot() { import -window root -crop 900x40+0+0 +repage "$work/bar.png"; }
# OCR reads black glyphs on white: a dark panel is negated first, then
# every glyph, whatever its colour, turned black, and the whole enlarged.
bar_text() { # image
  local negate=
  [ "$(convert "$1" -colorspace gray -format '%[fx:mean<0.5]' info:)" = 1 ] && negate=-negate
  convert "$1" -colorspace gray $negate -threshold 60% -resize 400% png:- | tesseract stdin stdout --psm 7 2>/dev/null
}

# The light appearance's severity colours, which the example asks for.
light_ok='#0A7F3E' light_watch='#8A5C00' light_tight='#B03A08' light_critical='#C0201C'

publish 64 25
start_panel " --appearance light" Adwaita en_US.UTF-8
expect_within "the first line, light colours" 15 "shows '$light_ok' '$light_tight' 'Codex 64%' 'Claude 25%'" && keep genmon-light-first
publish 5 45
expect_within "a new snapshot after the next period" "$follows" "shows '$light_critical' '$light_watch' 'Codex 5%' 'Claude 45%'" &&
  keep genmon-light-next

# A click on the text opens the window: the panel runs the program that
# printed the line, however the panel found it.
xdotool mousemove 60 20 click 1
expect_within "a click starts the window" "$follows" \
  "pgrep -f -- '^$widget show\$' >/dev/null || { seen=\"\$(pgrep -af tavvo-widget)\"; false; }"
pkill -f -- "^$widget show\$"

# Without the option, the dark colours on a dark panel; and the line in
# French.
publish 64 25
start_panel "" Adwaita:dark fr_FR.UTF-8
expect_within "dark colours, in French" 15 "shows '$ok' '$tight' 'Codex 64' 'Claude 25'" && keep genmon-dark-fr

report "genmon"

#!/usr/bin/env bash
# The live window as a screen reader finds it, read through AT-SPI under a
# virtual X display: the application by the program's name, described by
# the widget's name; one level bar per share shown (none for a limit whose
# share is unknown), each named, valued and described as the snapshot and
# the language say, in two sizes and two languages; a new snapshot reaches
# the level bars as soon as the window redraws.
set -u
widget=$1 tavvo=$2
reader=$(dirname "$0")/accessibleTree.py
# Debian's own Python: the one with the GObject bindings.
python=/usr/bin/python3
if ! command -v dbus-run-session >/dev/null || ! "$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
  echo "SKIP: needs dbus-run-session and gir1.2-atspi-2.0 for $python"
  exit 77
fi

# A session bus of our own, which starts the accessibility bus for the
# window. The services it starts inherit the environment it starts with,
# so the scratch home is in place before.
if [ -z "${TAVVO_TEST_SESSION:-}" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p -m 700 "$work/home" "$work/runtime"
  HOME=$work/home XDG_RUNTIME_DIR=$work/runtime TAVVO_TEST_SESSION=$work dbus-run-session -- bash "$0" "$@" 2>"$work/session.err"
  status=$?
  [ $status -eq 0 ] || grep -v 'fd limit\|Activating service\|Successfully activated\|SpiRegistry\|connection to the bus' "$work/session.err"
  exit $status
fi

work=$TAVVO_TEST_SESSION
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 TZ=UTC
unset LANGUAGE LC_ALL LC_MESSAGES WAYLAND_DISPLAY TAVVO_L10N_SHOW_KEYS
# Cairo alone, as in liveWidgetTest.sh: no GL driver comes and goes.
export GDK_DEBUG=gl-disable
scale=${TAVVO_TEST_TIME_SCALE:-1}
source "$(dirname "$0")/commandLineTestSupport.sh"

start_xvfb 1024x768x24
show=
trap 'kill $show $xvfb 2>/dev/null' EXIT

# Codex's two limits, then Claude's five hours and its week, whose share is
# unknown. Codex's week resets two days after --now, so its reset names the
# day; the others read as a time.
document() { # Codex 5h, Codex week, Claude 5h remaining
  cat <<JSON
{"schemaVersion": 4, "generatedAt": "2026-12-07T11:59:00Z", "providers": [
  {"id": "codex", "title": "Codex Plus", "status": "available", "observedAt": "2026-12-07T11:59:00Z",
   "freshUntil": "2026-12-07T12:10:00Z", "limits": [
     {"id": "codex.five_hour", "title": "5h", "remainingPercent": $1, "resetDate": "2026-12-07T15:02:00Z"},
     {"id": "codex.weekly", "title": "Week", "remainingPercent": $2, "resetDate": "2026-12-09T22:46:00Z"}]},
  {"id": "claude", "title": "Claude", "status": "available", "observedAt": "2026-12-07T11:59:00Z",
   "freshUntil": "2026-12-07T12:10:00Z", "limits": [
     {"id": "claude.five_hour", "title": "5h", "remainingPercent": $3, "resetDate": "2026-12-07T14:11:00Z"},
     {"id": "claude.weekly", "title": "Week", "resetDate": "2026-12-07T20:41:00Z"}]}]}
JSON
}
document 84 75 77 >"$work/first.json"
document 30 8 100 >"$work/second.json"

# What the reader finds equals $work/expected; a difference is shown.
expect_read() { # description
  "$python" "$reader" tavvo-widget $((5 * scale)) 2>&1 | awk -F'\t' '$1 == "application" || $1 == "gauge" || NF == 1' >"$work/read"
  expect "$1" diff -u "$work/expected" "$work/read"
}
application=$'application\ttavvo-widget\tTavvo'
gauge() { printf 'gauge\t%s\t%s\t0\t100\t%s\n' "$@"; }

now=--now=2026-12-07T12:00:00Z
"$tavvo" --base-dir "$work/base" snapshot write "$work/first.json"
for language in en ru; do
  "$tavvo" language set $language >/dev/null
  if [ $language = en ]; then
    left='%s%% left' reset=Resets week='Resets Dec 9, 22:46'
  else
    left='Осталось %s%%' reset='Сброс в' week='Сброс 9 дек., 22:46'
  fi
  for family in systemMedium systemSmall; do
    "$widget" --base-dir "$work/base" "$now" show --family $family --report-frames >"$work/frames" 2>"$work/show.err" &
    show=$!
    expect "$family, $language: first frame" wait_for_frame 1 10
    {
      echo "$application"
      # The small size shows each provider's binding limit: the one with
      # the least left.
      [ $family = systemMedium ] && gauge "Codex Plus, 5h" 84 "$(printf "$left" 84). $reset 15:02"
      gauge "Codex Plus, Week" 75 "$(printf "$left" 75). $week"
      gauge "Claude, 5h" 77 "$(printf "$left" 77). $reset 14:11"
    } >"$work/expected"
    expect_read "$family, $language: the application and its gauges"

    if [ $family = systemMedium ] && [ $language = en ]; then
      "$tavvo" --base-dir "$work/base" snapshot write "$work/second.json"
      expect "$family, $language: redrawn within a second of a new snapshot" wait_for_frame 2 1
      {
        echo "$application"
        gauge "Codex Plus, 5h" 30 "30% left. Resets 15:02"
        gauge "Codex Plus, Week" 8 "8% left. Resets Dec 9, 22:46"
        gauge "Claude, 5h" 100 "100% left. Resets 14:11"
      } >"$work/expected"
      expect_read "$family, $language: the gauges follow the new snapshot"
      "$tavvo" --base-dir "$work/base" snapshot write "$work/first.json"
    fi
    kill $show
    wait $show
    ended=$?
    expect "$family, $language: ends cleanly on SIGTERM" [ $ended -eq 0 ]
    [ $ended -eq 0 ] || cat "$work/show.err"
    show=
  done
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

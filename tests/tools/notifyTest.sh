#!/usr/bin/env bash
# `tavvo-widget notify` against a real notification daemon: dunst on a
# private session bus, drawing on a virtual X display. Snapshots that cross
# thresholds while `notify --watch` runs must leave exactly the expected
# notifications (summary, body, urgency) in dunst's history; a restart
# sends none again, nor does a first start on a state already there; a
# one-shot run tells what changed since the last; with no daemon on the
# bus both modes say so once and carry on.
set -u
widget=$1 tavvo=$2

# Everything runs on a bus of its own, which starts nothing on demand: the
# daemon is there only while the test runs it.
if [ -z "${TAVVO_NOTIFY_TEST_BUS:-}" ]; then
  config=$(mktemp)
  trap 'rm -f "$config"' EXIT
  cat >"$config" <<'XML'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
XML
  # The bus complains on its standard error that it may not raise its file
  # limit; that is no concern of the test.
  TAVVO_NOTIFY_TEST_BUS=1 dbus-run-session --config-file="$config" -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
  exit
fi

work=$(mktemp -d)
xvfb= daemon= notifier=
trap 'kill $notifier $daemon $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8 TZ=UTC
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS WAYLAND_DISPLAY
program_name=tavvo-widget
source "$(dirname "$0")/commandLineTestSupport.sh"
scale=${TAVVO_TEST_TIME_SCALE:-1}
base=$work/base
mkdir -p "$HOME"

start_xvfb 640x480x24

# Each urgency formats its notifications with its own name first, so that
# the history, which keeps the formatted text, tells the urgency too.
cat >"$work/dunstrc" <<'INI'
[global]
    markup = no
    stack_duplicates = false
    notification_limit = 0
    history_length = 100
[urgency_low]
    format = "low|%s|%b"
[urgency_normal]
    format = "normal|%s|%b"
[urgency_critical]
    format = "critical|%s|%b"
INI
start_daemon() {
  dunst -config "$work/dunstrc" >>"$work/dunst.log" 2>&1 &
  daemon=$!
  for ((i = 0; i < 100; i++)); do dunstctl count >/dev/null 2>&1 && return; sleep 0.05; done
  echo "FAIL: dunst did not start"; cat "$work/dunst.log"; exit 1
}
# The notifications sent since the last call, in the order sent, one per
# line as "urgency|summary|body" with the body's lines joined by " / ".
# Closing them all moves them to the history.
last_id=0
notifications() {
  while [ "$(dunstctl count displayed)" -gt 0 ] || [ "$(dunstctl count waiting)" -gt 0 ]; do dunstctl close-all; done
  dunstctl history | python3 -c '
import json, sys
last = int(sys.argv[1])
for n in sorted(json.load(sys.stdin)["data"][0], key=lambda n: n["id"]["data"]):
    if n["id"]["data"] > last:
        print(n["message"]["data"].replace("\n", " / "))' "$last_id"
  last_id=$(dunstctl history | python3 -c 'import json, sys; print(max([n["id"]["data"] for n in json.load(sys.stdin)["data"][0]], default=0))')
}
count() {
  echo $(( $(dunstctl count displayed) + $(dunstctl count waiting) + $(dunstctl count history) ))
}
wait_for_count() { # number, description
  expect_within "$2" 3 "seen=\"\$(count) notifications\"; [ \"\$seen\" = '$1 notifications' ]"
}
expect_notifications() { # description, expected lines
  local got; notifications >"$work/notifications"; got=$(cat "$work/notifications")
  if [ "$got" = "$2" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $1:"; echo "  got:"; sed 's/^/    /' <<<"$got"; echo "  expected:"; sed 's/^/    /' <<<"$2"; fi
}

# Codex's five-hour window with `remaining` percent left, resetting at
# `reset` (seconds past the minute keep the countdowns whole while the
# test runs), and its forecast; fresh from 11:59 to 12:30.
write_snapshot() { # remaining, reset, forecast state
  cat >"$work/document.json" <<JSON
{"schemaVersion": 4, "generatedAt": "2026-12-07T11:59:00Z",
 "providers": [{"id": "codex", "title": "Codex Pro", "status": "available",
   "observedAt": "2026-12-07T11:59:00Z", "freshUntil": "2026-12-07T12:30:00Z",
   "limits": [{"id": "codex.five_hour", "title": "5h", "remainingPercent": $1, "resetDate": "$2"},
              {"id": "codex.weekly", "title": "Weekly", "remainingPercent": 70, "resetDate": "2026-12-10T00:00:50Z"}]}],
 "codexAnalytics": {"forecastState": "$3", "predictedExhaustionAt": "2026-12-07T18:00:50Z",
   "resetAt": "2026-12-10T00:00:50Z", "remainingPercent": 40, "forecastObservedAt": "2026-12-07T11:59:00Z", "weeklyTokens": 1000}}
JSON
  "$tavvo" --base-dir "$base" snapshot write "$work/document.json" || { echo "FAIL: snapshot write"; exit 1; }
}
first=2026-12-07T14:00:50Z second=2026-12-07T19:00:50Z
now=--now=2026-12-07T12:00:00Z
ledger=$XDG_STATE_HOME/tavvo/notifications.json

start_daemon
write_snapshot 60 $first lastsUntilReset
"$widget" --base-dir "$base" "$now" notify --watch 2>"$work/watch.err" &
notifier=$!
# The first pass remembers what is there without a word.
for ((i = 0; i < 60 * scale; i++)); do [ -s "$ledger" ] && break; sleep 0.05; done
expect "the first pass writes the record" [ -s "$ledger" ]

write_snapshot 25 $first lastsUntilReset
wait_for_count 1 "into tight"
write_snapshot 8 $first lastsUntilReset
wait_for_count 2 "into critical"
# Better, but still tight in the same window: nothing new.
write_snapshot 30 $first lastsUntilReset
sleep 0.5
write_snapshot 97 $second lastsUntilReset
wait_for_count 3 "a new window"
write_snapshot 97 $second exhaustsBeforeReset
wait_for_count 4 "the forecast"
kill -TERM $notifier
expect_ended "the watcher ends on SIGTERM with status 0" $notifier "$work/watch.err"
notifier=
expect "nothing on standard error" [ ! -s "$work/watch.err" ]
expect_notifications "what the watcher sent" "$(cat <<'TEXT'
normal|Codex 5h is running low|25% left / Resets today at 14:00 (in 2h)
critical|Codex 5h is almost used up|8% left / Resets today at 14:00 (in 2h)
normal|Codex 5h has reset|97% left / Resets today at 19:00 (in 7h)
normal|Codex will run out before reset|40% left / Predicted to run out: 18:00 (in 6h) / Resets Dec 10, 00:00 (in 2d 12h)
TEXT
)"

# A restart remembers: neither the watcher nor a one-shot run tells again.
"$widget" --base-dir "$base" "$now" notify --watch 2>"$work/watch.err" &
notifier=$!
sleep $((scale))
kill -TERM $notifier
expect_ended "a restarted watcher ends on SIGTERM with status 0" $notifier "$work/watch.err"
notifier=
check "a one-shot run after the watcher" 0 "$widget" --base-dir "$base" "$now" notify
expect_notifications "after restarts" ""

# A first start on a state already critical tells nothing, and neither
# does the next run; the one after a change does, in French here.
export XDG_STATE_HOME=$work/other-state
write_snapshot 5 $first exhaustsBeforeReset
check "a first one-shot run on a critical state" 0 "$widget" --base-dir "$base" "$now" notify
check "the next one-shot run" 0 "$widget" --base-dir "$base" "$now" notify
expect_notifications "on a state already there" ""
write_snapshot 95 $second lastsUntilReset
check "a one-shot run after a reset" 0 env LANGUAGE=fr LANG=fr_FR.UTF-8 "$widget" --base-dir "$base" "$now" notify
nbsp=$'\u00a0' # French keeps a number and its unit together
expect_notifications "in French" "normal|Codex 5h : réinitialisé|95${nbsp}% restants / Réinitialisation aujourd’hui à 19:00 (dans 7${nbsp}h)"

# No daemon on the bus: one line on standard error, and on it goes.
kill $daemon; wait $daemon 2>/dev/null; daemon=
write_snapshot 20 $second lastsUntilReset
check "a one-shot run with no daemon" 0 "$widget" --base-dir "$base" "$now" notify
expect_error_line "a one-shot run with no daemon"
"$widget" --base-dir "$base" "$now" notify --watch 2>"$work/err" &
notifier=$!
sleep $((scale))
write_snapshot 3 $second lastsUntilReset
sleep $((scale))
expect "the watcher with no daemon keeps running" kill -0 $notifier
kill -TERM $notifier
expect_ended "the watcher with no daemon ends on SIGTERM with status 0" $notifier "$work/err"
notifier=
expect_error_line "the watcher with no daemon"

# What could not be shown counts as told: a daemon that comes back is not
# handed news of a state long gone.
start_daemon
check "a one-shot run once the daemon is back" 0 "$widget" --base-dir "$base" "$now" notify
expect_notifications "once the daemon is back" ""

echo "notify: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

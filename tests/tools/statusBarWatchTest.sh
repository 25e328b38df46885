#!/usr/bin/env bash
# `tavvo-widget bar` as a status bar runs it: once, and with --watch in the
# background while other processes replace the snapshot, change the
# language, remove the shared folder and make it again. Each change must
# show as a new line within a second, no line may repeat the one before,
# time alone must move the line when freshness ends, the idle watcher uses
# no CPU, and SIGTERM or a closed pipe end it with status 0.
set -u
widget=$1 tavvo=$2
work=$(mktemp -d)
watcher=
trap '[ -n "$watcher" ] && kill -KILL "$watcher" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8 TZ=UTC
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
program_name=tavvo-widget
source "$(dirname "$0")/commandLineTestSupport.sh"
base=$work/base
mkdir -p "$HOME"
scale=${TAVVO_TEST_TIME_SCALE:-1}

publish() { # codex's remaining percent, its freshUntil, its reset (optional)
  codex_snapshot "$1" "${2:-2030-01-01T00:00:00Z}" "${3:-}" >"$work/next.json"
  "$tavvo" --base-dir "$base" snapshot write "$work/next.json"
}

# One-shot: the line, and the usage errors.
check "one-shot without a snapshot" 0 "$widget" --base-dir "$base" bar
expect_output "the empty line" "Tavvo: Open Tavvo once to get started"
publish 42
check "one-shot tmux" 0 "$widget" --base-dir "$base" --now 2026-12-07T12:00:00Z bar --format tmux
expect_output "tmux line" "Codex #[fg=##F4FC40]42%#[default]"
check "one-shot, one provider" 0 "$widget" --base-dir "$base" --now 2026-12-07T12:00:00Z bar --provider claude
expect_output "nothing of codex" ""
check "unknown format" 2 "$widget" bar --format xml
expect_error_line "unknown format"
check "unknown provider" 2 "$widget" bar --provider gemini
expect_error_line "unknown provider"

lines() { cat "$work/lines" 2>/dev/null; }
# Up to $2 seconds for the last line printed to be $3.
expect_last_line() { # description, limit in seconds, expected line
  expected=$3
  expect_within "$1" "$2" 'seen=$(lines | tail -n 1); [ "$seen" = "$expected" ]'
}
expect_distinct_lines() { # description
  if [ -z "$(lines | uniq -d)" ] && [ "$(lines | uniq | wc -l)" -eq "$(lines | wc -l)" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $1: a line repeats the one before:"; lines | uniq -c | sed 's/^/  /'; fi
}

# --watch from a shared folder that does not exist yet.
rm -rf "$base"
"$widget" --base-dir "$base" bar --watch >"$work/lines" 2>"$work/watcher-err" &
watcher=$!
expect_last_line "start without a folder" 1 "Tavvo: Open Tavvo once to get started"
publish 64
expect_last_line "the folder made and the snapshot written" 1 "Codex 64%"

# A snapshot replaced a thousand times within a second: the watcher keeps
# up and prints only distinct lines, ending at the last.
python3 - "$base/Widget/current-limits.json" "$(codex_snapshot 10 2030-01-01T00:00:00Z)" "$(codex_snapshot 11 2030-01-01T00:00:00Z)" <<'PY'
import os, sys, time
path, documents = sys.argv[1], [d.encode() for d in sys.argv[2:]]
started = time.monotonic()
for round in range(1000):
    temporary = path + ".tmp"
    with open(temporary, "wb") as file:
        file.write(documents[round % 2])
    os.replace(temporary, path)
assert time.monotonic() - started < 1, "the writer itself took over a second"
PY
publish 12
expect_last_line "after a thousand replacements" 1 "Codex 12%"
expect_distinct_lines "a thousand replacements"
count=$(lines | wc -l)
publish 12
sleep $(( scale ))
[ "$(lines | wc -l)" -eq "$count" ] && pass || fail "the same snapshot written again printed a line"

# The language override, set by another process.
"$tavvo" language set fr >/dev/null
expect_last_line "the language changed" 1 $'Codex 12\u00a0%'
"$tavvo" language clear >/dev/null
expect_last_line "the language cleared" 1 "Codex 12%"

# A document that cannot be read, then the folder gone and made again.
printf '{"schemaVersion": 4, "providers": [' >"$work/broken.json"
mv "$work/broken.json" "$base/Widget/current-limits.json"
expect_last_line "an unreadable snapshot" 1 "Tavvo: Can’t read the latest limits"
rm -rf "$base"
expect_last_line "the folder removed" 1 "Tavvo: Open Tavvo once to get started"
publish 30
expect_last_line "the folder made again" 1 "Codex 30%"

# The bar never draws: neither the drawing module nor Pango or Cairo is
# loaded.
if grep -Eq 'TavvoUIDrawing|libpango|libcairo' "/proc/$watcher/maps"; then
  failed=$((failed + 1)); echo "FAIL: the drawing libraries are loaded:"; grep -Eo '[^ /]*(TavvoUIDrawing|libpango|libcairo)[^ ]*' "/proc/$watcher/maps" | sort -u
else passed=$((passed + 1)); fi

# Idle: nothing changes, so nothing runs.
expect_idle "idle" "$watcher"
expect_distinct_lines "the whole run"
kill -TERM "$watcher"
expect_ended "SIGTERM" "$watcher" "$work/watcher-err"
watcher=
[ -s "$work/watcher-err" ] && fail "the watcher's standard error: $(cat "$work/watcher-err")"

# Time alone: freshness ends two seconds after the pinned start, and the
# line turns stale without any file changing.
publish 55 2026-12-07T12:00:02Z
"$widget" --base-dir "$base" --now 2026-12-07T12:00:00Z bar --watch >"$work/lines" 2>"$work/watcher-err" &
watcher=$!
expect_last_line "fresh at start" 1 "Codex 55%"
expect_last_line "stale once freshness ends" 4 "Codex — ⚠"
kill -TERM "$watcher"; wait "$watcher"; watcher=

# Time alone, in the long form: two minutes and a second before the reset
# the countdown reads "in 2m"; two seconds later, "in 1m", and the tooltip
# is printed again with no file changing.
publish 55 2030-01-01T00:00:00Z 2026-12-07T12:02:01Z
"$widget" --base-dir "$base" --now 2026-12-07T12:00:00Z bar --format json --watch >"$work/lines" 2>"$work/watcher-err" &
watcher=$!
countdown() { seen=$(lines | tail -n 1 | python3 -c 'import json, sys; print(json.load(sys.stdin)["providers"][0]["details"][0])' 2>/dev/null); }
expect_within "the countdown at start" 1 'countdown; [ "$seen" = "Weekly: 55% left · Resets 12:02 · in 2m" ]'
expect_within "the countdown's next minute" 4 'countdown; [ "$seen" = "Weekly: 55% left · Resets 12:02 · in 1m" ]'
kill -TERM "$watcher"; wait "$watcher"; watcher=

# i3bar's endless array: the header, "[", then block arrays, each after
# the first led by a comma.
publish 80
"$widget" --base-dir "$base" bar --format i3bar --watch >"$work/lines" 2>"$work/watcher-err" &
watcher=$!
expect_last_line "i3bar first blocks" 1 '[{"name":"tavvo","instance":"codex","full_text":"Codex 80%","short_text":"80%","color":"#75FA91","urgent":false}]'
publish 5
expect_last_line "i3bar next blocks" 1 ',[{"name":"tavvo","instance":"codex","full_text":"Codex 5%","short_text":"5%","color":"#FA3C2D","urgent":true}]'
kill -TERM "$watcher"; wait "$watcher"; watcher=
[ "$(head -n 2 "$work/lines")" = $'{"version":1}\n[' ] && pass || fail "i3bar header: $(head -n 2 "$work/lines")"

# A reader that goes away (a bar restarting, `head -1`) ends the watcher
# at once with status 0, even while nothing changes.
started=${EPOCHREALTIME/[.,]/}
"$widget" --base-dir "$base" bar --watch | head -n 1 >/dev/null
status=${PIPESTATUS[0]}
elapsed=$(( (${EPOCHREALTIME/[.,]/} - started) / 1000 ))
[ "$status" -eq 0 ] && [ "$elapsed" -lt $(( 2000 * scale )) ] && pass || fail "closed pipe: status $status after $elapsed ms"

echo "bar: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# `tavvo collect --watch` as a user runs it: a Codex home in a scratch
# folder, the collector in the background, other processes writing to the
# logs, and the widget asked what it shows. Each change must reach the
# widget within a second; between changes the collector uses no CPU; a
# termination request ends it with status 0.
set -u
tavvo=$1 widget=$2
work=$(mktemp -d)
collector=
trap '[ -n "$collector" ] && kill -KILL "$collector" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES CODEX_HOME CLAUDE_CONFIG_DIR TAVVO_L10N_SHOW_KEYS
program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"
codex=$work/codex claude=$work/claude base=$work/base
mkdir -p "$HOME" "$claude" "$base"

token_line() { # used percent of the 5-hour window, of the weekly one
  python3 - "$1" "$2" <<'PY'
import datetime, json, sys, time
now = time.time()
stamp = datetime.datetime.fromtimestamp(now, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%S.%f")[:-3] + "Z"
window = lambda used, minutes: {"used_percent": float(used), "window_minutes": minutes, "resets_at": int(now) + minutes * 30}
print(json.dumps({"timestamp": stamp, "type": "event_msg", "payload": {"type": "token_count", "info": None,
    "rate_limits": {"limit_id": "codex", "primary": window(sys.argv[1], 300), "secondary": window(sys.argv[2], 10080)}}}))
PY
}

# What the widget shows of Codex: the remaining percentages, then the
# titles, of its limits.
shown() {
  "$widget" --base-dir "$base" timeline 2>/dev/null | python3 -c '
import json, sys
entry = json.load(sys.stdin)["entries"][0]
providers = (entry["snapshot"] or {}).get("providers", [])
limits = next((p["limits"] for p in providers if p["id"] == "codex"), [])
print([round(l["remainingPercent"]) for l in limits], [l["title"] for l in limits])' 2>/dev/null
}

# Asks the widget every 50 ms (the test may poll; the collector may not)
# until the condition holds of its answer, for at most `limit` seconds.
# Under the sanitizers every program runs several times slower, the widget
# asked included: TAVVO_TEST_TIME_SCALE stretches the limits there.
expect_shown() { # description, limit in seconds, condition on $answer
  local answer started=${EPOCHREALTIME/[.,]/}
  local deadline=$(( started + $2 * ${TAVVO_TEST_TIME_SCALE:-1} * 1000000 ))
  while :; do
    answer=$(shown)
    if eval "$3"; then passed=$((passed + 1)); return; fi
    [ "${EPOCHREALTIME/[.,]/}" -lt "$deadline" ] || break
    sleep 0.05
  done
  failed=$((failed + 1))
  echo "FAIL: $1: the widget shows '$answer' after $(( (${EPOCHREALTIME/[.,]/} - started) / 1000 )) ms"
}

cpu_ticks() { # user and system time of the collector so far, in clock ticks
  awk '{ print $14 + $15 }' "/proc/$collector/stat"
}

# Yesterday's session; today's date folder does not exist yet.
yesterday=$codex/sessions/$(date -d yesterday +%Y/%m/%d)
today=$codex/sessions/$(date +%Y/%m/%d)
mkdir -p "$yesterday"
token_line 10 20 >"$yesterday/rollout-a.jsonl"

"$tavvo" --base-dir "$base" collect --watch --codex-home "$codex" --claude-config-dir "$claude" 2>"$work/collector-err" &
collector=$!
expect_shown "the first pass" 5 '[[ $answer == "[90, 80] "* ]]'
titles=$(shown | sed 's/^[^]]*\] //')

# Another process appends to the session log.
token_line 30 40 >>"$yesterday/rollout-a.jsonl"
expect_shown "a line appended" 1 '[[ $answer == "[70, 60] "* ]]'

# A new day: its folder appears, with a new session in it.
mkdir -p "$today"
token_line 50 60 >"$today/rollout-b.jsonl"
expect_shown "a new date folder" 1 '[[ $answer == "[50, 40] "* ]]'

# The titles follow the language set by another program.
check "language set" 0 "$tavvo" language set fr
expect_shown "another language" 1 '[[ $answer == "[50, 40] "* && $answer != "[50, 40] $titles" ]]'

# Idle: nothing changes, so nothing runs.
before=$(cpu_ticks)
sleep 2
after=$(cpu_ticks)
if [ $(( after - before )) -le 1 ]; then passed=$((passed + 1)); else
  failed=$((failed + 1)); echo "FAIL: idle for 2 s, the collector used $(( after - before )) ticks of CPU"; fi

# A termination request ends it at once, normally.
kill -TERM "$collector"
for ((try = 0; try < 20; try++)); do kill -0 "$collector" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$collector" 2>/dev/null; then
  failed=$((failed + 1)); echo "FAIL: still running 1 s after SIGTERM"
else
  wait "$collector"; status=$? collector=
  if [ "$status" -eq 0 ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: SIGTERM: status $status"; sed 's/^/  stderr: /' "$work/collector-err"; fi
fi

echo "collect --watch: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

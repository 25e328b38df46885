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

token_line() { # five-hour used, weekly used: observed now
  local now; now=$(date +%s)
  codex_line "$now" "$1" "$2" 700 $((now + 9000)) $((now + 302400))
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

# Yesterday's session; today's date folder does not exist yet.
yesterday=$codex/sessions/$(date -d yesterday +%Y/%m/%d)
today=$codex/sessions/$(date +%Y/%m/%d)
mkdir -p "$yesterday"
token_line 10 20 >"$yesterday/rollout-a.jsonl"

"$tavvo" --base-dir "$base" collect --watch --codex-home "$codex" --claude-config-dir "$claude" 2>"$work/collector-err" &
collector=$!
expect_within "the first pass" 5 'seen=$(shown); [[ $seen == "[90, 80] "* ]]'
titles=$(shown | sed 's/^[^]]*\] //')

# Another process appends to the session log.
token_line 30 40 >>"$yesterday/rollout-a.jsonl"
expect_within "a line appended" 1 'seen=$(shown); [[ $seen == "[70, 60] "* ]]'

# A new day: its folder appears, with a new session in it.
mkdir -p "$today"
token_line 50 60 >"$today/rollout-b.jsonl"
expect_within "a new date folder" 1 'seen=$(shown); [[ $seen == "[50, 40] "* ]]'

# The titles follow the language set by another program.
check "language set" 0 "$tavvo" language set fr
expect_within "another language" 1 'seen=$(shown); [[ $seen == "[50, 40] "* && $seen != "[50, 40] $titles" ]]'

# Idle: nothing changes, so nothing runs; a termination request ends it.
expect_idle "idle" "$collector"
kill -TERM "$collector"
expect_ended "SIGTERM" "$collector" "$work/collector-err"
collector=

echo "collect --watch: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

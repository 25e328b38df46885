#!/usr/bin/env bash
# `tavvo observations` as another machine's collector runs it over ssh: a
# Codex home and a Claude Code feed in a scratch folder, the document read
# from a pipe. Once: one line and status 0. With --watch: a line at once,
# a new one within a second of each change and none for a pass that
# changes nothing; the reader going away, or SIGTERM, ends it with status 0.
set -u
tavvo=$1
work=$(mktemp -d)
watcher=
trap '[ -n "$watcher" ] && kill -KILL "$watcher" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES CODEX_HOME CLAUDE_CONFIG_DIR TAVVO_L10N_SHOW_KEYS
program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"
codex=$work/codex claude=$work/claude
today=$codex/sessions/$(date +%Y/%m/%d)
mkdir -p "$HOME" "$claude" "$today"
scale=${TAVVO_TEST_TIME_SCALE:-1}

token_line() { # five-hour used, weekly used: observed now
  local now; now=$(date +%s)
  codex_line "$now" "$1" "$2" 700 $((now + 9000)) $((now + 302400))
}

# What a document says: Codex's used shares and weekly tokens, Claude's
# five-hour share.
summary() { # the document on standard input
  /usr/bin/python3 -c '
import json, sys
lines = sys.stdin.read().split("\n")
assert len(lines) == 2 and lines[1] == "", "not one line"
document = json.loads(lines[0])
assert document["version"] == 1
codex, claude = document["codex"], document["claude"]
windows = [w["usedPercent"] for o in codex["observations"] for w in o["windows"]]
five = (claude["observation"] or {}).get("fiveHour") or {}
print(codex["state"], windows, codex["weeklyTokens"], claude["state"], five.get("usedPercent"))' 2>&1
}

token_line 10 20 >"$today/rollout-a.jsonl"
check "claude-statusline" 0 sh -c "echo '{\"rate_limits\":{\"five_hour\":{\"used_percentage\":42,\"resets_at\":4070908800}}}' | '$tavvo' claude-statusline"

check "once" 0 "$tavvo" observations --codex-home "$codex" --claude-config-dir "$claude"
summary <"$work/out" >"$work/summary"; mv "$work/summary" "$work/out"
expect_output "once: the document" "present [10.0, 20.0] 700 present 42.0"
check "once, nothing stored" 1 test -e "$XDG_DATA_HOME"

# One line from the running watcher, or nothing within the time given.
next_line() { # seconds
  line=
  IFS= read -r -t "$(( $1 * scale ))" line <&"${OBS[0]}"
}
expect_line() { # description, expected summary, seconds
  local started=${EPOCHREALTIME/[.,]/}
  if next_line "$3" && [ "$(printf '%s\n' "$line" | summary)" = "$2" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1))
    echo "FAIL: $1: after $(( (${EPOCHREALTIME/[.,]/} - started) / 1000 )) ms: '$(printf '%s\n' "$line" | summary)', expected '$2'"
  fi
}

coproc OBS { exec "$tavvo" observations --watch --codex-home "$codex" --claude-config-dir "$claude" 2>"$work/watch-err"; }
# Bash forgets OBS_PID once the process ends.
watcher=$OBS_PID
expect_line "watch: at once" "present [10.0, 20.0] 700 present 42.0" 5
token_line 30 40 >>"$today/rollout-a.jsonl"
expect_line "watch: a line appended" "present [30.0, 40.0] 700 present 42.0" 1
# A pass that finds nothing new says nothing.
echo '{"timestamp":"2026-01-01T00:00:00.000Z","type":"turn_context","payload":{}}' >>"$today/rollout-a.jsonl"
next_line 1 && fail "watch: a line for no change: $line" || pass
expect_idle "watch: between passes" "$watcher"
check "claude-statusline again" 0 sh -c "echo '{\"rate_limits\":{\"five_hour\":{\"used_percentage\":57.5,\"resets_at\":4070908800}}}' | '$tavvo' claude-statusline"
expect_line "watch: the Claude feed" "present [30.0, 40.0] 700 present 57.5" 1
# The machine that asked stops reading.
reader=${OBS[0]}
exec {reader}<&-
expect_ended "watch: the reader went away" "$watcher" "$work/watch-err"

coproc OBS { exec "$tavvo" observations --watch --codex-home "$codex" --claude-config-dir "$claude" 2>"$work/watch-err"; }
watcher=$OBS_PID
expect_line "watch again: at once" "present [30.0, 40.0] 700 present 57.5" 5
kill -TERM "$watcher"
expect_ended "watch: SIGTERM" "$watcher" "$work/watch-err"
watcher=

echo "observations: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

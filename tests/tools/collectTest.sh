#!/usr/bin/env bash
# Drives `tavvo collect` over fixture homes made here: a Codex home with one
# session log, Claude Code's folder, and the feed the status line leaves.
set -u
tavvo=$1 fake_codex=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8 TZ=UTC
unset LANGUAGE LC_ALL LC_MESSAGES CODEX_HOME CLAUDE_CONFIG_DIR

program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"
contains() { # description, text the last command's stdout must hold
  grep -qF -- "$2" "$work/out" && passed=$((passed + 1)) || fail "$1: no '$2' in: $(cat "$work/out")"
}

now=$(date -u +%s)
stamp() { date -u -d "@$(( now + $1 ))" +%Y-%m-%dT%H:%M:%S.000Z; }
codex=$work/codex claude=$work/claude base=$work/base
day=$codex/sessions/$(date +%Y/%m/%d)
mkdir -p "$day" "$claude"
log=$day/rollout-$(date +%Y-%m-%dT%H-%M-%S)-0199a213-81c0-7800-8aa1-bbab2a035a53.jsonl
printf '{"timestamp":"%s","type":"session_meta","payload":{"id":"x"}}\n' "$(stamp -600)" >"$log"
# Five minutes ago; the windows reset 2 hours and 3.5 days after.
codex_line $((now - 300)) 9.0 40.0 1000 $((now + 6900)) $((now + 302100)) >>"$log"
options=(--base-dir "$base" collect --codex-home "$codex" --claude-config-dir "$claude")

check "print" 0 "$tavvo" "${options[@]}" --print
contains "print: the five-hour window" '"id": "codex.five_hour",'
contains "print: its share left" '"remainingPercent": 91,'
contains "print: the plan" '"title": "Codex Plus"'
contains "print: the analytics" '"planTitle": "ChatGPT Plus"'
contains "print: Claude waits for its status line" '"note": "Set Claude Code’s status line to tavvo claude-statusline"'
[ -s "$work/err" ] && fail "print: stderr not empty: $(cat "$work/err")"
[ -e "$base" ] && fail "print stored something"

# The status line feeds Claude's numbers.
printf '{"rate_limits":{"five_hour":{"used_percentage":23.5,"resets_at":%d}}}' $((now + 3600)) \
  | "$tavvo" claude-statusline >/dev/null || fail "claude-statusline"
check "store" 0 "$tavvo" "${options[@]}"
check "read back" 0 "$tavvo" --base-dir "$base" snapshot read
contains "read back: Claude's window" '"id": "claude.five_hour",'
contains "read back: its share left" '"remainingPercent": 77,'

# Claude Code's settings file in the folder named: its list of limits read.
claude_home=$work/claude-cache
mkdir -p "$claude_home"
printf '{"cachedUsageUtilization":{"fetchedAtMs":%d,"utilization":{"limits":[%s,%s]}}}' "$(( (now + 60) * 1000 ))" \
  '{"kind":"session","group":"session","percent":33,"resets_at":"'"$(date -u -d "@$((now + 7200))" +%Y-%m-%dT%H:%M:%S).439964+00:00"'","scope":null,"is_active":false}' \
  '{"kind":"weekly_all","group":"weekly","percent":64,"resets_at":null,"scope":null,"is_active":true}' \
  >"$claude_home/.claude.json"
check "the settings file" 0 env XDG_STATE_HOME="$work/feed-state" "$tavvo" --base-dir "$base" collect --print --codex-home "$work/none" --claude-config-dir "$claude_home"
contains "the list's session" '"remainingPercent": 67,'
contains "the list's week" '"remainingPercent": 36,'

# Sources that are not there, or cannot be read, show in the document; the
# run still succeeds and says what went wrong on standard error.
check "no homes" 0 env XDG_STATE_HOME="$work/none3" "$tavvo" --base-dir "$base" collect --print --codex-home "$work/none" --claude-config-dir "$work/none2"
contains "no homes: codex" '"status": "unavailable"'
[ "$(grep -c '"status": "unavailable"' "$work/out")" = 2 ] || fail "no homes: both unavailable: $(cat "$work/out")"
mkdir -p "$work/broken" && echo "not a folder" >"$work/broken/sessions"
check "unreadable home" 0 "$tavvo" --base-dir "$base" collect --print --codex-home "$work/broken" --claude-config-dir "$claude"
contains "unreadable home: error" '"status": "error"'
contains "unreadable home: note" '"note": "Can’t read the Codex session logs"'
expect_error_line "unreadable home is reported"
LANG=fr_FR.UTF-8 "$tavvo" --base-dir "$base" collect --print --codex-home "$work/broken" --claude-config-dir "$claude" >"$work/out" 2>/dev/null
contains "the note follows the language" '"note": "Impossible de lire les journaux de session Codex"'

# Fresh numbers from the app server, at most every five minutes.
cat >"$work/codex-program" <<SCRIPT
#!/bin/sh
echo run >>"$work/app-server-runs"
exec "$fake_codex" "\$@"
SCRIPT
chmod +x "$work/codex-program"
refresh=("${options[@]}" --print --refresh-codex --codex-program "$work/codex-program" --ttl 5)
check "refresh" 0 "$tavvo" "${refresh[@]}"
contains "refresh: the account" '"accountLabel": "user@example.com"'
contains "refresh: the plan it reports" '"title": "Codex Pro"'
check "refresh again" 0 "$tavvo" "${refresh[@]}"
[ "$(wc -l <"$work/app-server-runs")" = 1 ] || fail "the app server ran again within five minutes"
contains "refresh again: the last answer still holds" '"accountLabel": "user@example.com"'
# With neither the stamp nor the last answer, the logs' numbers are old
# enough to ask again.
rm -f "$XDG_STATE_HOME/tavvo/codex-refresh" "$XDG_STATE_HOME/tavvo/codex-app-server.json"
FAKE_CODEX_BEHAVIOUR=error "$tavvo" "${refresh[@]}" >"$work/out" 2>"$work/err"
grep -q "^tavvo: .*app-server" "$work/err" || fail "a failed refresh is reported: $(cat "$work/err")"

for ttl in 0 -5 nan 1e300; do
  check "a ttl of $ttl" 2 "$tavvo" "${options[@]}" --ttl "$ttl"
  expect_error_line "a ttl of $ttl"
done
check "a program without refreshing" 2 "$tavvo" "${options[@]}" --codex-program /bin/true
expect_error_line "a program without refreshing"

echo "collect: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Drives `tavvo claude-statusline` as Claude Code does: JSON on standard
# input, one line on standard output, the feed in a temporary state folder.
set -u
tavvo=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8 TZ=UTC
unset LANGUAGE LC_ALL LC_MESSAGES

program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"
run() { # description, expected status, input file, arguments...
  local description=$1 expected=$2 input=$3; shift 3
  check "$description" "$expected" sh -c '"$@" <"$0"' "$input" "$tavvo" claude-statusline "$@"
}

feed=$XDG_STATE_HOME/tavvo/claude-statusline.json
# Resets in 2099 always lie on another day than today.
cat >"$work/limits.json" <<'JSON'
{"session_id":"s","model":{"id":"claude-sonnet-5","display_name":"Sonnet 5"},"version":"2.1.120",
 "rate_limits":{"five_hour":{"used_percentage":23.4,"resets_at":4070908800},
                "seven_day":{"used_percentage":41.2,"resets_at":"2099-01-05T09:00:00Z"}}}
JSON
line='5h 77% left · resets Jan 1, 00:00 · Week 59% left · resets Jan 5, 09:00'

run "limits" 0 "$work/limits.json"
expect_output "limits" "$line"
[ -s "$work/err" ] && fail "limits: stderr not empty"
[ "$(stat -c %a "$XDG_STATE_HOME/tavvo")" = 700 ] && [ "$(stat -c %a "$feed")" = 600 ] || fail "feed permissions"
grep -q '"used_percentage": 23.4' "$feed" && grep -q '"resets_at": "2099-01-05T09:00:00Z"' "$feed" \
  && grep -q '"observedAt": "20' "$feed" || fail "feed contents: $(cat "$feed")"

# Without limits the model's name stands in, and the feed keeps its values.
echo '{"model":{"display_name":"Sonnet 5"},"version":"2.1.70"}' >"$work/old.json"
cp "$feed" "$work/feed-before"
run "no rate limits" 0 "$work/old.json"
expect_output "no rate limits" "Sonnet 5"
cmp -s "$feed" "$work/feed-before" || fail "no rate limits: the feed changed"

# Bad input still gives Claude Code a line (empty), with a warning.
printf '' >"$work/empty.json"
printf 'not JSON' >"$work/bad.json"
for name in empty bad; do
  run "$name input" 0 "$work/$name.json"
  expect_output "$name input" ""
done

# A feed that cannot be written costs the user nothing but a warning.
XDG_STATE_HOME=$work/limits.json run "no place for the feed" 0 "$work/limits.json"
expect_output "no place for the feed" "$line"
grep -q '^tavvo: warning: ' "$work/err" || fail "no place for the feed: no warning"

# The previous status-line command gets the same input and its output and
# status stand in for ours; the feed is recorded all the same.
rm -rf "$XDG_STATE_HOME"
cat >"$work/previous.sh" <<'SCRIPT'
echo "previous: $*"
tr -d '\n' | head -c 17
echo
exit 4
SCRIPT
run "chaining" 4 "$work/limits.json" -- sh "$work/previous.sh" --base-dir "two words"
expect_output "chaining" "previous: --base-dir two words
{\"session_id\":\"s\""
grep -q '"used_percentage": 23.4' "$feed" || fail "chaining: the feed was not recorded"
run "a previous command that cannot start" 0 "$work/limits.json" -- "$work/missing-program"
expect_output "a previous command that cannot start" "$line"
expect_error_line "a previous command that cannot start"
run "the previous command ended by a signal" 1 "$work/limits.json" -- sh -c 'echo partial; kill -9 $$'
expect_output "the previous command ended by a signal" "partial"
run "no command after --" 0 "$work/limits.json" --
expect_output "no command after --" "$line"

echo "claude-statusline: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

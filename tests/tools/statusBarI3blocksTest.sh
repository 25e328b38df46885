#!/usr/bin/env bash
# The installed i3blocks example: i3blocks itself, with the example block,
# writes the i3bar protocol it would hand to the bar. Its block must carry
# the line and follow a new snapshot.
set -u
widget=$1 examples=$2
work=$(mktemp -d)
i3blocks=
trap '[ -n "$i3blocks" ] && kill -KILL "$i3blocks" 2>/dev/null; wait; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
source "$(dirname "$0")/statusBarClientSupport.sh"
mkdir -p "$HOME"

publish 64 25
example_for_test "$examples/i3blocks/tavvo" >"$work/i3blocks.conf"
i3blocks -c "$work/i3blocks.conf" >"$work/status" 2>"$work/i3blocks.err" &
i3blocks=$!

# The full text of the block named tavvo in the last status i3blocks wrote.
block_text() {
  seen=$(tail -n 1 "$work/status" | python3 -c '
import json, sys
line = sys.stdin.read().lstrip(",")
print(next((block["full_text"] for block in json.loads(line) if block.get("name") == "tavvo"), ""))' 2>/dev/null)
}
expect_within "the block shows the line" 5 'block_text; [ "$seen" = "Codex 64% · Claude 25%" ]'
publish 5 45
expect_within "a new snapshot" "$follows" 'block_text; [ "$seen" = "Codex 5% · Claude 45%" ]'

# i3blocks ends without a word to its blocks (killed outright, as when it
# crashes): the watcher sees its reader gone and ends.
kill -KILL "$i3blocks"; wait "$i3blocks" 2>/dev/null; i3blocks=
expect_within "the watcher ends with i3blocks" "$follows" 'no_watchers'

# The watcher's standard error is i3blocks': nothing there, no sanitizer
# report either.
[ ! -s "$work/i3blocks.err" ] && pass || fail "standard error: $(cat "$work/i3blocks.err")"

report "i3blocks"

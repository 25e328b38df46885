#!/usr/bin/env bash
# The installed Conky example, run by Conky itself in its console mode (no
# X display): the example's configuration as it is, told to write to
# standard output instead of a window and to run its command every second.
# What Conky prints is the block a user sees: the line, then the long
# form, with every colour mark understood and none left in the text. A new
# snapshot must show at the next run of the command.
set -u
widget=$1 examples=$2
work=$(mktemp -d)
conky=
trap '[ -n "$conky" ] && kill "$conky" 2>/dev/null; wait; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS DISPLAY
source "$(dirname "$0")/statusBarClientSupport.sh"
mkdir -p "$HOME"
command -v conky >/dev/null || { echo "SKIP: conky is not installed"; exit 77; }

# A title holding what Conky would read as a variable, a colour or a
# comment: it must show as written.
title='Team $HOME ${color red} #1'
printf '{"schemaVersion": 4, "generatedAt": "%s", "providers": [%s, %s]}\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" \
  "$(provider_json codex "$title" codex.weekly Weekly 64)" "$(provider_json claude Claude claude.five_hour 5h 25)" \
  >"$base/Widget/current-limits.json"
# Each block starts with a line of its own, so that the last one can be
# told from the others.
{ example_for_test "$examples/conky/tavvo.conf"
  cat <<'LUA'
conky.config.out_to_x = false
conky.config.out_to_console = true
conky.config.own_window = false
conky.config.double_buffer = false
conky.config.update_interval = 0.5
conky.text = '--block--\n' .. conky.text:gsub('execpi %d+', 'execpi 1')
LUA
} >"$work/tavvo.conf"
conky -c "$work/tavvo.conf" >"$work/output" 2>"$work/conky.err" &
conky=$!

# The last whole block Conky wrote: the lines between the last two marks.
last_block() { awk '/^--block--$/ { previous = current; current = ""; next } { current = current $0 "\n" } END { printf "%s", previous }' "$work/output"; }
block_shows() { # line, long form's lines...
  local block; block=$(last_block)
  seen=$(head -n 1 <<<"$block")
  [ "$seen" = "$1" ] || return 1
  shift
  local line
  for line in "$@"; do grep -qxF -- "$line" <<<"$block" || { seen="no '$line' in: $block"; return 1; }; done
}
expect_within "the line, then the long form" 10 "block_shows 'Codex 64% · Claude 25%' \"\$title\" 'Weekly: 64% left' 'Claude' '5h: 25% left'"
publish 5 45
expect_within "a new snapshot" "$follows" "block_shows 'Codex 5% · Claude 45%' 'Codex Pro' 'Weekly: 5% left' '5h: 45% left'"

# No colour mark of the line is left for the reader to see.
! grep -q -e '\${color [0-9A-F]' -e '\${color}' "$work/output" && pass || fail "marks left in the output: $(last_block)"
# Conky's complaints, except the one it makes about any table in its
# configuration on this version, and none from the program.
grep -v "invalid setting of type 'table'" "$work/conky.err" >"$work/complaints"
[ ! -s "$work/complaints" ] && pass || fail "standard error: $(cat "$work/complaints")"

report "Conky"

#!/usr/bin/env bash
# The installed tmux example as a user sees it: a tmux server with the
# example's status line, a client attached to it inside a terminal (the pane
# of a second tmux server, which keeps the screen, colours included), and
# snapshots published while it runs. Set TAVVO_TEST_SCREENSHOTS to a folder
# to keep the status row of each state there.
set -u
widget=$1 examples=$2
work=$(mktemp -d)
# SHELL: tmux starts its panes with it, and a system account's own shell
# may refuse to run anything.
export TMUX_TMPDIR=$work HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state LANG=C.UTF-8 SHELL=/bin/sh
unset TMUX LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
trap 'tmux -L tavvo-outer kill-server 2>/dev/null; tmux -L tavvo-inner kill-server 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/statusBarClientSupport.sh"
mkdir -p "$HOME"

publish 64 42
# The example as installed, pointed at the build's program. The terminal
# the client draws into understands 24-bit colour, as most do today.
{ example_for_test "$examples/tmux/tavvo.conf"
  echo 'set -g default-terminal tmux-256color'
  echo 'set -as terminal-overrides ",tmux-256color:RGB"'
} >"$work/tmux.conf"
printf 'set -g status off\nset -g default-terminal tmux-256color\n' >"$work/outer.conf"
tmux -L tavvo-inner -f "$work/tmux.conf" new-session -d -s user -x 120 -y 5
tmux -L tavvo-outer -f "$work/outer.conf" new-session -d -s terminal -x 120 -y 5 \
  "TERM=tmux-256color tmux -L tavvo-inner attach -t user"

# The status line as the terminal shows it: the client's last row, with
# its colours as SGR sequences (\e[38;2;R;G;Bm).
status_row() { tmux -L tavvo-outer capture-pane -p -e -t terminal | tail -n 1; }
plain() { sed 's/\x1b\[[0-9;]*m//g'; }
shows() { # the text and the colour sequence before a percentage
  local row; row=$(status_row)
  seen=$(plain <<<"$row")
  [[ $seen == *"$1"* && $row == *"$2"* ]]
}
ok_64='[38;2;117;250;145m64%' watch_42='[38;2;244;252;64m42%' tight_25='[38;2;234;84;30m25%'

keep() { # name: keeps the status row, colours as escape sequences, when asked to
  [ -n "${TAVVO_TEST_SCREENSHOTS:-}" ] && mkdir -p "$TAVVO_TEST_SCREENSHOTS" && status_row >"$TAVVO_TEST_SCREENSHOTS/$1.txt"
}

expect_within "the first line, in the severity colours" 3 "shows 'Codex 64% · Claude 42%' '$ok_64' && shows '' '$watch_42'" && keep tmux-first
publish 25 42
expect_within "a new snapshot shows" "$follows" "shows 'Codex 25% · Claude 42%' '$tight_25'" && keep tmux-next

# One watcher per attached client, and none left once the server goes.
expect_within "one watcher runs for the client" "$follows" '[ "$(running_watchers)" -eq 1 ] || { seen="$(running_watchers) watchers"; false; }'
tmux -L tavvo-outer kill-server
tmux -L tavvo-inner kill-server
expect_within "the watcher ends with the server" "$follows" 'no_watchers'

report "tmux status line"

#!/usr/bin/env bash
# The bash completion the build wrote from tavvo's and tavvo-widget's own
# declarations, loaded the way bash-completion loads it when Tab is first
# pressed after the command, from a prefix on XDG_DATA_DIRS: a table of
# command lines with what Tab offers there.
tavvo=$1 widget=$2 prefix=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config LANG=C.UTF-8
export BASH_COMPLETION_USER_DIR=$work/nothing XDG_DATA_DIRS=$prefix/share
mkdir -p "$work/bin" "$work/tree/alpha" "$work/tree/beta"
touch "$work/tree/notes.json"
printf '#!/bin/sh\n' >"$work/bin/tavvo-test-codex" && chmod +x "$work/bin/tavvo-test-codex"
# After "claude-statusline --", the rest is another program's line.
export PATH=$(dirname "$tavvo"):$(dirname "$widget"):$work/bin:$PATH
source /usr/share/bash-completion/bash_completion || { echo "FAIL: bash-completion is not installed"; exit 1; }
cd "$work/tree" || exit 1

passed=0 failed=0
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# Sets COMPREPLY for the command line $1 with the cursor at its end, the
# words split as readline splits them: at blanks, and at = and :, which
# become words of their own.
complete_line() {
  local line=$1 word= kind= char i
  COMP_WORDS=()
  for ((i = 0; i < ${#line}; i++)); do
    char=${line:i:1}
    case $char in
      ' ') [ -n "$word" ] && COMP_WORDS+=("$word"); word= kind= ;;
      [=:]) [ "$kind" = text ] && COMP_WORDS+=("$word") && word=; word+=$char kind=break ;;
      *) [ "$kind" = break ] && COMP_WORDS+=("$word") && word=; word+=$char kind=text ;;
    esac
  done
  COMP_WORDS+=("$word")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$line COMP_POINT=${#line}
  local program=${COMP_WORDS[0]}
  complete -p "$program" >/dev/null 2>&1 || _completion_loader "$program"
  local registration=$(complete -p "$program" 2>/dev/null) function
  function=${registration#*-F } function=${function%% *}
  COMPREPLY=()
  "$function" "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>"$work/err"
  # compopt only works under readline's own Tab, which this is not.
  sed -i '/compopt: not currently executing completion function/d' "$work/err"
  [ -s "$work/err" ] && fail "'$line' wrote to standard error: $(cat "$work/err")"
}
sorted() { printf '%s\n' "$@" | sort -u | grep -v '^$'; }
offered() { sorted "${COMPREPLY[@]}"; }
expect() { # command line, the words Tab offers there
  local line=$1; shift
  complete_line "$line"
  if [ "$(offered)" = "$(sorted "$@")" ]; then passed=$((passed + 1)); else
    fail "'$line' offered '$(offered | tr '\n' ' ')', expected '$(sorted "$@" | tr '\n' ' ')'"; fi
}

# Each program's completion loads on its own, whichever is pressed first
# (both have a snapshot command; bash-completion's fallback offers files).
for program in tavvo tavvo-widget; do
  (complete_line "$program "; offered | grep -qx snapshot) || fail "$program's completion does not load on demand"
done

tavvo_global="-h --help --base-dir --app-group"
collect="--print --codex-home --claude-config-dir --ttl --watch --refresh-codex --codex-program --remote --ssh-program --remote-program"
widget_global="-h --help --now --base-dir"
families="systemSmall systemMedium systemLarge systemExtraLarge small medium large extra-large"
files="alpha beta notes.json"
languages=$("$tavvo" language list | cut -f1)
while IFS='|' read -r line offers; do
  [ -n "$line" ] || continue
  eval "expect \"\$line\" $offers"
done <<'CASES'
tavvo |snapshot language collect observations claude-statusline completion
tavvo snapshot |normalize write read path
tavvo --base-dir=alpha language |get set clear resolved list
tavvo language --app-group group |get set clear resolved list
tavvo completion |bash
tavvo -|$tavvo_global
tavvo collect |$collect $tavvo_global
tavvo collect --watch --r|--refresh-codex --remote --remote-program
tavvo language set |$languages
tavvo language set fr |$tavvo_global
tavvo snapshot write |$files
tavvo snapshot normalize n|notes.json
tavvo snapshot write - |$tavvo_global
tavvo --base-dir |alpha beta
tavvo --base-dir=a|alpha
tavvo collect --claude-config-dir |alpha beta
tavvo collect --codex-home alpha,b|alpha,beta
tavvo collect --codex-program tavvo-test-co|tavvo-test-codex
tavvo collect --ssh-program tavvo-test-co|tavvo-test-codex
tavvo collect --codex-program=./|./alpha ./beta ./notes.json
tavvo collect --ttl |
tavvo observations |--watch --codex-home --claude-config-dir $tavvo_global
tavvo claude-statusline |--
tavvo claude-statusline -- tavvo-test-co|tavvo-test-codex
tavvo claude-statusline -- tavvo language |get set clear resolved list
tavvo-widget |describe placeholder snapshot timeline render show bar notify completion
tavvo-widget snapshot -|--preview $widget_global
tavvo-widget show --|--family --appearance --report-frames --help --now --base-dir
tavvo-widget render --family |$families
tavvo-widget show --family s|systemSmall systemMedium systemLarge systemExtraLarge small
tavvo-widget render --request |placeholder snapshot preview timeline
tavvo-widget show --appearance=a|auto
tavvo-widget render --format=t|text tree
tavvo-widget bar --format |waybar i3bar polybar tmux genmon conky text json
tavvo-widget bar --appearance |light dark
tavvo-widget bar --provider |codex claude
tavvo-widget render -o |$files
tavvo-widget render --output=n|notes.json
tavvo-widget render --scale |
tavvo-widget --base-dir alpha bar --p|--provider
tavvo-widget --now 2026-12-07T12:00:00Z |describe placeholder snapshot timeline render show bar notify completion
tavvo-widget bar --now 2026-12-07T12:00:00Z --format=j|json
CASES

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

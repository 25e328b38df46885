#!/usr/bin/env bash
# The bash completion of tavvo and tavvo-widget, loaded the way
# bash-completion loads it when Tab is first pressed after the command,
# from a prefix on XDG_DATA_DIRS. A table of command lines with what Tab
# offers there, then a check driven by the programs' own help: every
# command, option and choice list the help shows is what Tab offers.
tavvo=$1 widget=$2 prefix=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config LANG=C.UTF-8
export BASH_COMPLETION_USER_DIR=$work/nothing XDG_DATA_DIRS=$prefix/share
mkdir -p "$work/bin" "$work/tree/alpha" "$work/tree/beta"
touch "$work/tree/notes.json"
printf '#!/bin/sh\n' >"$work/bin/tavvo-test-codex" && chmod +x "$work/bin/tavvo-test-codex"
# The completion runs the program it completes, by the name typed.
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
collect="--print --codex-home --claude-config-dir --ttl --watch --refresh-codex --codex-program"
widget_global="-h --help --now --base-dir"
families="systemSmall systemMedium systemLarge systemExtraLarge small medium large extra-large"
files="alpha beta notes.json"
languages=$("$tavvo" language list | cut -f1)
while IFS='|' read -r line offers; do
  [ -n "$line" ] || continue
  eval "expect \"\$line\" $offers"
done <<'CASES'
tavvo |snapshot language collect claude-statusline
tavvo la|language
tavvo snapshot |normalize write read path
tavvo language |get set clear resolved list
tavvo --base-dir alpha snapshot |normalize write read path
tavvo --base-dir=alpha language |get set clear resolved list
tavvo language --app-group group |get set clear resolved list
tavvo -|$tavvo_global
tavvo collect -|$collect $tavvo_global
tavvo collect |$collect $tavvo_global
tavvo collect --watch --r|--refresh-codex
tavvo language set |$languages
tavvo language set z|zh-Hans
tavvo language set fr |$tavvo_global
tavvo snapshot write |$files
tavvo snapshot normalize n|notes.json
tavvo snapshot write - |$tavvo_global
tavvo --base-dir |alpha beta
tavvo --base-dir=|alpha beta
tavvo --base-dir=a|alpha
tavvo snapshot path --base-dir |alpha beta
tavvo collect --claude-config-dir |alpha beta
tavvo collect --codex-home alpha,b|alpha,beta
tavvo collect --codex-home=alpha,|alpha,alpha alpha,beta
tavvo collect --codex-program tavvo-test-co|tavvo-test-codex
tavvo collect --codex-program=./|./alpha ./beta ./notes.json
tavvo collect --ttl |
tavvo --app-group |
tavvo claude-statusline |--
tavvo claude-statusline -- tavvo-test-co|tavvo-test-codex
tavvo claude-statusline -- tavvo language |get set clear resolved list
tavvo-widget |describe placeholder snapshot timeline render show bar notify
tavvo-widget r|render
tavvo-widget -|$widget_global
tavvo-widget snapshot -|--preview $widget_global
tavvo-widget show --|--family --appearance --report-frames --help --now --base-dir
tavvo-widget render --family |$families
tavvo-widget render --family=extra|extra-large
tavvo-widget show --family s|systemSmall systemMedium systemLarge systemExtraLarge small
tavvo-widget render --request |placeholder snapshot preview timeline
tavvo-widget render --appearance |light dark
tavvo-widget show --appearance |light dark auto
tavvo-widget show --appearance=a|auto
tavvo-widget render --format |png svg pdf text accessibility tree
tavvo-widget render --format=t|text tree
tavvo-widget bar --format |waybar i3bar polybar tmux text json
tavvo-widget bar --format=|waybar i3bar polybar tmux text json
tavvo-widget bar --provider |codex claude
tavvo-widget render -o |$files
tavvo-widget render --output=n|notes.json
tavvo-widget render --scale |
tavvo-widget --base-dir |alpha beta
tavvo-widget --base-dir alpha bar --p|--provider
tavvo-widget --now 2026-12-07T12:00:00Z |describe placeholder snapshot timeline render show bar notify
tavvo-widget --now=2026-12-07T12:00:00Z render --format |png svg pdf text accessibility tree
tavvo-widget bar --now 2026-12-07T12:00:00Z --format=j|json
CASES

# What Tab offers for the value of an option or an operand, by the name
# the help gives it; a name not here fails, so that a new kind of value
# gets its completion.
expected_values() { # program, metavariable
  case $2 in
    DIR) sorted alpha beta ;;
    FILE) sorted $files ;;
    PATH) sorted tavvo-test-codex ;;
    CODE) sorted $("$1" language list | cut -f1) ;;
    COMMAND) echo -- ;;
    F) sorted $("$1" describe | python3 -c 'import json, sys; print(*json.load(sys.stdin)["families"])') ;;
    ID | N | SECONDS | INSTANT) ;;
    *) return 1 ;;
  esac
}
value_prefix() { [ "$1" = PATH ] && echo tavvo-test-co; } # a path names a program on PATH

# The help of every command: its options and operands, with their values.
check_help() { # program, command words
  local program=$1 command=$2 help short long value choices expected
  local at=$program${command:+ $command}
  help=$("$program" $command --help) || { fail "$at --help failed"; return; }
  local -a options=()
  while IFS=';' read -r short long value; do
    short=${short%,}
    options+=($short $long)
    [ -n "$value" ] || continue
    choices=$(sed -n 's/^{\(.*\)}$/\1/p; /|/p' <<<"$value" | tr ',|' '\n\n')
    if [ -n "$choices" ]; then
      expected=$(sorted $choices)
    elif ! expected=$(expected_values "$program" "$value"); then
      fail "$at: the help's $long $value is a value the test does not know"; continue
    fi
    for line in "$at $long $(value_prefix "$value")" "$at $long=$(value_prefix "$value")"; do
      complete_line "$line"
      if [ "$value" = F ]; then
        [ -z "$(comm -23 <(echo "$expected") <(offered))" ] || fail "'$line' misses families of $program describe: $(offered | tr '\n' ' ')"
      elif [ "$(offered)" != "$expected" ]; then
        fail "'$line' offered '$(offered | tr '\n' ' ')', the help says '$(tr '\n' ' ' <<<"$expected")'"
      else passed=$((passed + 1)); fi
    done
  done < <(sed -nE 's/^  (-[a-zA-Z],)?(--[a-z][a-z-]*)( ([^ ]+))?( .*)?$/\1;\2;\4/p' <<<"$help")
  # Options are offered at a leading dash, exactly those the help shows.
  complete_line "$at -"
  if [ "$(offered)" = "$(sorted "${options[@]}")" ]; then passed=$((passed + 1)); else
    fail "'$at -' offered '$(offered | tr '\n' ' ')', the help shows '$(sorted "${options[@]}" | tr '\n' ' ')'"; fi
  # The operand's value, when the command has one.
  local operand=$(sed -n '/^Operands:/,/^$/s/^  \([A-Z]\+\) .*/\1/p' <<<"$help")
  if [ -n "$operand" ]; then
    if ! expected=$(expected_values "$program" "$operand"); then
      fail "$at: the help's operand $operand is a value the test does not know"
    else
      complete_line "$at $(value_prefix "$operand")"
      if [ "$(offered)" = "$expected" ]; then passed=$((passed + 1)); else
        fail "'$at ' offered '$(offered | tr '\n' ' ')' for $operand, expected '$(tr '\n' ' ' <<<"$expected")'"; fi
    fi
  fi
}

for program in "$tavvo" "$widget"; do
  name=${program##*/}
  # The commands are the leading lower-case words of the usage lines.
  commands=$("$program" --help | sed -nE "s/^  $name(( [a-z][a-z-]*)*).*/\1/p" | sed 's/^ //' | sort -u)
  [ -n "$commands" ] || fail "no commands in $name --help"
  checked=" "
  while read -r command; do
    words=($command) parent=
    for word in "${words[@]}"; do
      # Each command, and each group on the way to it, is offered in its place.
      complete_line "$name $parent${parent:+ }"
      if offered | grep -qx -- "$word"; then passed=$((passed + 1)); else fail "'$name $parent ' does not offer $word"; fi
      parent+=${parent:+ }$word
      [[ $checked == *" $parent,"* ]] || { check_help "$name" "$parent"; checked+="$parent, "; }
    done
  done <<<"$commands"
  check_help "$name" ""
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

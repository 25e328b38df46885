#!/usr/bin/env bash
# The manual pages against the programs they describe, so that neither can
# change without the other. Each program's --help is read as a user would
# read it: every command it lists needs its own part of COMMANDS in the
# page, naming each of the command's options, operands and fixed choices;
# every global option belongs in OPTIONS and every status of the "Exit
# status" line in EXIT STATUS. A part for a command the program no longer
# has fails as well. The pages are read as man renders them, and must
# render without a complaint.
# Arguments: pairs of a program and its built page.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LC_ALL=C.UTF-8
unset LANGUAGE LC_MESSAGES LANG MANPAGER PAGER MANOPT MAN_KEEP_FORMATTING

passed=0 failed=0
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
pass() { passed=$((passed + 1)); }

# Options, choices and operands are made of these characters only, so a
# name is matched as a whole word ("--watch" is not found in "--watched").
mentions() { # word, file
  grep -qE -- "(^|[^[:alnum:]_-])$1([^[:alnum:]_-]|$)" "$2"
}
expect_mention() { # description, word, file
  if mentions "$2" "$3"; then pass; else fail "$1: $2 is not in it"; fi
}
# An option is described by an entry of its own, which starts a line
# ("-o, --output FILE"); a mention in a synopsis is not enough.
expect_entry() { # description, option, file
  if grep -qE -- "^ +(-[[:alnum:]-]+, )*$2([ ,]|$)" "$3"; then pass; else fail "$1: no entry describes $2"; fi
}

# The lines of a --help section from its heading ("Options:") up to the
# next blank line.
help_section() { # heading, file
  awk -v heading="$1" '$0 == heading { inside = 1; next } inside && /^$/ { exit } inside' "$2"
}
# The option names of a help section's entries: the first column, before
# the gap to the description ("-o,--output FILE", "--codex-program PATH
# Needs: --refresh-codex").
option_names() {
  sed -n 's/^  \(-.*\)$/\1/p' | sed 's/  .*//' | tr -s ' ,' '[\n*]' | grep -E '^--?[[:alnum:]][[:alnum:]-]*$'
}
# Fixed choices as --help shows them: "a|b|c" or "{a,b,c}".
# A lone "-" (standard input in "FILE|-") is no choice to look for.
choices() {
  local text
  text=$(cat)
  { grep -oE '[[:alnum:]-]+(\|[[:alnum:]-]+)+' <<<"$text" | tr '|' '\n'
    grep -oE '\{[[:alnum:]-]+(,[[:alnum:]-]+)+\}' <<<"$text" | tr -d '{}' | tr ',' '\n'; } | grep -vE -- '^-*$'
}

# A section of the rendered page: from its heading to the next one.
page_section() { # heading, page text
  awk -v heading="$1" '$0 == heading { inside = 1; next } inside && /^[^ ]/ { exit } inside' "$2"
}
# The part of COMMANDS about one command: from its subheading ("   tavvo
# collect", three spaces in) to the next subheading or section.
command_part() { # "program path", page text
  page_section COMMANDS "$2" | awk -v heading="   $1" \
    '$0 == heading { inside = 1; next } inside && /^ {0,3}[^ ]/ { exit } inside'
}

check_page() { # program, page
  local program=$1 page=$2 name text
  name=$(basename "$program")
  text=$work/$name.txt
  # Wide and unhyphenated, so that no option is broken across lines.
  if MANWIDTH=1000 man --warnings --nh --nj -l "$page" >"$text" 2>"$work/render-errors" && [ ! -s "$work/render-errors" ]; then
    pass
  else
    fail "$name: man does not render $page cleanly:"; cat "$work/render-errors"
  fi

  "$program" --help >"$work/help" || fail "$name --help"
  local paths
  paths=$(sed -n "s/^  $name \(.*\)$/\1/p" "$work/help" |
    awk '{ path = ""; for (i = 1; i <= NF && $i ~ /^[a-z][a-z0-9-]*$/; i++) path = path (i > 1 ? " " : "") $i; if (path != "") print path }')
  [ -n "$paths" ] || fail "$name: no commands found in --help"

  local path part option
  while read -r path; do
    part=$work/part
    command_part "$name $path" "$text" >"$part"
    if [ -s "$part" ]; then pass; else fail "$name $path: no part of COMMANDS is about it"; continue; fi
    # shellcheck disable=SC2086 # the path is words
    "$program" $path --help >"$work/command-help" || fail "$name $path --help"
    for option in $(help_section "Options:" "$work/command-help" | option_names); do
      expect_entry "$name $path" "$option" "$part"
    done
    for option in $(help_section "Operands:" "$work/command-help" | awk '{ print $1 }'); do
      expect_mention "$name $path, operand" "$option" "$part"
    done
    for option in $(sed '/^Global options/,$d' "$work/command-help" | choices | sort -u); do
      expect_mention "$name $path, choice" "$option" "$part"
    done
  done <<<"$paths"

  # Every part of COMMANDS is about a command the program has.
  local heading
  while read -r heading; do
    if grep -qxF -- "$heading" <<<"$paths"; then pass; else fail "$name: the page describes '$heading', which --help does not list"; fi
  done < <(page_section COMMANDS "$text" | sed -n "s/^   $name \(.*\)$/\1/p")

  page_section OPTIONS "$text" >"$work/options"
  for option in $(help_section "Global options (before or after the command):" "$work/help" | option_names); do
    expect_entry "$name, OPTIONS" "$option" "$work/options"
  done
  for option in $(help_section "Global options (before or after the command):" "$work/help" | choices | sort -u); do
    expect_mention "$name, OPTIONS, choice" "$option" "$work/options"
  done

  local statuses status
  statuses=$(sed -n '/^Exit status:/,$p' "$work/help" | grep -oE '(^|[ :,])[0-9]+ ' | tr -dc '0-9\n')
  [ -n "$statuses" ] || fail "$name: no exit statuses found in --help"
  page_section "EXIT STATUS" "$text" >"$work/statuses"
  for status in $statuses; do
    if grep -qE "^ +$status( |$)" "$work/statuses"; then pass; else fail "$name: exit status $status is not in EXIT STATUS"; fi
  done
}

if [ $# -eq 0 ] || [ $(($# % 2)) -ne 0 ]; then echo "usage: $0 PROGRAM PAGE [PROGRAM PAGE...]"; exit 2; fi
while [ $# -gt 0 ]; do
  check_page "$1" "$2"
  shift 2
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

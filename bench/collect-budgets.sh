#!/usr/bin/env bash
# Whole runs of the collector from a cold start, next to floors from the
# same run, on a generated history of 2,000 Codex session logs of about
# 1 GB in all, a tenth of them from the last week:
#   - a first `tavvo collect --print` against a walk of the whole history
#     that stats every log and `cat`s the files that pruning by modification
#     time keeps (the longest window plus a day), and against `cat` of every
#     file, all read from a warm page cache; its ratio to `cat` of the kept
#     files alone is shown too, for information;
#   - its peak resident memory;
#   - `tavvo claude-statusline` fed a typical status-line object, against
#     `tavvo snapshot path`, a run of the same program that only prints a
#     path.
# Each command runs five times, in rounds; check-collect-budgets.py holds
# the medians to their budgets.
#
#   bench/collect-budgets.sh BUILD_DIR [GENERATOR OPTION...]
#
# The generator's options (--files, --megabytes, ...) make a quicker run.
set -u
build=${1:-build}
[ $# -gt 0 ] && shift
here=$(dirname "$0")
tavvo="$build/bin/tavvo"
runner="$build/bin/tavvo-run-usage"
# Absolute, since the XDG variables must be.
work=$(mktemp -d "$(realpath "$build")/collect-bench.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# Nothing of this machine's own Codex, Claude Code or Tavvo takes part.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset CODEX_HOME CLAUDE_CONFIG_DIR LANGUAGE LC_ALL LC_MESSAGES
mkdir -p "$HOME" "$work/claude"

python3 "$here/generate-codex-history.py" "$work/codex" "$@" || exit 1
# What the pruning keeps: the logs changed within the longest window plus a day.
recent=(-type f -mmin -$((8 * 24 * 60)))
mapfile -t all < <(find "$work/codex" -type f)
mapfile -t kept < <(find "$work/codex" "${recent[@]}")
kept_bytes=$(cat "${kept[@]}" | wc -c)
echo "the pruning keeps ${#kept[@]} files, $((kept_bytes / 1000000)) MB"
# Every file in the page cache, so that both sides read memory, not disk.
cat "${all[@]}" >/dev/null

now=$(date +%s)
printf '%s' '{"session_id":"5d3c2a8e","transcript_path":"/home/user/.claude/projects/p/5d3c2a8e.jsonl","cwd":"/home/user/src/p",
"model":{"id":"claude-sonnet-5","display_name":"Sonnet 5"},"workspace":{"current_dir":"/home/user/src/p","project_dir":"/home/user/src/p"},
"version":"2.1.120","cost":{"total_cost_usd":0.0563,"total_duration_ms":164055},
"context_window":{"total_input_tokens":42500,"context_window_size":200000},
"rate_limits":{"five_hour":{"used_percentage":23.5,"resets_at":'$((now + 7000))'},
"seven_day":{"used_percentage":41.2,"resets_at":'$((now + 300000))'}}}' >"$work/statusline.json"

# One line per run in $work/runs: key, wall time and CPU time in
# microseconds, peak resident memory in kilobytes. Each run has a state
# folder of its own unless `state` names one.
run=0
measure() { # key, state folder or "fresh", command...
  local key=$1 state=$2 folder result
  shift 2
  run=$((run + 1))
  folder=$state
  [ "$state" = fresh ] && folder=$work/state-$run
  result=$(XDG_STATE_HOME=$folder "$runner" "$@" <"$work/statusline.json") || { echo "cannot measure: $key"; exit 1; }
  echo "$key $result" >>"$work/runs"
}
# The first pass's floor. Reading the kept logs is not all a correct first
# pass must do: a session resumed days later appends to its old file, which
# its date folder does not show, so every folder is listed and every log
# past the pruning bound is stat'ed too. find evaluates -mmin on each
# file's stat, so this lists every folder, stats every log and hands the
# ones it keeps to one cat, whose time the kernel counts in find's (wait4
# counts the children a process waited for). No shell: the starts of find
# and cat, two small C programs, are together still less than the
# collector's one start with its libraries, so the floor grants it nothing
# for starting; `sh -c 'find ...; cat ...'` would add a third start that has
# nothing to do with the work and only loosens the budget.
floor=(find "$work/codex" "${recent[@]}" -exec cat {} +)
# The floor must read exactly what `cat` of the kept files reads, or its
# ratio would compare different work.
floor_bytes=$("${floor[@]}" | wc -c)
[ "$floor_bytes" = "$kept_bytes" ] || { echo "the floor reads $floor_bytes bytes, the kept files are $kept_bytes"; exit 1; }
collect=("$tavvo" collect --print --codex-home "$work/codex" --claude-config-dir "$work/claude" --base-dir "$work/base")

# One run whose document the check reads: a collector that found nothing
# would be fast for nothing.
"${collect[@]}" >"$work/collected.json" || { echo "tavvo collect failed"; exit 1; }
# The usual case of the status line: the feed already holds the same
# values (and was written less than a minute before, as the rounds are).
XDG_STATE_HOME=$work/state-warm "$tavvo" claude-statusline <"$work/statusline.json" >/dev/null || { echo "tavvo claude-statusline failed"; exit 1; }
# Each command once a round, in five rounds, rather than five runs of one
# command after another: a burst of other work then slows a case and its
# floor alike, not the block of runs it happened to fall in.
for _ in 1 2 3 4 5; do
  measure cat-kept fresh cat "${kept[@]}"
  measure find-cat-kept fresh "${floor[@]}"
  measure cat-all fresh cat "${all[@]}"
  measure collect fresh "${collect[@]}"
  measure snapshot-path fresh "$tavvo" --base-dir "$work/base" snapshot path
  measure statusline-first fresh "$tavvo" claude-statusline
  measure statusline-again "$work/state-warm" "$tavvo" claude-statusline
done

python3 "$here/check-collect-budgets.py" "$work/runs" "$work/collected.json"

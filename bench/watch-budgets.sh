#!/usr/bin/env bash
# The long-running surfaces at rest: `tavvo-widget bar --watch` in each
# format that is kept running, and `tavvo-widget notify --watch` when the
# program has it, left alone for a minute on an unchanging snapshot. Each
# must use no CPU over that minute (at most one clock tick, the kernel's
# own accounting rounding) and hold under 10 MB of memory of its own.
#
# "Of its own" is the private dirty memory (heap, stacks, relocated
# tables): what the process costs the machine. Its resident set also
# counts the read-only pages of the shared libraries it runs (libstdc++,
# ICU's code and locale data, GLib), which the page cache holds for every
# program that maps them; it is printed beside it.
#
#   bench/watch-budgets.sh BUILD_DIR [SECONDS]
set -u
build=${1:-build}
seconds=${2:-60}
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
mkdir -p "$HOME"
widget="$build/bin/tavvo-widget"
# The demo document, fresh for a day so that no freshness ends meanwhile.
"$widget" --base-dir "$work/empty" placeholder | python3 -c '
import datetime, json, sys
document = json.load(sys.stdin)["snapshot"]
later = (datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(days=1)).strftime("%Y-%m-%dT%H:%M:%SZ")
for provider in document["providers"]:
    provider["freshUntil"] = later
print(json.dumps(document))' >"$work/demo.json"
"$build/bin/tavvo" --base-dir "$work/base" snapshot write "$work/demo.json"

labels=()
start() { # label, arguments...
  local label=$1; shift
  "$widget" --base-dir "$work/base" "$@" >/dev/null 2>&1 &
  pids+=($!) labels+=("$label")
}
# Waybar's tooltip counts down, so its watcher wakes once a minute.
start "bar --format waybar --watch" bar --format waybar --watch
start "bar --format tmux --watch" bar --format tmux --watch
if "$widget" --help | grep -q '^  tavvo-widget notify'; then
  start "notify --watch" notify --watch
fi
sleep 2
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
declare -A before
for pid in "${pids[@]}"; do before[$pid]=$(ticks "$pid" 2>/dev/null || echo 0); done
sleep "$seconds"

status=0
echo "| watcher, idle for $seconds s | CPU ticks | private dirty | resident |"
echo "|---|---|---|---|"
for index in "${!pids[@]}"; do
  pid=${pids[$index]}
  if ! kill -0 "$pid" 2>/dev/null; then echo "${labels[$index]} ended"; status=1; continue; fi
  used=$(( $(ticks "$pid") - before[$pid] ))
  private=$(awk '/^Private_Dirty:/ { print $2 }' "/proc/$pid/smaps_rollup")
  resident=$(awk '/^Rss:/ { print $2 }' "/proc/$pid/smaps_rollup")
  printf '| %s | %d | %d.%d MB | %d.%d MB |\n' "${labels[$index]}" "$used" $((private / 1024)) $((private % 1024 * 10 / 1024)) \
    $((resident / 1024)) $((resident % 1024 * 10 / 1024))
  if [ "$used" -gt 1 ]; then echo "over budget: ${labels[$index]} used $used ticks at rest"; status=1; fi
  if [ "$private" -ge $((10 * 1024)) ]; then echo "over budget: ${labels[$index]} holds $((private / 1024)) MB"; status=1; fi
done
exit $status

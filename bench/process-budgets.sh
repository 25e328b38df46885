#!/usr/bin/env bash
# Peak resident memory and wall time of whole tavvo-widget runs from a cold
# start, next to cat of the same snapshot file and to a program that loads
# the same libraries and exits. Checks the memory budgets: timeline under
# 10 MB, render of the large size under 30 MB.
#
#   bench/process-budgets.sh BUILD_DIR
set -u
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8
widget="$build/bin/tavvo-widget"
# A real snapshot: the demo document the preview shows, as a file.
"$widget" --base-dir "$work/empty" placeholder | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin)["snapshot"]))' >"$work/demo.json"
"$build/bin/tavvo" --base-dir "$work/base" snapshot write "$work/demo.json"
file=$("$build/bin/tavvo" --base-dir "$work/base" snapshot path)

# Best of five runs: the least wall time and the least peak memory. GNU
# time's clock counts hundredths of a second, too coarse for these runs, so
# the wall time is bash's own microsecond clock around the same run.
measure() { # label, command...
  local label=$1 best_us=999999999 best_kb=999999999 start end us kb; shift
  for _ in 1 2 3 4 5; do
    start=${EPOCHREALTIME/./}
    /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null 2>&1
    end=${EPOCHREALTIME/./}
    us=$((end - start))
    read -r kb <"$work/time"
    [ "$us" -lt "$best_us" ] && best_us=$us
    [ "$kb" -lt "$best_kb" ] && best_kb=$kb
  done
  printf '| %s | %d.%d ms | %d.%d MB |\n' "$label" $((best_us / 1000)) $((best_us % 1000 / 100)) \
    $((best_kb / 1024)) $((best_kb % 1024 * 10 / 1024))
  echo "$best_kb" >"$work/$label.kb"
}

echo "| run | wall time | peak resident memory |"
echo "|---|---|---|"
measure "cat of the snapshot" cat "$file"
measure "program loading the same libraries" "$build/bin/tavvo-minimal"
measure "tavvo-widget timeline" "$widget" --base-dir "$work/base" timeline
measure "tavvo-widget render --family systemLarge" "$widget" --base-dir "$work/base" render --family systemLarge -o "$work/large.png"

status=0
check() { # label, limit in MB
  local kb; kb=$(cat "$work/$1.kb")
  if [ "$kb" -ge $(($2 * 1024)) ]; then echo "over budget: $1 peaks at $((kb / 1024)) MB, limit $2 MB"; status=1; fi
}
check "tavvo-widget timeline" 10
check "tavvo-widget render --family systemLarge" 30
exit $status

#!/usr/bin/env bash
# Whole tavvo-widget runs from a cold start, next to floors: cat of the same
# snapshot file, a program that loads the same libraries and exits, and a
# program that sets and draws the large widget's texts with Pango and Cairo
# and writes the PNG. Checks the budgets of what a user waits for: a
# timeline takes at most 1.5 times the CPU time (user + system) of the
# program loading the same libraries and peaks under 8 MB, which a program
# mapping GTK, GIO or GLib could not (its CPU time over cat's is printed
# too: loading the libraries alone costs about four times cat's); a render
# of the large size takes at most twice the CPU time of that drawing floor;
# a status-bar line at most 1.5 times that of a timeline; the large render
# peaks under 30 MB.
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
large=("$widget" --base-dir "$work/base" render --family systemLarge)

# The floor's input: every text the large widget draws, at its place, size
# and weight, from the widget's own layout of the same document.
"${large[@]}" --format tree | python3 -c '
import json, sys
weights = {"regular": 400, "semibold": 600, "bold": 700}
root = json.load(sys.stdin)
print(root["frame"]["width"], root["frame"]["height"], file=open(sys.argv[1], "w"))
def texts(node):
    if "text" in node:
        text = node["text"]
        print(node["frame"]["x"], node["frame"]["y"], text["pointSize"], weights[text["weight"]], text["string"], sep="\t")
    for child in node.get("children", []):
        texts(child)
texts(root)' "$work/size" >"$work/texts"
read -r width height <"$work/size"

# Best of five runs of each: the least wall time, CPU time and peak memory.
measure() { # label, command...
  local label=$1 best_wall=999999999 best_cpu=999999999 best_kb=999999999 wall cpu kb; shift
  for _ in 1 2 3 4 5; do
    read -r wall cpu kb < <("$build/bin/tavvo-run-usage" "$@") || { echo "cannot measure: $label"; exit 1; }
    [ "$wall" -lt "$best_wall" ] && best_wall=$wall
    [ "$cpu" -lt "$best_cpu" ] && best_cpu=$cpu
    [ "$kb" -lt "$best_kb" ] && best_kb=$kb
  done
  printf '| %s | %d.%d ms | %d.%d ms | %d.%d MB |\n' "$label" $((best_wall / 1000)) $((best_wall % 1000 / 100)) \
    $((best_cpu / 1000)) $((best_cpu % 1000 / 100)) $((best_kb / 1024)) $((best_kb % 1024 * 10 / 1024))
  echo "$best_kb" >"$work/$label.kb"
  echo "$best_cpu" >"$work/$label.cpu"
}

echo "| run | wall time | CPU time | peak resident memory |"
echo "|---|---|---|---|"
measure "cat of the snapshot" cat "$file"
measure "program loading the same libraries" "$build/bin/tavvo-minimal"
measure "tavvo-widget timeline" "$widget" --base-dir "$work/base" timeline
measure "tavvo-widget bar --format waybar" "$widget" --base-dir "$work/base" bar --format waybar
measure "Pango and Cairo drawing the same texts" "$build/bin/tavvo-text-floor" "$work/texts" "$width" "$height" 2 "$work/floor.png"
measure "tavvo-widget render --family systemLarge" "${large[@]}" -o "$work/large.png"

status=0
# The floor drew a picture of the same size (a PNG's width and height are
# bytes 17 to 24).
if ! cmp -s <(head -c 24 "$work/floor.png" | tail -c 8) <(head -c 24 "$work/large.png" | tail -c 8); then
  echo "the drawing floor's picture is not the size of the widget's"
  status=1
fi
check_memory() { # label, limit in MB
  local kb; kb=$(cat "$work/$1.kb")
  if [ "$kb" -ge $(($2 * 1024)) ]; then echo "over budget: $1 peaks at $((kb / 1024)).$((kb % 1024 * 10 / 1024)) MB, limit $2 MB"; status=1; fi
}
ratio() { # label, floor's label: the CPU time of one over the other, to a tenth
  local cpu floor; cpu=$(cat "$work/$1.cpu") floor=$(cat "$work/$2.cpu")
  local tenths=$(((cpu * 10 + floor / 2) / floor))
  echo "CPU time of $1 over $2: $((tenths / 10)).$((tenths % 10))"
}
check_cpu() { # label, floor's label, limit as a ratio in tenths
  local cpu floor; cpu=$(cat "$work/$1.cpu") floor=$(cat "$work/$2.cpu")
  echo "$(ratio "$1" "$2"), limit $(($3 / 10)).$(($3 % 10))"
  if [ $((cpu * 10)) -gt $((floor * $3)) ]; then echo "over budget: $1"; status=1; fi
}
check_memory "tavvo-widget timeline" 8
check_memory "tavvo-widget render --family systemLarge" 30
check_cpu "tavvo-widget timeline" "program loading the same libraries" 15
ratio "tavvo-widget timeline" "cat of the snapshot"
ratio "program loading the same libraries" "cat of the snapshot"
check_cpu "tavvo-widget render --family systemLarge" "Pango and Cairo drawing the same texts" 20
check_cpu "tavvo-widget bar --format waybar" "tavvo-widget timeline" 15
exit $status

#!/usr/bin/env bash
# The main job: collect a snapshot from a sample Codex home and a sample
# Claude Code status-line feed into a temporary shared folder and read it
# back; answer the widget's requests for it and for an empty folder; draw
# the widget in every size, light and dark, from the demo document and from
# the collected one; and draw the design kit's gallery. Pictures go into
# demo-output/ unless told otherwise.
set -euo pipefail
build=${1:-build}
output=${2:-demo-output}
tavvo="$build/bin/tavvo"
widget="$build/bin/tavvo-widget"
base=$(mktemp -d)
empty=$(mktemp -d)
trap 'rm -rf "$base" "$empty"' EXIT
mkdir -p "$output"

# The real road: a small Codex home and a Claude Code status-line feed,
# made like a user's (dated relative to now), collected into a snapshot.
homes="$build/demo-homes"
rm -rf "$homes"
mkdir -p "$homes/claude"
export XDG_STATE_HOME="$homes/state"
echo "== a sample Codex home: $homes/codex"
python3 bench/generate-codex-history.py --files 12 --megabytes 2 --recent-fraction 0.5 --seed 7 "$homes/codex"
now=$(date -u +%s)
cat >"$homes/claude-statusline-input.json" <<JSON
{"session_id":"demo","model":{"id":"claude-sonnet-5","display_name":"Sonnet 5"},"version":"2.1.120",
 "rate_limits":{"five_hour":{"used_percentage":23.5,"resets_at":$(( now + 5400 ))},
                "seven_day":{"used_percentage":41.2,"resets_at":$(( now + 302400 ))}}}
JSON
echo "== what Claude Code would show with tavvo claude-statusline as its status line"
"$tavvo" claude-statusline <"$homes/claude-statusline-input.json"
echo "== tavvo collect from both"
"$tavvo" --base-dir "$base" collect --codex-home "$homes/codex" --claude-config-dir "$homes/claude"
path=$("$tavvo" --base-dir "$base" snapshot path)
ls -l "$path"
echo "== the snapshot it wrote"
"$tavvo" --base-dir "$base" snapshot read
echo "== language in force: $("$tavvo" language resolved)"

echo "== the widget's timeline for the collected snapshot: the document, and when to ask again"
"$widget" --base-dir "$base" timeline
echo "== the widget's timeline with no snapshot yet: the message only"
"$widget" --base-dir "$empty" timeline
echo "== the gallery's preview with no snapshot yet: the demo document with the message"
"$widget" --base-dir "$empty" snapshot --preview | head -n 8
echo "   ..."

echo "== the widget in every size, light and dark"
for source in preview collected; do
  for family in small medium large extra-large; do
    for appearance in light dark; do
      file="$output/widget-$source-$family-$appearance.png"
      if [ "$source" = preview ]; then
        "$widget" --base-dir "$empty" render --family "$family" --request preview --appearance "$appearance" -o "$file"
      else
        "$widget" --base-dir "$base" render --family "$family" --appearance "$appearance" -o "$file"
      fi
      echo "$file"
    done
  done
done
echo "== what the medium widget says (demo document)"
"$widget" --base-dir "$empty" render --family medium --request preview --format text
echo "== the design kit's gallery, light and dark"
"$build/bin/novik-gallery" "$output"

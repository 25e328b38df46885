#!/usr/bin/env bash
# The main job: publish a sample snapshot through the store into a
# temporary shared folder and read it back; answer the widget's requests
# for it and for an empty folder; draw the widget in every size, light and
# dark, from the demo document and from the sample; and draw the design
# kit's gallery. Pictures go into demo-output/ unless told otherwise.
set -euo pipefail
build=${1:-build}
output=${2:-demo-output}
tavvo="$build/bin/tavvo"
widget="$build/bin/tavvo-widget"
base=$(mktemp -d)
empty=$(mktemp -d)
trap 'rm -rf "$base" "$empty"' EXIT
mkdir -p "$output"

now=$(date -u +%s)
stamp() { date -u -d "@$(( now + $1 ))" +%Y-%m-%dT%H:%M:%SZ; }

cat >"$base/sample.json" <<JSON
{
  "schemaVersion": 4,
  "generatedAt": "$(stamp 0)",
  "providers": [
    {
      "id": "codex", "title": "Codex", "subtitle": "Pro", "status": "available",
      "observedAt": "$(stamp -60)", "freshUntil": "$(stamp 840)",
      "limits": [
        { "id": "codex.five_hour", "title": "5h", "remainingPercent": 64, "resetDate": "$(stamp 7200)" },
        { "id": "codex.weekly", "title": "Weekly", "remainingPercent": 31, "resetDate": "$(stamp 302400)" }
      ]
    },
    {
      "id": "claude", "title": "Claude", "status": "available",
      "observedAt": "$(stamp -120)", "freshUntil": "$(stamp 780)",
      "limits": [
        { "id": "claude.five_hour", "title": "5h", "remainingPercent": 12, "resetDate": "$(stamp 3000)" }
      ]
    }
  ],
  "codexAnalytics": {
    "forecastState": "lastsUntilReset", "remainingPercent": 31, "resetAt": "$(stamp 302400)",
    "forecastObservedAt": "$(stamp -60)", "weeklyTokens": 1843200, "weeklyCredits": 12.75
  }
}
JSON

echo "== writing the sample snapshot"
"$tavvo" --base-dir "$base" snapshot write "$base/sample.json"
path=$("$tavvo" --base-dir "$base" snapshot path)
ls -l "$path"
echo "== reading it back"
"$tavvo" --base-dir "$base" snapshot read
echo "== language in force: $("$tavvo" language resolved)"

echo "== the widget's timeline for the sample: the document, and when to ask again"
"$widget" --base-dir "$base" timeline
echo "== the widget's timeline with no snapshot yet: the message only"
"$widget" --base-dir "$empty" timeline
echo "== the gallery's preview with no snapshot yet: the demo document with the message"
"$widget" --base-dir "$empty" snapshot --preview | head -n 8
echo "   ..."

echo "== the widget in every size, light and dark"
for source in preview sample; do
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

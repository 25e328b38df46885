#!/usr/bin/env bash
# The main job for now: publish a sample snapshot through the store into a
# temporary shared folder, read it back as the widget would, and draw the
# design kit's gallery (into demo-output/ unless told otherwise).
set -euo pipefail
build=${1:-build}
output=${2:-demo-output}
tavvo="$build/bin/tavvo"
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT

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
echo "== the design kit's gallery, light and dark"
"$build/bin/novik-gallery" "$output"

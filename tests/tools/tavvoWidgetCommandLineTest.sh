#!/usr/bin/env bash
# Drives the widget program as the host and scripts do: the three requests
# against a snapshot written by tavvo, against an empty folder and against
# an unreadable one; exit statuses and one-line errors.
set -u
widget=$1 tavvo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 TAVVO_L10N_SHOW_KEYS=1
unset LANGUAGE LC_ALL LC_MESSAGES
program_name=tavvo-widget
source "$(dirname "$0")/commandLineTestSupport.sh"
now=--now=2026-12-07T12:00:00Z

expect_json() { # description, python expression over the parsed output `j`
  if python3 -c "import json,sys; j=json.load(open(sys.argv[1])); sys.exit(0 if ($2) else 1)" "$work/out" 2>/dev/null; then
    passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1:"; cat "$work/out"; fi
}

check "describe" 0 "$widget" describe
expect_json "describe" 'j == {"kind": "TavvoCurrentLimitsWidget", "displayName": "app.title", "description": "widget.description",
  "families": ["systemSmall", "systemMedium", "systemLarge", "systemExtraLarge"]}'

# No file in the real shared folder: the message, the demo only in a preview.
check "timeline, no file" 0 "$widget" "$now" timeline
expect_json "timeline, no file" 'j == {"entries": [{"date": "2026-12-07T12:00:00Z", "snapshot": None, "errorText": "widget.open_once"}],
  "reloadAfter": "2026-12-07T12:05:00Z"}'
check "preview, no file" 0 "$widget" snapshot --preview "$now"
expect_json "preview, no file" 'j["errorText"] == "widget.open_once" and j["snapshot"]["providers"][0]["title"] == "Codex Pro"'
check "snapshot, no file" 0 "$widget" snapshot "$now"
expect_json "snapshot, no file" 'j["snapshot"] is None'
check "placeholder" 0 "$widget" placeholder "$now"
expect_json "placeholder" 'j["errorText"] is None and j["snapshot"]["generatedAt"] == "2026-12-07T12:00:00Z"'

# A document written by the host's command line, in the same shared folder.
codex_snapshot 5 2026-12-07T12:00:10Z >"$work/doc.json"
check "write" 0 "$tavvo" snapshot write "$work/doc.json"
check "timeline, document" 0 "$widget" timeline "$now"
expect_json "timeline, document" 'j["entries"][0]["errorText"] is None and j["reloadAfter"] == "2026-12-07T12:00:11Z"
  and j["entries"][0]["snapshot"]["providers"][0]["limits"][0]["remainingPercent"] == 5'

# Each picture format, drawn from that document, is a whole file of its
# kind: it carries the mark that closes one.
for format in "png:IEND" "svg:</svg>" "pdf:%%EOF"; do
  check "render ${format%%:*}" 0 "$widget" "$now" render --family small --format "${format%%:*}" -o "$work/picture"
  grep -a -q "${format#*:}" "$work/picture" && passed=$((passed + 1)) \
    || { failed=$((failed + 1)); echo "FAIL: render ${format%%:*} is not one"; }
done

# A folder standing in for the container: empty, then unreadable content.
mkdir -p "$work/base"
check "base folder, empty" 0 "$widget" --base-dir "$work/base" snapshot --preview "$now"
expect_json "base folder, empty" 'j["errorText"] == "widget.open_once" and j["snapshot"] is not None'
mkdir -p "$work/base/Widget" && echo '{"schemaVersion": 4' >"$work/base/Widget/current-limits.json"
check "base folder, broken" 0 "$widget" snapshot --preview --base-dir "$work/base" "$now"
expect_json "base folder, broken" 'j == {"date": "2026-12-07T12:00:00Z", "snapshot": None, "errorText": "widget.snapshot_unavailable"}'
check "no container" 0 env -u HOME -u XDG_DATA_HOME "$widget" timeline "$now"
expect_json "no container" 'j["entries"][0]["errorText"] == "widget.snapshot_unavailable"'

# What this program declares, mistaken: exit 2 with one line.
for wrong in "timeline --preview" "render" "render --family tiny" "render --family small --format gif" \
    "render --family small --scale 0" "--now yesterday timeline"; do
  check "$wrong" 2 "$widget" $wrong
  expect_error_line "$wrong"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

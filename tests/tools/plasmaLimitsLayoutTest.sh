#!/usr/bin/env bash
# The Plasma widget's logic (limitsLayout.js) under Qt's QML test runner,
# over documents the built tavvo-widget prints for real snapshots and over
# lines that are not documents (see plasma/tst_limitsLayout.qml for the
# cases). Both variants carry the same file; it runs under Qt 5's engine,
# and under Qt 6's too when its test runner is installed, as Plasma 6
# cannot run here.
set -u
widget=$1 plasmoids=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
base=$work/base
mkdir -p "$HOME" "$base/Widget" "$work/test"
failed=0

cmp "$plasmoids/5/app.tavvo.limits/contents/ui/limitsLayout.js" "$plasmoids/6/app.tavvo.limits/contents/ui/limitsLayout.js" \
  || { echo "FAIL: the variants' logic differs"; failed=1; }

instant() { date -u -d "$1" +%Y-%m-%dT%H:%M:%SZ; }
# One provider: id, title, how long ago it was observed (fresh for an hour
# from then), then its limits as "id title percent" (percent "null" when
# unknown), each resetting in three hours.
provider() {
  local id=$1 title=$2 observed=$3 limits=() limit; shift 3
  for limit in "$@"; do
    read -r limitId limitTitle percent <<<"$limit"
    limits+=("$(printf '{"id": "%s", "title": "%s", "remainingPercent": %s, "resetDate": "%s"}' \
      "$limitId" "$limitTitle" "$percent" "$(instant '+3 hours')")")
  done
  local IFS=,
  printf '{"id": "%s", "title": "%s", "status": "available", "observedAt": "%s", "freshUntil": "%s", "limits": [%s]}' \
    "$id" "$title" "$(instant "-$observed")" "$(instant "-$observed +1 hour")" "${limits[*]}"
}
snapshot() { # providers...
  local IFS=,
  printf '{"schemaVersion": 4, "generatedAt": "%s", "providers": [%s]}\n' "$(instant now)" "$*" >"$base/Widget/current-limits.json"
}
documents=()
document() { # case name, appearance, environment...
  local name=$1 appearance=$2; shift 2
  documents+=("$name" "$(env "$@" "$widget" --base-dir "$base" bar --format json --appearance "$appearance")")
}

document "no snapshot yet" dark LANG=C.UTF-8
snapshot "$(provider codex "Codex Pro" '1 minute' "codex.five_hour 5h 64" "codex.weekly Weekly 30")" \
  "$(provider claude Claude '1 minute' "claude.five_hour 5h 9")"
document "two providers, dark" dark LANG=C.UTF-8
document "two providers, light" light LANG=C.UTF-8
snapshot "$(provider codex "Codex Pro" '1 minute' "codex.weekly Weekly null")" "$(provider claude Claude '3 hours' "claude.five_hour 5h 42")"
document "unknown and stale" dark LANG=C.UTF-8
echo '{"schemaVersion": 4, "providers": [' >"$base/Widget/current-limits.json"
document "unreadable snapshot" dark LANG=C.UTF-8
/usr/bin/python3 -c 'import json, sys; a = sys.argv[1:]; print(".pragma library\nvar byCase = " + json.dumps(dict(zip(a[::2], a[1::2]))) + ";")' \
  "${documents[@]}" >"$work/test/documents.js"
cp "$here/plasma/tst_limitsLayout.qml" "$plasmoids/5/app.tavvo.limits/contents/ui/limitsLayout.js" "$work/test/"

run() { # qmltestrunner
  # Offscreen: the test draws nothing and needs no display.
  QT_QPA_PLATFORM=offscreen "$1" -input "$work/test" 2>&1 | grep -v "^QML debugging\|^QStandardPaths"
  return "${PIPESTATUS[0]}"
}
run /usr/lib/qt5/bin/qmltestrunner || failed=1
if [ -x /usr/lib/qt6/bin/qmltestrunner ] && [ -d /usr/lib/x86_64-linux-gnu/qt6/qml/QtTest ]; then
  run /usr/lib/qt6/bin/qmltestrunner || failed=1
else
  echo "Qt 6's test runner is not installed: the logic ran under Qt 5 only"
fi
exit $failed

#!/usr/bin/env bash
# The Plasma 6 form of the widget, which cannot run here, through Qt 6's
# qmllint (skipped when it is not installed). Plasma 6's own modules are
# not in Debian 12, so every check that needs their types resolved
# (imports, types, properties, unqualified names, required properties,
# signal handlers) is shown but does not fail the test: what fails it is
# a syntax error or anything qmllint finds in what it can resolve.
set -u
plasmoid=$1
qmllint=/usr/lib/qt6/bin/qmllint
[ -x "$qmllint" ] || { echo "SKIP: no Qt 6 qmllint (package qt6-declarative-dev-tools)"; exit 77; }
grep -q '"X-Plasma-API-Minimum-Version": "6.0"' "$plasmoid/metadata.json" || { echo "FAIL: the metadata does not ask for Plasma 6"; exit 1; }
cd "$plasmoid/contents/ui" || exit 1
"$qmllint" --import info --type info --property info --unqualified info --required info --signal info ./*.qml >/dev/null 2>&1 \
  || { "$qmllint" --import info --type info --property info --unqualified info --required info --signal info ./*.qml 2>&1 | grep -v '^Info:'; exit 1; }
echo "qmllint: the Plasma 6 form passes"

#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the prefix, and runs
# the installed program from there.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 TAVVO_L10N_SHOW_KEYS=
tavvo=$work/moved/bin/tavvo
if readelf -d "$tavvo" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
  echo "FAIL: the installed program names the build tree"; exit 1
fi
LANG=fr_FR.UTF-8 "$tavvo" language resolved | grep -qx fr
# The missing-container message comes from the installed string tables.
message=$(env -u HOME -u XDG_DATA_HOME "$tavvo" snapshot path 2>&1 || true)
case "$message" in
  *widget.app_group_unavailable*) echo "FAIL: no string table found: $message"; exit 1 ;;
esac
echo "2 passed, 0 failed"

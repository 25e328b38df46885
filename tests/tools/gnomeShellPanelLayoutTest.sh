#!/usr/bin/env bash
# The GNOME Shell extension's logic under plain gjs, in both variants the
# build assembles, over documents the built tavvo-widget prints for real
# snapshots (see gnome-shell/panelLayoutTest.js for the cases). GNOME Shell
# 45 cannot run here, so its extension.js is also imported as an ES module,
# the shell's own modules replaced by stubs: it must load and export the
# extension's class.
set -u
widget=$1 extensions=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES TAVVO_L10N_SHOW_KEYS
base=$work/base
mkdir -p "$HOME" "$base/Widget"
failed=0

instant() { date -u -d "$1" +%Y-%m-%dT%H:%M:%SZ; }
# One provider: id, title, limit id, limit title, remaining percent, how
# long ago it was observed (fresh for an hour from then).
provider() {
  printf '{"id": "%s", "title": "%s", "status": "available", "observedAt": "%s", "freshUntil": "%s", "limits": [{"id": "%s", "title": "%s", "remainingPercent": %s, "resetDate": "%s"}]}' \
    "$1" "$2" "$(instant "-$6")" "$(instant "-$6 +1 hour")" "$3" "$4" "$5" "$(instant '+3 hours')"
}
snapshot() { # providers...
  local IFS=,
  printf '{"schemaVersion": 4, "generatedAt": "%s", "providers": [%s]}\n' "$(instant now)" "$*" >"$base/Widget/current-limits.json"
}
documents=()
document() { # case name, environment...
  local name=$1; shift
  documents+=("$name" "$(env "$@" "$widget" --base-dir "$base" bar --format json)")
}

document "no snapshot yet" LANG=C.UTF-8
snapshot "$(provider codex "Codex Pro" codex.weekly Weekly 5 '1 minute')" "$(provider claude Claude claude.five_hour 5h 42 '3 hours')"
document "critical and stale" LANG=C.UTF-8
/usr/bin/python3 -c 'import json, sys; a = sys.argv[1:]; print(json.dumps(dict(zip(a[::2], a[1::2]))))' "${documents[@]}" >"$work/documents.json"

for variant in legacy module; do
  gjs -m "$here/gnome-shell/panelLayoutTest.js" "$variant" "$extensions/$variant/tavvo@tavvo.app" "$work/documents.json" || failed=1
done

# The 45+ extension.js as an ES module over stubs of the shell's modules.
stubs=$work/module
cp -r "$extensions/module/tavvo@tavvo.app" "$stubs"
sed -i -e "s#'resource:///org/gnome/shell/[^']*/\([a-zA-Z]*\)\.js'#'./stub-\1.js'#" -e "s#'gi://\(St\|Clutter\)'#'./stub-\1.js'#" "$stubs/extension.js"
grep -q "resource://\|gi://St\|gi://Clutter" "$stubs/extension.js" && { echo "FAIL: the shell's imports were not replaced"; failed=1; }
for module in St Clutter; do echo 'export default {};' >"$stubs/stub-$module.js"; done
echo 'export class Extension { constructor(metadata) { this.metadata = metadata; } }' >"$stubs/stub-extension.js"
echo 'export const panel = {};' >"$stubs/stub-main.js"
echo 'export {};' >"$stubs/stub-popupMenu.js"
cat >"$stubs/stub-panelMenu.js" <<'JS'
import GObject from 'gi://GObject';
export const Button = GObject.registerClass(class Button extends GObject.Object {});
JS
cat >"$work/load.js" <<JS
import System from 'system';
const { default: TavvoExtension } = await import('file://$stubs/extension.js');
const extension = new TavvoExtension({ uuid: 'tavvo@tavvo.app' });
const ok = typeof extension.enable === 'function' && typeof extension.disable === 'function';
print(ok ? 'the 45+ extension.js loads as an ES module' : 'FAIL: the 45+ extension has no enable() and disable()');
System.exit(ok ? 0 : 1);
JS
gjs -m "$work/load.js" || failed=1
grep -q '"shell-version": \["45"' "$extensions/module/tavvo@tavvo.app/metadata.json" || { echo "FAIL: 45+ metadata"; failed=1; }
grep -q '"shell-version": \["43", "44"\]' "$extensions/legacy/tavvo@tavvo.app/metadata.json" || { echo "FAIL: 43-44 metadata"; failed=1; }
exit $failed

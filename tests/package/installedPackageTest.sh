#!/usr/bin/env bash
# Installs the Debian package on this machine the way a user does (apt, as
# root), uses what it installed from /usr, builds a host program against it,
# removes it and checks that nothing of it is left. The machine's own
# installation of Tavvo, if there is one, is never touched: the test
# refuses to start instead.
set -u
deb=$(realpath "$1") source=$(realpath "$2")
passed=0 failed=0
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
pass() { passed=$((passed + 1)); }
check() { # description, command...
  local description=$1; shift
  if "$@" >"$work/out" 2>"$work/err"; then pass; else fail "$description: $(cat "$work/out" "$work/err")"; fi
}
holds() { # description, text the last command's output must hold
  grep -qF -- "$2" "$work/out" && pass || fail "$1: no '$2' in: $(cat "$work/out")"
}
installed() { dpkg-query -W -f='${db:Status-Status}' tavvo 2>/dev/null | grep -qx installed; }

if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
if installed; then
  echo "tavvo is already installed on this machine; remove it before running this test"
  exit 1
fi
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  if installed; then $sudo apt-get remove -y -qq tavvo >/dev/null 2>&1; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Debian's checker first: no errors, and no warning that is not overridden
# with its reason in the package.
check "lintian" lintian --fail-on error,warning "$deb"

# apt reads the file as the unprivileged _apt user, hence a folder it can read.
cp "$deb" "$work/"
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$work/$(basename "$deb")" >"$work/apt.log" 2>&1; then
  cat "$work/apt.log"; echo "FAIL: apt-get install"; exit 1
fi
dpkg -L tavvo >"$work/files"
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)

# Every shared object and program: no run path outside the package's own
# private folder.
while read -r path; do
  [ -f "$path" ] && [ ! -L "$path" ] && head -c4 "$path" | grep -q ELF || continue
  runpath=$(readelf -d "$path" | grep -E 'R(UN)?PATH' || true)
  case "$runpath" in
    "" | *"[/usr/lib/$triplet/tavvo]"*) pass ;;
    *) fail "$path has a run path: $runpath" ;;
  esac
done <"$work/files"
ldconfig -p | grep -q "libTavvoShared.so.0 " && pass || fail "the loader cache does not know libTavvoShared.so.0"

# A user's home: a Codex home of a few session logs and a Claude Code
# status-line feed, the installed programs from /usr/bin, their defaults.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
  XDG_STATE_HOME=$work/home/.local/state LANG=C.UTF-8 TZ=UTC
unset LANGUAGE LC_ALL LC_MESSAGES CODEX_HOME CLAUDE_CONFIG_DIR
mkdir -p "$HOME/.claude"
python3 "$source/bench/generate-codex-history.py" --files 6 --megabytes 1 --recent-fraction 0.5 --seed 3 "$HOME/.codex" >/dev/null 2>&1 || fail "making the Codex home"
now=$(date -u +%s)
printf '{"rate_limits":{"five_hour":{"used_percentage":23.5,"resets_at":%d},"seven_day":{"used_percentage":41.2,"resets_at":%d}}}' \
  $((now + 5400)) $((now + 302400)) >"$work/statusline.json"
check "claude-statusline" /usr/bin/tavvo claude-statusline <"$work/statusline.json"
holds "the status line" "77%"
check "collect --print" /usr/bin/tavvo collect --print
holds "collect --print: codex" '"id": "codex.five_hour"'
holds "collect --print: claude" '"remainingPercent": 77,'
check "collect" /usr/bin/tavvo collect
check "snapshot read" /usr/bin/tavvo snapshot read
holds "the stored snapshot" '"id": "claude.five_hour"'
check "render" /usr/bin/tavvo-widget render --family medium --format png -o "$work/medium.png"
file "$work/medium.png" | grep -q 'PNG image data' && pass || fail "render wrote no PNG: $(file "$work/medium.png")"
check "render text" /usr/bin/tavvo-widget render --family small --format text
holds "the widget's text" "59% left"
check "bar" /usr/bin/tavvo-widget bar --format waybar
holds "the bar's line" '"class":'
check "language from the installed tables" /usr/bin/tavvo language set fr
check "bar in French" /usr/bin/tavvo-widget bar --format text
holds "the bar's French, with its no-break space" "$(printf 'Claude 59\u00a0%%')"
/usr/bin/tavvo language clear

# The live window's and the notifier's modules are found in the private
# folder: each loads, then says what it lacks here.
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tavvo-widget show >"$work/out" 2>&1
holds "the live window module" "cannot open a display"
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY /usr/bin/tavvo-widget notify >"$work/out" 2>&1
holds "the notification module" "no session bus"

# The user services name the installed programs, and systemd accepts them.
mkdir -m 700 "$work/runtime"
for service in "tavvo-collect:/usr/bin/tavvo collect --watch" "tavvo-notify:/usr/bin/tavvo-widget notify --watch"; do
  unit=/usr/lib/systemd/user/${service%%:*}.service
  grep -qx "ExecStart=${service#*:}" "$unit" && pass || fail "$unit: $(grep ExecStart "$unit")"
  check "systemd verifies $unit" env XDG_RUNTIME_DIR="$work/runtime" systemd-analyze --user verify "$unit"
done
check "desktop entry" desktop-file-validate /usr/share/applications/app.tavvo.Widget.desktop

# The GNOME Shell extension, in the form Debian 12's GNOME Shell 43 loads.
extension=/usr/share/gnome-shell/extensions/tavvo@tavvo.app
grep -q '"shell-version": \["43", "44"\]' "$extension/metadata.json" && grep -q '^function init()' "$extension/extension.js" \
  && [ -f "$extension/panelLayout.js" ] && [ -f "$extension/stylesheet.css" ] && pass || fail "the GNOME Shell 43-44 extension in $extension"
applet=/usr/share/cinnamon/applets/tavvo@tavvo.app
grep -q '"uuid": "tavvo@tavvo.app"' "$applet/metadata.json" && grep -q '^function main(' "$applet/applet.js" \
  && [ -f "$applet/panelLayout.js" ] && [ -f "$applet/stylesheet.css" ] && pass || fail "the Cinnamon applet in $applet"
# The Plasma widget, in the form Debian 12's Plasma 5.27 loads.
plasmoid=/usr/share/plasma/plasmoids/app.tavvo.limits
grep -q '"KPackageStructure": "Plasma/Applet"' "$plasmoid/metadata.json" && ! grep -q 'X-Plasma-API-Minimum-Version' "$plasmoid/metadata.json" \
  && grep -q '^import org.kde.plasma.core 2.0 as PlasmaCore$' "$plasmoid/contents/ui/main.qml" && [ -f "$plasmoid/contents/ui/limitsLayout.js" ] \
  && pass || fail "the Plasma 5 widget in $plasmoid"

# The manual pages, where man finds them.
for page in tavvo tavvo-widget; do
  check "man -w $page" man -w "$page"
  holds "man -w $page" "/usr/share/man/man1/$page.1.gz"
done
MANWIDTH=80 man tavvo-widget >"$work/out" 2>&1
holds "man tavvo-widget" "EXIT STATUS"

# Completion, loaded on demand by bash-completion as an interactive shell
# would: the first Tab on a command loads its file.
completions=$(pkg-config --variable=completionsdir bash-completion)
for program in tavvo tavvo-widget; do
  [ -f "$completions/$program" ] && pass || fail "no completion file $completions/$program"
done
cat >"$work/complete.bash" <<'EOF'
source /usr/share/bash-completion/bash_completion
complete_line() { # words...
  COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; COMPREPLY=()
  _completion_loader "$1"
  local function; function=$(complete -p "$1" | sed -E 's/.*-F ([^ ]+).*/\1/')
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}"
}
complete_line tavvo lang
complete_line tavvo-widget render --family ''
EOF
bash "$work/complete.bash" >"$work/out" 2>&1
holds "tavvo lang<Tab>" "language"
holds "render --family <Tab>" "systemMedium"

# A host program builds against the installed package, with the CMake
# package and with pkg-config, and needs no path of its own to run.
check "cmake configure" cmake -S "$source/examples/host-program" -B "$work/example"
check "cmake build" cmake --build "$work/example"
check "the CMake-built host program" "$work/example/publish-snapshot" ru
holds "it set the language" "language ru"
check "timeline" /usr/bin/tavvo-widget timeline
holds "the widget reads what it wrote" '"remainingPercent": 64'
# shellcheck disable=SC2046 # pkg-config's words are separate arguments
check "pkg-config build" c++ "$source/examples/host-program/main.cpp" -o "$work/publish-pc" $(pkg-config --cflags --libs tavvo)
check "the pkg-config-built host program" "$work/publish-pc" es
holds "it set the language" "language es"

# Removed, nothing of it is left: no file, no folder of its own, no entry
# in the loader's cache.
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq tavvo >"$work/apt.log" 2>&1; then
  cat "$work/apt.log"; fail "apt-get remove"
fi
installed && fail "still installed after removal"
# Not even in dpkg's database: a package with maintainer scripts or
# configuration files would stay there as "config-files" until purged.
dpkg-query -W -f='${db:Status-Status}\n' tavvo 2>/dev/null | grep -qx "config-files" && fail "left in dpkg's database as config-files"
left=0
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then
    case "$path" in
      */tavvo* | */Tavvo* | */libTavvo* | */app.tavvo.*) fail "left behind: $path"; left=1 ;;
    esac
  fi
done <"$work/files"
[ "$left" = 0 ] && pass
ldconfig -p | grep -q libTavvo && fail "the loader cache still lists: $(ldconfig -p | grep libTavvo)" || pass

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

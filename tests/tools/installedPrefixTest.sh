#!/usr/bin/env bash
# Installs the build into a temporary prefix and moves the prefix; runs the
# installed programs from there, and builds the example host program
# against the moved prefix, once with its CMake package and once with
# pkg-config, then has the widget read what the example published.
set -eu
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/first" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }

# The collector's and the notifier's user services name the installed
# programs, and systemd finds them below a home-style prefix's data folder.
mkdir -m 700 "$work/runtime"
unitPaths=$(XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/first/share XDG_CONFIG_HOME=$work/config systemd-analyze --user unit-paths)
grep -qx "$work/first/share/systemd/user" <<<"$unitPaths" || fail "systemd does not search $work/first/share/systemd/user"
for service in "tavvo-collect:tavvo collect --watch" "tavvo-notify:tavvo-widget notify --watch"; do
  name=${service%%:*} command=${service#*:}
  unit=$work/first/share/systemd/user/$name.service
  [ -f "$work/first/lib/systemd/user/$name.service" ] || fail "no $name unit under lib/systemd/user"
  grep -qx "ExecStart=$work/first/bin/$command" "$unit" || fail "the $name unit's program: $(grep ExecStart "$unit")"
  XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/first/share XDG_CONFIG_HOME=$work/config \
    systemd-analyze --user verify "$unit" || fail "systemd rejects the $name unit"
done

mv "$work/first" "$work/moved"
prefix=$work/moved
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 TAVVO_L10N_SHOW_KEYS=

for program in tavvo tavvo-widget; do
  if readelf -d "$prefix/bin/$program" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
    fail "the installed $program names the build tree"
  fi
done
LANG=fr_FR.UTF-8 "$prefix/bin/tavvo" language resolved | grep -qx fr || fail "language from the environment"
# The missing-container message comes from the installed string tables.
message=$(env -u HOME -u XDG_DATA_HOME "$prefix/bin/tavvo" snapshot path 2>&1 || true)
case "$message" in
  *widget.app_group_unavailable*) fail "no string table found: $message" ;;
esac
"$prefix/bin/tavvo-widget" describe | grep -q '"kind": "TavvoCurrentLimitsWidget"' || fail "the installed widget describes itself"
# The live window's module is found from the moved prefix: without a
# display it loads, then says there is none.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tavvo-widget" show 2>&1 || true)
case "$message" in
  *"cannot open a display"*) ;;
  *) fail "the installed live window: $message" ;;
esac
# So is the notification module: with no session bus it loads, then says
# there is none.
message=$(env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY XDG_STATE_HOME="$work/state" "$prefix/bin/tavvo-widget" --base-dir "$work/base" notify 2>&1) \
  || fail "the installed notifier: $message"
case "$message" in
  *"no session bus"*) ;;
  *) fail "the installed notifier: $message" ;;
esac

# A sanitized library needs its runtime in the program that loads it.
flags=
if grep -q '^TAVVO_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then flags="-fsanitize=address,undefined"; fi

# The example, through the CMake package.
cmake -S "$source/examples/host-program" -B "$work/example" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" >"$work/cmake.log" 2>&1 \
  || { cat "$work/cmake.log"; fail "configuring the example against the package"; }
cmake --build "$work/example" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the example"; }
"$work/example/publish-snapshot" ru >"$work/out" || fail "running the example"
grep -qx "language ru" "$work/out" || fail "the example set the language"
"$prefix/bin/tavvo-widget" timeline >"$work/timeline"
grep -q '"remainingPercent": 64' "$work/timeline" || fail "the widget reads what the example wrote: $(cat "$work/timeline")"
"$prefix/bin/tavvo-widget" render --family small --format text | grep -q "Осталось 64" || fail "the widget speaks the language the example set"

# The same example, through pkg-config. The .pc file says where the
# library is and nothing about how to find it at run time: that is the
# consumer's choice (here the loader's path).
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name tavvo.pc)")
c++ $flags "$source/examples/host-program/main.cpp" -o "$work/publish-pc" $(pkg-config --cflags --libs tavvo) \
  || fail "building the example with pkg-config"
LD_LIBRARY_PATH=$(pkg-config --variable=libdir tavvo) "$work/publish-pc" >/dev/null || fail "running the pkg-config build"

# Only the headers a host program includes are installed; the drawing
# back end's own stay with the library.
private=$(find "$prefix/include" -path '*/PangoCairo/*')
[ -z "$private" ] || fail "private headers installed: $private"

# The status-bar configurations, where a user's bar configuration includes
# them from.
diff -r "$source/examples/status-bars" "$prefix/share/tavvo/examples" || fail "the status-bar examples in share/tavvo/examples"

# The GNOME Shell extension the build chose, where the shell looks in a prefix.
diff -r "$build/gnome-shell/$(sed -n 's/^TAVVO_GNOME_SHELL_VARIANT:STRING=//p' "$build/CMakeCache.txt")/tavvo@tavvo.app" \
  "$prefix/share/gnome-shell/extensions/tavvo@tavvo.app" || fail "the GNOME Shell extension in share/gnome-shell/extensions"
diff -r "$build/cinnamon/tavvo@tavvo.app" "$prefix/share/cinnamon/applets/tavvo@tavvo.app" \
  || fail "the Cinnamon applet in share/cinnamon/applets"
# The Plasma widget the build chose, where Plasma looks in a prefix.
diff -r "$build/plasma/$(sed -n 's/^TAVVO_PLASMA_VARIANT:STRING=//p' "$build/CMakeCache.txt")/app.tavvo.limits" \
  "$prefix/share/plasma/plasmoids/app.tavvo.limits" || fail "the Plasma widget in share/plasma/plasmoids"
echo "12 passed, 0 failed"

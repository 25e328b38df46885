#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# This is the only place the project's dependencies are listed. It is
# idempotent: packages already present are left alone and nothing is
# downloaded when everything is installed.
set -euo pipefail

packages=(
  build-essential
  cmake
  pkg-config
  python3
  libicu-dev
  rapidjson-dev
  libfmt-dev
  libglib2.0-dev
  libcli11-dev
  libzstd-dev
  libnotify-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  clang
  libclang-rt-dev
  libcairo2-dev
  libpango1.0-dev
  fonts-dejavu-core
  fonts-wqy-microhei libgtk-4-dev xvfb imagemagick xdotool
  locales
  # A desktop like a user's, so that the tests prove themselves beside the
  # modules, buses and services it brings into every GTK program.
  sway waybar polybar dunst libnotify-bin dbus-x11
  # The status-bar examples are tested inside the real programs: tmux,
  # Waybar and swaybar under sway (screenshots by grim, their text read back
  # by OCR), Polybar under Xvfb, i3blocks.
  tmux grim i3blocks tesseract-ocr tesseract-ocr-eng
  # The collector runs as a user service; the install test asks systemd
  # where it looks for one.
  systemd
  # The manual pages are written in scdoc; their test reads them with man.
  scdoc man-db
  # The Debian package: its dependencies are computed by dpkg-shlibdeps
  # (dpkg-dev), it is checked by lintian, and its test validates the
  # desktop entry it installs.
  dpkg-dev lintian desktop-file-utils
  # Tab completion for bash is tested as bash-completion loads it.
  bash-completion
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests read and write documents under a locale whose decimal
# separator is a comma, to prove that numbers never pass through it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi

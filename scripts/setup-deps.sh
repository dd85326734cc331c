#!/usr/bin/env bash
# Installs every Debian package pocketmovie needs to build, test and benchmark.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
packages=(
  build-essential cmake pkg-config ninja-build
  libgtest-dev libgmock-dev
  libavformat-dev libavcodec-dev libavfilter-dev libswscale-dev libswresample-dev libavutil-dev
  libavcodec-extra
  ffmpeg
  qt6-base-dev qt6-tools-dev libqt6opengl6-dev libgl-dev
  xvfb xauth xdotool
  at-spi2-core python3-pyatspi dbus-daemon dbus-x11  # the window read as a screen reader reads it
  desktop-file-utils appstream man-db lintian dpkg-dev  # the desktop files, manual page and package checks
  qt6-l10n-tools qt6-translations-l10n fonts-noto-cjk locales  # translations, Japanese glyphs, a German locale
  dbus python3-dbus python3-gi  # the notification test's session bus and notification service
  attr
  time
  strace  # the test that makes file-system calls fail one at a time
  parallel  # the README's recipe for many machines, run by a test
  clang libclang-rt-dev  # the fuzz targets (scripts/fuzz.sh)
)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

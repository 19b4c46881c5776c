#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a fresh Debian 12 machine.
# Safe to run again: apt-get and npm skip what is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  build-essential cmake pkg-config git
  googletest libgtest-dev libgmock-dev
  clang-format clang-tidy
  # clang compiles the Apple backend against its framework declarations (the Objective-C++ compile check).
  clang
  libglib2.0-dev libgtk-4-dev libwebkitgtk-6.0-dev
  libavcodec-dev libavformat-dev libavutil-dev libswresample-dev
  libpulse-dev
  ffmpeg sox xvfb xauth pulseaudio pulseaudio-utils
  # WebKit plays recordings (AAC in MP4) in the page through GStreamer: its AAC decoder and sound output.
  gstreamer1.0-libav gstreamer1.0-pulseaudio
  time
  fonts-ipafont-gothic
  # Installing and packaging: the desktop entry's and metadata's validators, the manual pages' reader,
  # Debian's package tools (library dependencies), and a session bus and X tools for the single-instance test.
  desktop-file-utils appstream man-db dpkg-dev dbus x11-utils
)

missing=()
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ -f "$here/tests/js/package.json" ]; then
  (cd "$here/tests/js" && npm ci --no-audit --no-fund --loglevel=error)
fi

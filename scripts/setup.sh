#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Zuvo needs.
# Idempotent: packages already present are not touched, so a second run costs a second.
set -euo pipefail

packages=(
  # native build and unit tests
  g++ cmake ninja-build googletest libgtest-dev python3
  # the native decoder of the probes and tests (libmpg123, loaded at run time)
  libmpg123-dev
  # fuzzing (clang with libFuzzer)
  clang libclang-rt-14-dev
  # Windows build
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  # running zuvo.exe: Wine, a virtual X server, ALSA for wave-out capture
  wine wine64 xvfb xauth x11-utils libasound2 libasound2-plugins
  # pressing keys in another window while the player runs (the global hotkey test)
  xdotool
  # Winelib stand-ins for the optional DLLs (winegcc, winebuild), over the libraries above
  wine64-tools
  # the lame_enc.dll stand-in's encoder (libmp3lame)
  libmp3lame-dev
  # a real browser for the HTTP control page's tests (headless Chromium driven by Selenium)
  chromium chromium-driver python3-selenium
  # the Winelib input plug-in of the tests (FLAC, WAV, ... through libsndfile)
  libsndfile1-dev
  # the bass.dll stand-in: tracker modules (libopenmpt), Ogg radio (libvorbisfile)
  libopenmpt-dev libvorbis-dev
  # the peer of the info scan's benchmark (tests/bench/bass_bench.py)
  mediainfo
  # a real internet radio server for the radio tests (started by the tests themselves)
  icecast2
  # screenshots and the reference audio tools of the tests and the demo folder
  imagemagick lame mpg123 sox ffmpeg id3v2
  # an independent tag reader for the tag editor's tests
  python3-mutagen
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" != 0 ]; then echo "setup: run as root to install packages" >&2; exit 1; fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

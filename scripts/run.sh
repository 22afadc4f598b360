#!/usr/bin/env bash
# Builds zuvo.exe and starts it under Wine on FOLDER, or on a small generated demo.
# Without a display a virtual X server is started; without a sound card the audio goes to a
# WAV file. Both are announced before the program starts.
#
# The demo is two folders, "1 Sweep" and "2 Chords", on drive C: of the Wine prefix. The
# player starts on the first track of the first folder, plays that folder without gaps and
# then walks on into the next one ("Auto search dirs"). On C: that walk stays on a small
# drive; on Z: (the whole Linux file system) it would wander through every folder of the
# machine. The demo runs its own copy of zuvo.exe with its own settings file beside it
# (/localini), so that the settings of a user's own runs are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target zuvo zuvo-plugins
# The stand-in lame_enc.dll (the HTTP server's live stream); built where winegcc is installed.
cmake --build --preset windows --target lame-standin >/dev/null 2>&1 || true
# The stand-in bass.dll and its FLAC add-on (Ogg, FLAC, WAV, AIFF, modules).
cmake --build --preset windows --target bass-standin >/dev/null 2>&1 || true
exe=$ROOT/build/windows/src/app/zuvo.exe
# The Winamp plug-ins built with the tests go beside the player: the input plug-in over
# libsndfile (FLAC, WAV, Ogg, ...) and the test DSP plug-in (used when wave_flags has 0x100).
plugins() {
  local f
  for f in in_sndfile.dll dsp_zuvogain.dll; do
    # Copied and renamed, as the program: a player still running keeps its own file.
    [ -f "$ROOT/build/windows/plugins/$f" ] &&
      cp "$ROOT/build/windows/plugins/$f" "$1/$f.new" && mv -f "$1/$f.new" "$1/$f"
  done
  return 0
}
plugins "$(dirname "$exe")"

source scripts/wine-env.sh
zuvo_wine_prepare

# The settings of the demo: gapless play, "Auto search dirs" (control_flags 0x800) and
# wave-out at full volume, which hands the decoded samples to the device unchanged (Wine mixes
# DirectSound, the default output, to 48 kHz float).
demo_settings() {
  printf '[Zuvo]\r\nutf8=1\r\ngapless=1\r\ncontrol_flags=%d\r\nwavedevice=0\r\nvolume=65535\r\n' \
    $((0x800))
}

# Seconds of audio in the MP3 files of a folder, rounded.
folder_seconds() {
  local f
  for f in "$1"/*.mp3; do
    ffprobe -v error -show_entries format=duration -of csv=p=0 "$f"
  done | awk '{ s += $1 } END { printf "%d", s + 0.5 }'
}

folder=${1:-}
args=()
if [ -z "$folder" ]; then
  demo="$WINEPREFIX/drive_c/Zuvo demo"
  bash scripts/make_demo.sh "$demo"
  prog=$ROOT/build/demo-player
  mkdir -p "$prog"
  # Copied and renamed: a demo still running keeps its own file.
  cp "$exe" "$prog/zuvo.exe.new" && mv -f "$prog/zuvo.exe.new" "$prog/zuvo.exe"
  # The user's manual ("HTML Manual" on the settings dialog's About page).
  cp "$(dirname "$exe")/Zuvo.html" "$prog/Zuvo.html"
  plugins "$prog"
  demo_settings >"$prog/zuvo.ini"
  exe=$prog/zuvo.exe
  args=(/localini)
  target=$(find "$demo/1 Sweep" -name '*.mp3' | sort | sed -n 1p)
  sweep=$(folder_seconds "$demo/1 Sweep")
  chords=$(folder_seconds "$demo/2 Chords")
  echo "zuvo: the demo lasts about $((sweep + 1 + chords)) s: \"1 Sweep\" (${sweep} s, its tracks" \
    "joined without gaps), a pause of a second, then \"2 Chords\" (${chords} s)."
  echo "      Then the player walks on through drive C: and starts again at its top."
else
  target=$(cd "$folder" && pwd)
fi
lame_standin=$ROOT/build/windows/standins/lame_enc.dll
if [ -f "$lame_standin" ]; then cp "$lame_standin" "$(dirname "$exe")/lame_enc.dll"; fi
for dll in bass.dll bassflac.dll; do
  standin=$ROOT/build/windows/standins/$dll
  if [ -f "$standin" ]; then cp "$standin" "$(dirname "$exe")/$dll"; fi
done

had_display=${DISPLAY:-}
zuvo_x_prepare
if [ "$DISPLAY" != "$had_display" ]; then
  echo "zuvo: no display here, the program shows on the virtual X server $DISPLAY."
  echo "      See it with: import -display $DISPLAY -window root build/screen.png"
fi
if ! grep -qs '^ *[0-9]' /proc/asound/cards; then
  # ALSA's default device converts to 16-bit stereo at 44.1 kHz and pipes the audio of each
  # opening into wav-sink.py, which appends it to one WAV file in real time.
  wav=$ROOT/build/zuvo-output.wav
  conf=$ROOT/build/alsa-file.conf
  rm -f "$wav"
  { cat /usr/share/alsa/alsa.conf
    echo "pcm.!default { type plug; slave { pcm \"zuvo_wav\"; format S16_LE; rate 44100;" \
      "channels 2 } }"
    echo "pcm.zuvo_wav { type file; slave.pcm \"null\"; format \"raw\";" \
      "file \"|exec python3 '$ROOT/scripts/wav-sink.py' '$wav'\" }"; } >"$conf"
  export ALSA_CONFIG_PATH=$conf
  echo "zuvo: no sound card here, the audio is written to $wav as it plays."
fi

win_target=$(wine winepath -w "$target" 2>/dev/null | tr -d '\r')
echo "zuvo: playing $win_target ($target)"
echo "      Stop with Ctrl+C or by closing the window."
# The path comes first: Wine quotes an argument with blanks, and the program takes a path only
# from the start of its arguments.
exec wine "$exe" "$win_target" "${args[@]}"

#!/usr/bin/env bash
# Builds zuvo.exe and starts it under Wine on FOLDER, or on a small generated demo folder.
# Without a display a virtual X server is started; without a sound card the audio goes to a
# WAV file. Both are announced before the program starts.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target zuvo

folder=${1:-}
if [ -z "$folder" ]; then
  folder=$ROOT/build/demo
  bash scripts/make_demo.sh "$folder"
fi
folder=$(cd "$folder" && pwd)

source scripts/wine-env.sh
zuvo_wine_prepare
had_display=${DISPLAY:-}
zuvo_x_prepare
if [ "$DISPLAY" != "$had_display" ]; then
  echo "zuvo: no display here, started the virtual X server $DISPLAY."
  echo "      See it with: import -display $DISPLAY -window root build/screen.png"
fi
if ! aplay -l 2>/dev/null | grep -q '^card'; then
  wav=$ROOT/build/zuvo-output.wav
  conf=$ROOT/build/alsa-file.conf
  { cat /usr/share/alsa/alsa.conf
    echo "pcm.!default { type file slave.pcm \"null\" file \"$wav\" format \"wav\" }"; } >"$conf"
  export ALSA_CONFIG_PATH=$conf
  echo "zuvo: no sound card here, the audio is written to $wav"
fi

win_folder=$(wine winepath -w "$folder" 2>/dev/null | tr -d '\r')
echo "zuvo: playing $folder ($win_folder)"
exec wine "$ROOT/build/windows/src/app/zuvo.exe" "$win_folder"

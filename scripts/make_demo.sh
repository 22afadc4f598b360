#!/usr/bin/env bash
# make_demo.sh FOLDER: writes the demo of scripts/run.sh into FOLDER, unless it is there
# already: "1 Sweep", one continuous 24 s sweep cut into three MP3 tracks (so that a gap or a
# click between them can be heard), and "2 Chords", two tracks of plucked chords, 6 s each.
# Made with sox and lame.
set -euo pipefail
out=$1
[ -f "$out/.complete" ] && exit 0
mkdir -p "$out/1 Sweep" "$out/2 Chords"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox -n -r 44100 -c 2 -b 16 "$tmp/sweep.wav" synth 24 sine 110-880 gain -6 fade 0.5 24 0.5
for i in 0 1 2; do
  sox "$tmp/sweep.wav" "$tmp/part$i.wav" trim $((i * 8)) 8
  lame --quiet -V 2 --tt "Sweep part $((i + 1))" --ta "Zuvo demo" --tl "Demo" --tn $((i + 1)) \
    "$tmp/part$i.wav" "$out/1 Sweep/0$((i + 1)) Sweep part $((i + 1)).mp3"
done
for i in 1 2; do
  sox -n -r 44100 -c 2 -b 16 "$tmp/chord$i.wav" synth 6 pluck C$((i + 2)) pluck E$((i + 2)) \
    pluck G$((i + 2)) gain -8 fade 0 6 2
  lame --quiet -b 192 --tt "Chord $i" --ta "Zuvo demo" "$tmp/chord$i.wav" "$out/2 Chords/0$i Chord $i.mp3"
done
touch "$out/.complete"
echo "make_demo: demo folder ready in $out"

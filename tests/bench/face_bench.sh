#!/usr/bin/env bash
# face_bench.sh: the window's face under Wine, against notepad on the same Wine in the same run:
# microseconds per resize step (100 steps: each a WM_SIZE and a layout pass) and the peak
# working set, zuvo.exe's taken after 5 s of playing the demo folder.
# Needs a Windows build (cmake --preset windows && cmake --build --preset windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=build/windows/src/app/zuvo.exe
send=build/windows/tests/e2e/zuvo-send.exe
work=build/bench-face
rm -rf "$work" && mkdir -p "$work" && cp "$exe" "$work/zuvo.exe"
source scripts/wine-env.sh
zuvo_wine_prepare
bash scripts/make_demo.sh "$WINEPREFIX/drive_c/Zuvo demo" >/dev/null
printf '[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nvolume=65535\r\nwindow_x=0\r\nwindow_y=0\r\nwindow_w=900\r\nwindow_h=600\r\nmaximized=0\r\n' >"$work/zuvo.ini"
# Through a file, not a pipe (see startup_bench.sh).
run() { scripts/wine-run "$send" "$@" >"$work/out.txt"; tr -d '\r' <"$work/out.txt"; }

scripts/wine-run "$work/zuvo.exe" /localini 'C:\Zuvo demo\1 Sweep\01 Sweep part 1.mp3' >/dev/null 2>&1 &
run wait --visible 20000 >/dev/null
sleep 5  # playing
zres=$(run resize ZuvoWndClass 100)
zmem=$(run memory ZuvoWndClass)
run close >/dev/null; run gone 10000 >/dev/null

run launch --class Notepad notepad.exe >/dev/null
nres=$(run resize Notepad 100)
nmem=$(run memory Notepad)
scripts/wine-run taskkill /f /im notepad.exe >/dev/null 2>&1 || true

echo "resize step (SetWindowPos, WM_SIZE, layout), us: zuvo $zres, notepad $nres"
echo "peak working set, KB: zuvo (playing) $zmem, notepad $nmem"
awk -v a="$zres" -v b="$nres" -v c="$zmem" -v d="$nmem" \
  'BEGIN { printf "ratios zuvo/notepad: resize %.2f, peak working set %.2f\n", a / b, c / d }'

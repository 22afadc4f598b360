#!/usr/bin/env bash
# texts_bench.sh: the pop-up menus and the title refresh under Wine, against notepad on the same
# Wine in the same run.
# - menu build-and-show: milliseconds from posting F1's command (944) to the main menu's window
#   existing, median of 20; notepad's: from WM_CONTEXTMENU to its edit control's menu.
# - title refresh: CPU time (user + system, from /proc) per minute of playing the demo, with the
#   title's time and name refreshed and with them off (stylez bit 5), and notepad's idle CPU.
# Needs a Windows build (cmake --preset windows && cmake --build --preset windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=build/windows/src/app/zuvo.exe
send=build/windows/tests/e2e/zuvo-send.exe
work=build/bench-texts
seconds=${BENCH_SECONDS:-30}
rm -rf "$work" && mkdir -p "$work" && cp "$exe" "$work/zuvo.exe"
source scripts/wine-env.sh
zuvo_wine_prepare
bash scripts/make_demo.sh "$WINEPREFIX/drive_c/Zuvo demo" >/dev/null
# Through a file, not a pipe (see startup_bench.sh).
run() { scripts/wine-run "$send" "$@" >"$work/out.txt"; tr -d '\r' <"$work/out.txt"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# CPU seconds (user + system) of the process named $1 (Wine names it after the .exe) whose
# command line holds $2 (other programs of the same name may run beside it).
cpu() {
  local pid
  for pid in $(pgrep -x "$1"); do
    if tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "$2"; then
      awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$pid/stat"
      return
    fi
  done
  echo 0
}
start_zuvo() {
  printf '[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nvolume=20000\r\nstylez=%d\r\nrpt_mode=1\r\n' "$1" >"$work/zuvo.ini"
  scripts/wine-run "$work/zuvo.exe" /localini 'C:\Zuvo demo\1 Sweep\01 Sweep part 1.mp3' >/dev/null 2>&1 &
  run wait --visible 20000 >/dev/null
}
per_minute() { awk -v a="$1" -v b="$2" -v s="$seconds" 'BEGIN { printf "%.3f", (b - a) * 60 / s }'; }

default_stylez=41858
start_zuvo $default_stylez
zmenu=$(run menutime 944 20 | median)
sleep 2
a=$(cpu zuvo.exe "$work/zuvo.exe"); sleep "$seconds"; b=$(cpu zuvo.exe "$work/zuvo.exe")
zon=$(per_minute "$a" "$b")
run close >/dev/null; run gone 10000 >/dev/null

start_zuvo $((default_stylez | 32))  # "No trackname or times in title bar"
sleep 2
a=$(cpu zuvo.exe "$work/zuvo.exe"); sleep "$seconds"; b=$(cpu zuvo.exe "$work/zuvo.exe")
zoff=$(per_minute "$a" "$b")
run close >/dev/null; run gone 10000 >/dev/null

run launch --class Notepad notepad.exe >/dev/null
nmenu=$(run menutime 0 20 Notepad | median)
a=$(cpu notepad.exe notepad); sleep "$seconds"; b=$(cpu notepad.exe notepad)
nidle=$(per_minute "$a" "$b")
scripts/wine-run taskkill /f /im notepad.exe >/dev/null 2>&1 || true

echo "menu build-and-show, ms (median of 20): zuvo main menu $zmenu, notepad edit menu $nmenu"
echo "CPU s per minute: zuvo playing with title refresh $zon, without $zoff, notepad idle $nidle"
awk -v a="$zmenu" -v b="$nmenu" -v c="$zon" -v d="$zoff" 'BEGIN {
  printf "ratio zuvo/notepad menu: %.2f; title refresh costs %.3f CPU s per minute of playing\n", a / b, c - d }'

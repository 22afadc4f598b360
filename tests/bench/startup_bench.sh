#!/usr/bin/env bash
# startup_bench.sh [RUNS] [OTHER_EXE]: the time from process start to the visible main window
# under Wine, for zuvo.exe and, as the peer on the same Wine, notepad.exe; median of RUNS (5)
# each. With OTHER_EXE (an earlier zuvo.exe) it starts too, in turn with the two others in every
# round, so that a change is compared with its before under the same load of the machine.
# Needs a Windows build (cmake --preset windows && cmake --build --preset windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
exe=build/windows/src/app/zuvo.exe
send=build/windows/tests/e2e/zuvo-send.exe
work=build/bench-startup
other=${2:-}
rm -rf "$work" && mkdir -p "$work/other" && cp "$exe" "$work/zuvo.exe"
[ -z "$other" ] || cp "$other" "$work/other/zuvo.exe"
# Through a file, not a pipe: the Wine server started by the first run inherits stdout and would
# keep a pipe open for its whole lifetime.
run() { scripts/wine-run "$send" "$@" >"$work/out.txt"; tr -d '\r' <"$work/out.txt"; }

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# The spread of the runs: lowest, first quartile, third quartile, highest.
spread() { sort -n | awk '{a[NR]=$1} END {printf "%s..%s..%s..%s", a[1], a[int((NR+3)/4)], a[int((3*NR+3)/4)], a[NR]}'; }

# One unmeasured start first: the Wine server and its services start with the first program.
run launch --class Notepad notepad.exe >/dev/null || true
scripts/wine-run taskkill /f /im notepad.exe >/dev/null 2>&1 || true
zuvo=() notepad=() before=()
for _ in $(seq "$runs"); do
  zuvo+=("$(run launch "$work/zuvo.exe" /localini)")
  run close >/dev/null; run gone 10000 >/dev/null
  if [ -n "$other" ]; then
    before+=("$(run launch "$work/other/zuvo.exe" /localini)")
    run close >/dev/null; run gone 10000 >/dev/null
  fi
  notepad+=("$(run launch --class Notepad notepad.exe)")
  scripts/wine-run taskkill /f /im notepad.exe >/dev/null 2>&1 || true
done
zm=$(printf '%s\n' "${zuvo[@]}" | median)
nm=$(printf '%s\n' "${notepad[@]}" | median)
echo "zuvo.exe size: $(stat -c %s "$exe") bytes"
echo "start to visible window, ms (median of $runs): zuvo $zm [${zuvo[*]}], notepad $nm [${notepad[*]}]"
echo "spread (min..q1..q3..max): zuvo $(printf '%s\n' "${zuvo[@]}" | spread), notepad $(printf '%s\n' "${notepad[@]}" | spread)"
awk -v z="$zm" -v n="$nm" 'BEGIN {printf "ratio zuvo/notepad: %.2f\n", z / n}'
if [ -n "$other" ]; then
  bm=$(printf '%s\n' "${before[@]}" | median)
  echo "other zuvo.exe ($other): median $bm [${before[*]}], spread $(printf '%s\n' "${before[@]}" | spread)"
  awk -v z="$zm" -v b="$bm" -v n="$nm" 'BEGIN {printf "ratio zuvo/other: %.2f, other/notepad: %.2f\n", z / b, b / n}'
  # Each round's two starts ran under the same load: their difference is the steadier figure.
  diffs=$(for i in "${!zuvo[@]}"; do awk -v a="${zuvo[$i]}" -v b="${before[$i]}" 'BEGIN {print a - b}'; done)
  echo "per round, zuvo - other, ms: median $(printf '%s\n' $diffs | median), spread $(printf '%s\n' $diffs | spread)"
fi

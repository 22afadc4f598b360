#!/usr/bin/env bash
# list_wine_bench.sh [RUNS]: listing a folder of 10,000 files into the File view under Wine
# (directory read + sort + first paint), median of RUNS (5), against Wine's own "cmd /c dir" on
# the same folder in the same run. Both are timed as whole processes started from here; the
# bench also prints its own split of read+sort and paint. Figures only, nothing is asserted.
# Needs a Windows build: ZUVO_BUILD (default build/windows) after cmake --build.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
export ZUVO_BUILD=${ZUVO_BUILD:-$PWD/build/windows}
build=$ZUVO_BUILD
work=$build/bench-list
exe=$work/list_wine_bench.exe
mkdir -p "$work"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
  -D_WIN32_WINNT=0x0601 -Isrc tests/bench/list_wine_bench.cpp \
  "$build/src/library/libzuvo_library.a" "$build/src/config/libzuvo_config.a" \
  "$build/src/base/libzuvo_base.a" -lcomctl32 -lshell32 -lole32 -lnetapi32 -lmpr -luser32 -lgdi32 \
  -municode -static -o "$exe"
dir=$work/folder
if [ ! -f "$dir/Track 9999.mp3" ]; then
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && seq 0 9999 | sed 's/.*/Track &.mp3/' | tr '\n' '\0' | xargs -0 touch)
fi
windir="Z:$(realpath "$dir" | tr / '\\')"
# Through a file, not a pipe: the Wine server started by the first run inherits stdout and would
# keep a pipe open for its whole lifetime.
ms() { local t0 t1; t0=$(date +%s%N); "$@" >"$work/out.txt" 2>/dev/null; t1=$(date +%s%N); echo $(( (t1 - t0) / 1000000 )); }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

scripts/wine-run cmd /c ver >/dev/null 2>&1  # Wine server and prefix up before timing
bench=() dir_times=() split=()
for _ in $(seq "$runs"); do
  bench+=("$(ms scripts/wine-run "$exe" "$windir")")
  split+=("$(tr -d '\r' <"$work/out.txt")")
  dir_times+=("$(ms scripts/wine-run cmd /c dir "$windir")")
done
bm=$(printf '%s\n' "${bench[@]}" | median)
dm=$(printf '%s\n' "${dir_times[@]}" | median)
echo "folder: 10,000 files ($windir)"
echo "inside the bench, each run: "; printf '  %s\n' "${split[@]}"
echo "whole process, ms (median of $runs): File view $bm [${bench[*]}], cmd /c dir $dm [${dir_times[*]}]"
awk -v b="$bm" -v d="$dm" 'BEGIN {printf "ratio File view / cmd /c dir: %.2f\n", b / d}'

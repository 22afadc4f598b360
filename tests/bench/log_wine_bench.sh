#!/usr/bin/env bash
# log_wine_bench.sh [RUNS]: the track log under Wine, median of RUNS (5):
#   - opening the log viewer on a log of 10,000 records (about 2 MB), from the command to the
#     shown dialog, against Wine's "cmd /c type" of the same file (whole processes, same run);
#   - a logged track whose record trims that log to its 1000 KB limit (read, rewrite through a
#     temporary file and a rename, append), against "cmd /c copy" of the same file;
#   - the CPU time the logging costs per track (2,000 tracks appended).
# Figures only, nothing is asserted. Needs a Windows build: ZUVO_BUILD (default build/windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
export ZUVO_BUILD=${ZUVO_BUILD:-$PWD/build/windows}
build=$ZUVO_BUILD
work=$build/bench-log
exe=$work/log_wine_bench.exe
mkdir -p "$work"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
  -D_WIN32_WINNT=0x0601 -Isrc tests/bench/log_wine_bench.cpp \
  "$build/src/log/libzuvo_log.a" "$build/src/config/libzuvo_config.a" \
  "$build/src/base/libzuvo_base.a" -lcomctl32 -lcomdlg32 -lshell32 -luser32 -lgdi32 \
  -municode -static -o "$exe"
python3 - "$work/master.log" <<'PY'
import sys
out = bytearray()
for i in range(10000):
    out += ('C:\\Music\\Folder %d\\Some track number %d.mp3\r\nArtist %d\tAlbum %d\tTitle of track %d\t%d\r\n'
            '%d\t0\t%d\t%d\t \r\n\r\n' % (i % 300, i, i % 97, i % 41, i, i % 20, 180000 + i * 7,
                                          150000 + i, 1700000000 + i * 600)).encode('utf-16-le')
open(sys.argv[1], 'wb').write(out)
PY
windir="Z:$(realpath "$work" | tr / '\\')"
ms() { local t0 t1; t0=$(date +%s%N); "$@" >"$work/out.txt" 2>/dev/null; t1=$(date +%s%N); echo $(( (t1 - t0) / 1000000 )); }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
inner() { tr -d '\r' <"$work/out.txt" | grep -o '[0-9.]* ms' | head -1 | cut -d' ' -f1; }

scripts/wine-run cmd /c ver >/dev/null 2>&1  # Wine server and prefix up before timing
view=() view_in=() type=() trim=() trim_in=() copy=()
for _ in $(seq "$runs"); do
  cp "$work/master.log" "$work/zuvo.log"
  view+=("$(ms scripts/wine-run "$exe" "$windir" view)"); view_in+=("$(inner)")
  type+=("$(ms scripts/wine-run cmd /c type "$windir\\zuvo.log" ">" NUL)")
  trim+=("$(ms scripts/wine-run "$exe" "$windir" trim)"); trim_in+=("$(inner)")
  trimmed=$(stat -c %s "$work/zuvo.log")
  cp "$work/master.log" "$work/zuvo.log"
  copy+=("$(ms scripts/wine-run cmd /c copy /y "$windir\\zuvo.log" "$windir\\copy.log")")
done
echo "log: 10,000 records, $(stat -c %s "$work/master.log") bytes; trimmed to $trimmed bytes"
m() { printf '%s\n' "$@" | median; }
echo "viewer open, inside the process, ms (median of $runs): $(m "${view_in[@]}") [${view_in[*]}]"
echo "whole process, ms: viewer $(m "${view[@]}") [${view[*]}], cmd /c type $(m "${type[@]}") [${type[*]}]"
awk -v b="$(m "${view[@]}")" -v d="$(m "${type[@]}")" 'BEGIN {printf "ratio viewer / cmd /c type: %.2f\n", b / d}'
echo "trimming write, inside the process, ms: $(m "${trim_in[@]}") [${trim_in[*]}]"
echo "whole process, ms: trimming write $(m "${trim[@]}") [${trim[*]}], cmd /c copy $(m "${copy[@]}") [${copy[*]}]"
awk -v b="$(m "${trim[@]}")" -v d="$(m "${copy[@]}")" 'BEGIN {printf "ratio trimming write / cmd /c copy: %.2f\n", b / d}'
echo "(the whole-process times include starting a GUI process under Wine; cmd does not show a window)"
rm -f "$work/zuvo.log"
scripts/wine-run "$exe" "$windir" track >"$work/out.txt" 2>/dev/null; tr -d '\r' <"$work/out.txt"
echo "(the machine is shared with other builds and tests: figures vary from run to run)"

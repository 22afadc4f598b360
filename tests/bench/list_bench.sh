#!/bin/sh
# Builds list_bench with the release preset (g++ -O2, no sanitizers), makes a folder of 10,000
# files, runs the bench on it and times `ls -f | sort` on the same folder in the same run (median
# of 5), and reads a 2 MB play list of LF lines.
# Usage: tests/bench/list_bench.sh [work-dir]   (default build/release)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
dir=$build/list_bench_folder
mkdir -p "$build"
(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target list_bench)
out=$root/build/release/tests/bench/list_bench
if [ ! -d "$dir" ]; then
    mkdir -p "$dir"
    (cd "$dir" && seq 0 9999 | sed 's/.*/Track &.mp3/' | tr '\n' '\0' | xargs -0 touch)
fi
"$out" "$dir"
times=""
for i in 1 2 3 4 5; do
    t0=$(date +%s%N)
    ls -f "$dir" | sort > /dev/null
    t1=$(date +%s%N)
    times="$times $(( (t1 - t0) / 1000 ))"
done
median=$(echo $times | tr ' ' '\n' | sort -n | sed -n 3p)
echo "ls -f | sort on the same folder: median $(echo "scale=2; $median / 1000" | bc) ms"

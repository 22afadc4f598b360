#!/bin/sh
# Builds dsp_bench with the release preset (g++ -O2, no sanitizers), makes a 60 s 44.1 kHz
# stereo WAV, prints the chain's throughput per stage and preset, and times sox on the same file
# in the same run doing comparable work (three-band equalizer, four-band mcompand, a look-ahead
# limiter), with the ratios. Figures only; nothing is asserted.
# Usage: tests/bench/dsp_bench.sh [work-dir]   (default build/h-dsp)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/h-dsp}
wav=$build/dsp_bench.wav
mkdir -p "$build"
(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target dsp_bench)
out=$root/build/release/tests/bench/dsp_bench
[ -f "$wav" ] || sox -n -r 44100 -c 2 -b 16 "$wav" synth 60 pinknoise synth 60 sine amod 3 \
    tremolo 0.7 70 gain -10
"$out" "$wav" | tee "$build/dsp_bench.out"
secs=60

# Median wall time of three sox runs (ms) writing to the null output.
sox_ms() {
    times=""
    for i in 1 2 3; do
        t0=$(date +%s%N)
        sox "$wav" -n "$@"
        t1=$(date +%s%N)
        times="$times $(( (t1 - t0) / 1000000 ))"
    done
    echo $times | tr ' ' '\n' | sort -n | sed -n 2p
}
ours() { awk -v n="$1" 'index($0, n) == 1 {print $(NF-1)}' "$build/dsp_bench.out"; }

eq=$(sox_ms equalizer 100 1.0q +6 equalizer 1000 1.0q -3 equalizer 10000 1.0q -6)
mc=$(sox_ms mcompand "0.005,0.1 -47,-40,-34,-34,-17,-33" 250 "0.003,0.05 -47,-40,-34,-34,-15,-33" \
    2000 "0.000625,0.0125 -47,-40,-34,-34,-15,-33" 5000 "0.0001,0.025 -47,-40,-34,-34,-31,-31")
lim=$(sox_ms compand 0.003,0.05 -90,-90,-3,-3,0,-3 0 -90 0.003)
null=$(sox_ms)
echo
echo "sox reading the file with no effect: $null ms"
printf '%-44s %8s %10s %12s\n' "sox on the same file (16-bit x RT)" "ms" "x RT" "ours / sox"
row() {
    xrt=$(echo "scale=1; $secs * 1000 / $2" | bc)
    printf '%-44s %8s %10s %12s\n' "$1" "$2" "$xrt" "$(echo "scale=2; $3 / $xrt" | bc)"
}
row "equalizer x3  vs  equalizer (3 bands)" "$eq" "$(ours 'equalizer (3 bands)')"
row "mcompand 4 bands  vs  enh2 4 bands only" "$mc" "$(ours 'enh2 4 bands only')"
row "compand limiter  vs  enh2 limiter only" "$lim" "$(ours 'enh2 limiter only')"
row "mcompand 4 bands  vs  enh2 \"4 band enhance\"" "$mc" "$(ours 'enh2 "4 band enhance"')"

#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests under the sanitizers, the Windows
# tests and end-to-end tests of zuvo.exe under Wine and a virtual X server, and each fuzz
# harness for a bounded time. Installs what is missing first (as root on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
trap 'scripts/wine-run --stop' EXIT
started=$(date +%s)

step() { echo; echo "=== $* ==="; }

step "native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -L unit

step "Windows build, win and e2e tests and the screenshots under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows -L 'win|e2e|shots'

step "fuzz harnesses (${ZUVO_FUZZ_SECONDS:-20} s each)"
cmake --preset fuzz -DZUVO_FUZZ_SECONDS="${ZUVO_FUZZ_SECONDS:-20}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz -L fuzz

echo
echo "All tests passed in $(( $(date +%s) - started )) s."

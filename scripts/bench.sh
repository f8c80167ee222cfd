#!/usr/bin/env bash
# Builds the MinGW build and runs every Win32 benchmark program
# ($MINGW_BUILD/tests/winbench/*_bench.exe; other programs there are helpers
# the benchmarks start themselves) under Wine in its own Xvfb, with the
# wineserver and every Wine process pinned to one CPU, so that a call that
# reaches the wineserver costs the same on both sides of a comparison.
# Extra arguments are passed to every benchmark. The native benchmarks
# (Google Benchmark) run first, from a release build without sanitizers.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bench_build="$TAMSEL_BUILD/native-bench"
cmake -S "$TAMSEL_ROOT" -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_SANITIZE=OFF >/dev/null
cmake --build "$bench_build" -j 2
for bench in "$bench_build"/tests/bench/*_bench; do
  log "$(basename "$bench")"
  taskset -c 0 "$bench"
done

cmake -S "$TAMSEL_ROOT" -B "$MINGW_BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TAMSEL_ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTAMSEL_JPEG_ROOT="$TAMSEL_JPEG_ROOT" -DTAMSEL_PNG_ROOT="$TAMSEL_PNG_ROOT" >/dev/null
cmake --build "$MINGW_BUILD" -j 2

export TAMSEL_OWN_DISPLAY=1
trap stop_session EXIT
start_xvfb
ensure_prefix
wineserver -k >/dev/null 2>&1 || true
taskset -c 0 wineserver -p >/dev/null 2>&1 || true
taskset -c 0 wine cmd /c exit >/dev/null 2>&1 || true

status=0
shopt -s nullglob
for bench in "$MINGW_BUILD"/tests/winbench/*_bench.exe; do
  log "$(basename "$bench")"
  taskset -c 0 wine "$bench" "$@" || status=1
done
exit $status

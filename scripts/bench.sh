#!/usr/bin/env bash
# Builds the MinGW build and runs every Win32 benchmark program
# ($MINGW_BUILD/tests/winbench/*_bench.exe; the other programs there are
# the baselines the benchmarks start themselves) under Wine in its own Xvfb,
# with this script and the Xvfb pinned to one CPU from then on, so that the
# wineserver, Wine's desktop process, every benchmark and every program a
# benchmark starts share it: a call that reaches the wineserver then costs
# the same on both sides of a comparison. Each benchmark prints one summary line per row
# of the README's performance table, which is written anew from them after a
# full run (scripts/bench_table.py); what every benchmark printed stays in
# $TAMSEL_BUILD/bench-results.txt.
#
# Extra arguments are passed to every benchmark (a file to measure instead
# of shell32.dll); TAMSEL_BENCH_ONLY=REGEX runs only the benchmarks whose
# names match. Either leaves the README as it is. TAMSEL_BENCH_JOBS sets
# the build's parallel jobs (default 2). The native benchmarks (Google
# Benchmark) run first, from a release build without sanitizers, and with
# that build tamsel-cli's memory figure (scripts/cli_memory.sh) and, once
# Wine runs, its speed figures (scripts/cli_bench.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
jobs="${TAMSEL_BENCH_JOBS:-2}"

bench_build="$TAMSEL_BUILD/native-bench"
cmake -S "$TAMSEL_ROOT" --preset native -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DTAMSEL_SANITIZE=OFF >/dev/null
cmake --build "$bench_build" -j "$jobs"
results="$TAMSEL_BUILD/bench-results.txt"
: >"$results"
status=0
# Runs a benchmark script unless TAMSEL_BENCH_ONLY leaves it out, keeping
# its summary lines with the others.
bench_script() {
  local name="$1"
  shift
  if [ -n "${TAMSEL_BENCH_ONLY:-}" ] && ! [[ "$name" =~ $TAMSEL_BENCH_ONLY ]]; then return 0; fi
  log "$name"
  bash "$TAMSEL_ROOT/scripts/$name.sh" "$@" 2>&1 | tee -a "$results" || status=1
}

for bench in "$bench_build"/tests/bench/*_bench; do
  log "$(basename "$bench")"
  taskset -c 0 "$bench"
done
# tamsel-cli's peak memory on a 500 MB library.
bench_script cli_memory "$bench_build"

configure_mingw
cmake --build "$MINGW_BUILD" -j "$jobs" --target tamsel_winbench

export TAMSEL_OWN_DISPLAY=1
trap stop_session EXIT
start_xvfb
# Another Xvfb may have taken the display between the look and the start;
# ours then ends at once.
sleep 0.5
if [ -z "${TAMSEL_XVFB_PID:-}" ] || ! kill -0 "$TAMSEL_XVFB_PID" 2>/dev/null; then
  log "Xvfb did not start on $DISPLAY"
  exit 1
fi
ensure_prefix
wineserver -k >/dev/null 2>&1 || true
taskset -pc 0 "$TAMSEL_XVFB_PID" >/dev/null
taskset -pc 0 $$ >/dev/null
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 || true
if [ -f "$MINGW_BUILD/tools/hold_desktop.exe" ]; then hold_desktop; fi

# tamsel-cli against icoextract and tamsel.exe under Wine, and -j 2 against -j 1.
bench_script cli_bench "$bench_build"

shopt -s nullglob
for bench in "$MINGW_BUILD"/tests/winbench/*_bench.exe; do
  name="$(basename "$bench" .exe)"
  if [ -n "${TAMSEL_BENCH_ONLY:-}" ] && ! [[ "$name" =~ $TAMSEL_BENCH_ONLY ]]; then continue; fi
  log "$name"
  started=$SECONDS
  wine "$bench" "$@" 2>&1 | tee -a "$results" || status=1
  log "$name took $((SECONDS - started)) s"
done

if [ $# -eq 0 ] && [ -z "${TAMSEL_BENCH_ONLY:-}" ]; then
  python3 "$TAMSEL_ROOT/scripts/bench_table.py" "$results" "$TAMSEL_ROOT/README.md"
fi
log "summary:"
grep '^ROW ' "$results" || true
exit $status

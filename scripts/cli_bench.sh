#!/usr/bin/env bash
# Speed of tamsel-cli -allsizes over every icon of the Wine prefix's system
# files that hold icons, against two baselines measured in the same run:
# Debian's icoextract, called once per icon as a script calls it
# (`icoextract -n N FILE OUT.ico`), and tamsel.exe -allsizes under Wine,
# one whole process per file as the window program's batch takes one
# source. tamsel-cli exports every file in one call with one worker. Each
# round runs the contenders one after the other, every one pinned to CPU 0;
# the figures are the medians over the rounds. A last pair of figures sets
# two workers against one (both CPUs free to them), where twice the speed
# is the ideal. Prints one summary line a figure for the README's table
# (scripts/bench_table.py).
#
# Runs inside a Wine session on the current prefix (scripts/bench.sh starts
# one); needs the release build of tamsel-cli and tamsel.exe.
# Usage: cli_bench.sh [BUILD]   (default $TAMSEL_BUILD/native-bench)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
build="${1:-$TAMSEL_BUILD/native-bench}"
cli="$build/tamsel-cli"
exe="$MINGW_BUILD/tamsel.exe"
rounds="${TAMSEL_CLI_BENCH_ROUNDS:-5}"
drive_c="$WINEPREFIX/drive_c"

work="$(mktemp -d "$TAMSEL_BUILD/cli-bench-XXXXXX")"
# Every contender writes into a folder in memory (TAMSEL_CLI_BENCH_OUT,
# /dev/shm where there is one): on this disk creating a file costs about a
# millisecond of the kernel's time, serialised on the folder, which would
# measure the disk rather than the programs.
out_root="${TAMSEL_CLI_BENCH_OUT:-/dev/shm}"
[ -d "$out_root" ] && [ -w "$out_root" ] || out_root="$work"
out="$(mktemp -d "$out_root/tamsel-cli-bench-XXXXXX")"
trap 'rm -rf "$work" "$out"' EXIT

# The sources: the prefix's programs and libraries with icons of their own
# that icoextract reads too, each with its number of icons; of two files of
# one name (notepad.exe is in both folders) the first, as their files would
# have the same names.
sources=()
groups=()
total=0
declare -A seen=()
while IFS= read -r src; do
  name=$(basename "${src,,}")
  [ -z "${seen[$name]:-}" ] || continue
  rm -rf "$work/probe"
  "$cli" -e "$src" "$work/probe" -iconindex=0 -allsizes >/dev/null 2>&1 || continue
  count=$(find "$work/probe" -type f 2>/dev/null | wc -l)
  [ "$count" -gt 0 ] || continue
  icoextract -n 0 "$src" "$work/probe.ico" >/dev/null 2>&1 || continue
  seen[$name]=1
  sources+=("$src")
  groups+=("$count")
  total=$((total + count))
done < <(find "$drive_c/windows" -maxdepth 1 -type f -iname '*.exe'
  find "$drive_c/windows/system32" -maxdepth 1 -type f \
    \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.ocx' -o -iname '*.cpl' \) | sort)
log "tamsel-cli benchmark: ${#sources[@]} files, $total icons, $rounds rounds"
if [ "$total" -eq 0 ]; then
  for row in cli-icoextract cli-wine cli-jobs; do
    printf 'ROW %s | tamsel - | baseline - | ratio - | goal <= 0.1 | MISSED (no file with icons in %s)\n' "$row" "$WINEPREFIX"
  done
  exit 1
fi

# A worker exports one source at a time, and shell32.dll alone is most of
# the work: the figure for two workers takes every source four times (under
# names of their own), so that the work can be shared out evenly.
mkdir -p "$work/copies"
copies=()
for src in "${sources[@]}"; do
  for k in 1 2 3 4; do
    ln -s "$src" "$work/copies/$k-$(basename "$src")"
    copies+=("$work/copies/$k-$(basename "$src")")
  done
done

now_us() { echo $(($(date +%s%N) / 1000)); }

# Each contender writes into a fresh folder; the time is that of the work.
run_cli() { # jobs cpus sources...
  local jobs="$1" cpus="$2"
  shift 2
  rm -rf "$out/cli" && mkdir -p "$out/cli"
  local start; start=$(now_us)
  taskset -c "$cpus" "$cli" -e "$@" "$out/cli" -iconindex=0 -allsizes -j "$jobs" >/dev/null
  echo $(($(now_us) - start))
}
run_icoextract() {
  rm -rf "$out/icoextract" && mkdir -p "$out/icoextract"
  local start i n; start=$(now_us)
  for i in "${!sources[@]}"; do
    for ((n = 0; n < groups[i]; n++)); do
      taskset -c 0 icoextract -n "$n" "${sources[$i]}" "$out/icoextract/$i-$n.ico" >/dev/null 2>&1
    done
  done
  echo $(($(now_us) - start))
}
# tamsel.exe reaches the folder through Wine's drive Z:, the root.
run_window_program() {
  rm -rf "$out/window" && mkdir -p "$out/window"
  local target="Z:${out//\//\\}\\window"
  local start src; start=$(now_us)
  for src in "${sources[@]}"; do
    local path="C:\\${src#"$drive_c/"}"
    taskset -c 0 wine "$exe" -e "${path//\//\\}" "$target" -iconindex=0 -allsizes -closewhendone >/dev/null 2>&1
  done
  echo $(($(now_us) - start))
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

cli1=() ico=() win=() cli1_free=() cli2_free=()
for ((round = 1; round <= rounds; round++)); do
  cli1+=("$(run_cli 1 0 "${sources[@]}")")
  ico+=("$(run_icoextract)")
  win+=("$(run_window_program)")
  cli1_free+=("$(run_cli 1 0,1 "${copies[@]}")")
  cli2_free+=("$(run_cli 2 0,1 "${copies[@]}")")
  log "round $round (µs): tamsel-cli ${cli1[-1]}, icoextract ${ico[-1]}, tamsel.exe ${win[-1]};" \
    "-j 1 ${cli1_free[-1]}, -j 2 ${cli2_free[-1]}"
done
# Every icon is written by each (tamsel-cli's last run: four times).
written_cli=$(($(find "$out/cli" -type f | wc -l) / 4))
written_win=$(find "$out/window" -type f | wc -l)
[ "$written_cli" -eq "$total" ] && [ "$written_win" -eq "$total" ] ||
  log "files written: tamsel-cli $written_cli, tamsel.exe $written_win, icons $total"

row() { # name tamsel baseline goal, the times in µs
  awk -v name="$1" -v t="$2" -v b="$3" -v goal="$4" 'BEGIN {
    t /= 1000
    b /= 1000
    r = t / b
    printf "ROW %s | tamsel %.1fms | baseline %.1fms | ratio %.2f | goal <= %.2g | %s\n",
           name, t, b, r, goal, r <= goal ? "MET" : "MISSED"
  }'
}
row cli-icoextract "$(median "${cli1[@]}")" "$(median "${ico[@]}")" 0.1
row cli-wine "$(median "${cli1[@]}")" "$(median "${win[@]}")" 0.1
row cli-jobs "$(median "${cli2_free[@]}")" "$(median "${cli1_free[@]}")" 0.6

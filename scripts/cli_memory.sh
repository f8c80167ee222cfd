#!/usr/bin/env bash
# The memory figure of tamsel-cli: a library of about 500 MB (one icon and
# one large data resource, scripts/make_large_pe.py) exported with
# -allsizes by the release build without sanitizers, under GNU time. A
# source is mapped, not read, so only the pages looked at count against
# the peak resident set, which should stay below 50 MB. Prints one summary
# line for the README's table (scripts/bench_table.py), the file's size as
# the baseline. The library is removed afterwards.
#
# Usage: cli_memory.sh [BUILD]   (BUILD: the release build, default
# $TAMSEL_BUILD/native-bench, as scripts/bench.sh makes it)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
build="${1:-$TAMSEL_BUILD/native-bench}"
size_mb="${TAMSEL_MEMORY_MB:-500}"
goal_mb=50

work="$(mktemp -d "$TAMSEL_BUILD/cli-memory-XXXXXX")"
trap 'rm -rf "$work"' EXIT
log "writing a library of $size_mb MB"
python3 "$TAMSEL_ROOT/scripts/make_large_pe.py" "$work/large.dll" "$size_mb"

/usr/bin/time -v "$build/tamsel-cli" -e "$work/large.dll" "$work/out" -iconindex=0 -allsizes \
  >"$work/stdout" 2>"$work/time"
written=$(find "$work/out" -type f | wc -l)
if [ "$written" -ne 1 ]; then
  log "tamsel-cli wrote $written files instead of the one icon"
  cat "$work/stdout" "$work/time" >&2
  printf 'ROW cli-memory | tamsel - | baseline - | ratio - | goal <= %dMB | MISSED (the export failed)\n' "$goal_mb"
  exit 1
fi
peak_kb=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time")
file_mb=$(($(stat -c %s "$work/large.dll") >> 20))
awk -v peak="$peak_kb" -v file="$file_mb" -v goal="$goal_mb" 'BEGIN {
  mb = peak / 1024
  printf "ROW cli-memory | tamsel %.1fMB | baseline %.1fMB | ratio %.2f | goal <= %dMB | %s\n",
         mb, file, mb / file, goal, mb < goal ? "MET" : "MISSED"
}'

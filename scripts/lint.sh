#!/usr/bin/env bash
# Fails on a formatting difference, an include against the direction of the
# layers, a file the architecture map does not name, or a finding of
# clang-tidy in the portable core. Needs the native build configured (its
# compile commands); scripts/test.sh runs it after the build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$TAMSEL_ROOT"

status=0
fail() { printf '[lint] %s\n' "$*" >&2; status=1; }

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
mapfile -t program < <(git ls-files 'app/*' 'controls/*' 'gui/*' 'imaging/*' 'util/*' | grep -E '\.(cpp|h)$')

log "format"
clang-format --dry-run --Werror "${sources[@]}" || fail "clang-format: run clang-format -i on the files above"

log "layers"
# What each room may include: app -> controls -> imaging -> util, with gui
# serving app and controls, and gui/model the window layer's portable part.
allowed_for() {
  case "$1" in
    gui/model/*) echo "gui/model util" ;;
    gui/*) echo "gui util" ;;
    util/*) echo "util" ;;
    imaging/*) echo "imaging util" ;;
    controls/*) echo "controls imaging util gui" ;;
    app/*) echo "app controls imaging util gui" ;;
  esac
}
for file in "${program[@]}"; do
  allowed=$(allowed_for "$file")
  while IFS= read -r included; do
    ok=0
    for room in $allowed; do
      case "$included" in "$room"/*) ok=1 ;; esac
    done
    # gui/ may include its own portable models; gui/model/ may not include gui/.
    case "$file:$included" in gui/model/*:gui/model/*) ok=1 ;; gui/model/*:gui/*) ok=0 ;; esac
    [ $ok = 1 ] || fail "$file includes $included, a higher layer"
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  # Portable files see no Windows header, directly or through a Win32 one.
  case "$file" in
    *_win.cpp | *_win.h) ;;
    gui/model/*) grep -qE '^#include (<windows\.h>|"[^"]*_win\.h"|"gui/[a-z_]+\.h")' "$file" && fail "$file is portable but includes Win32 code" ;;
    gui/*) ;;
    *) grep -qE '^#include (<windows\.h>|"[^"]*_win\.h"|"gui/[a-z_]+\.h")' "$file" && fail "$file is portable but includes Win32 code" ;;
  esac
done

log "rooms"
# Every file of a program folder is named in that folder's row of the map in
# ARCHITECTURE.md (by its stem, with or without _win).
for file in "${program[@]}"; do
  room=${file%/*}
  stem=$(basename "$file"); stem=${stem%.*}; stem=${stem%_win}
  row=$(grep -F "| \`$room/\` |" ARCHITECTURE.md || true)
  [ -n "$row" ] || { fail "ARCHITECTURE.md has no row for $room/"; continue; }
  grep -qE "\`$stem([._*]|\`)" <<<"$row" || fail "$file is not named in ARCHITECTURE.md's row for $room/"
done

log "clang-tidy"
if [ ! -f "$NATIVE_BUILD/compile_commands.json" ]; then configure_native; fi
run-clang-tidy -quiet -p "$NATIVE_BUILD" -j "$(nproc)" "$TAMSEL_ROOT/(app|controls|gui|imaging|util)/" >/tmp/tamsel-tidy.$$ 2>&1 ||
  { grep -E 'error:|warning:' /tmp/tamsel-tidy.$$ >&2 || tail -20 /tmp/tamsel-tidy.$$ >&2; fail "clang-tidy found faults"; }
rm -f /tmp/tamsel-tidy.$$

exit $status

#!/usr/bin/env bash
# Sets up what is missing, builds, and runs Tamsel under Wine.
#
# With a display (DISPLAY set) the program's window opens there. Without
# one, Tamsel runs headless in an Xvfb of its own: it exports its own icons
# from the command line as a batch and says where the result is.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TAMSEL_ROOT/scripts/setup.sh" run
build_program
exe="$MINGW_BUILD/tamsel.exe"

if [ -n "${DISPLAY:-}" ] && [ -z "${TAMSEL_HEADLESS:-}" ]; then
  ensure_prefix
  log "starting $exe on $DISPLAY"
  exec wine "$exe" "$@"
fi

export TAMSEL_OWN_DISPLAY=1
trap stop_session EXIT
start_xvfb
ensure_prefix
start_wineserver

out="$TAMSEL_BUILD/headless-run"
rm -rf "$out"
mkdir -p "$out"
winout="Z:$(printf '%s' "$out" | tr / '\\')"
winexe="Z:$(printf '%s' "$exe" | tr / '\\')"
log "no display: exporting tamsel.exe's own icons as a batch (Xvfb $DISPLAY)"
timeout 60 wine "$exe" -e "$winexe" "$winout\\icons" -iconindex=0 -closewhendone
timeout 60 wine "$exe" -e "$winexe" "$winout\\icons.html" -desttype=html -closewhendone
timeout 60 wine "$exe" -e "$winexe" "$winout\\all.bmp" -alliconsasoneimage -closewhendone
timeout 60 wine "$exe" -e "$winexe" "$winout\\icons.dbf" -dbasedesttype=bmp -closewhendone
log "done; the results are in $out:"
find "$out" -type f -printf '  %P (%s bytes)\n' | sort

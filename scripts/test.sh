#!/usr/bin/env bash
# Sets up what is missing, builds both builds and runs every test: the
# format and lint checks, the native unit tests and, under Wine in one Xvfb,
# the Win32 and end-to-end tests.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TAMSEL_ROOT/scripts/setup.sh"
build_all

export TAMSEL_OWN_DISPLAY=1
trap stop_session EXIT
start_xvfb
ensure_prefix
start_wineserver
ensure_prefix64
start_printer

hold_desktop
WINEPREFIX="$TAMSEL_WINEPREFIX64" hold_desktop

status=0
log "format and lint"
bash "$TAMSEL_ROOT/scripts/lint.sh" || status=1
log "native tests"
ctest --test-dir "$NATIVE_BUILD" --output-on-failure -j "$(nproc)" || status=1
log "Win32 and end-to-end tests under Wine"
hold_desktop
WINEPREFIX="$TAMSEL_WINEPREFIX64" hold_desktop
ctest --test-dir "$MINGW_BUILD" --output-on-failure || status=1
log "tamsel-cli against tamsel.exe"
bash "$TAMSEL_ROOT/tests/cli/compare_with_window.sh" || status=1
exit $status

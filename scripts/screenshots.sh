#!/bin/bash
# Renders every control kind in its states, the dialogs and the main window
# from the real programs into docs/screenshots/ (PNG), in an Xvfb of its own.
# Usage: bash scripts/screenshots.sh   (builds first when the programs are missing)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
export TAMSEL_OWN_DISPLAY=1
trap stop_session EXIT

gallery="$MINGW_BUILD/tamsel_gallery.exe"
[ -x "$gallery" ] && [ -x "$MINGW_BUILD/tamsel.exe" ] || build_all
start_xvfb
ensure_prefix
start_wineserver

out="$TAMSEL_ROOT/docs/screenshots"
mkdir -p "$out"

# shot NAME TITLE PROGRAM [ARGS...]: starts the program, waits for a window
# whose title starts with TITLE, saves it as NAME.png and ends the program.
# With SHOT_ACTION set, that xdotool command runs against the window first
# (%1 is the window) and the picture is taken of the screen around it, so
# that a menu it drops shows too.
shot() {
  local name=$1 title=$2 id=""
  shift 2
  wine "$@" >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$title" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  if [ -z "$id" ]; then
    log "no window \"$title\" for $name"
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 2  # let it paint
  if [ -n "${SHOT_ACTION:-}" ]; then
    xdotool search --onlyvisible --name "^$title" $SHOT_ACTION
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 40))+$((X - 20))+$((Y - 30))" +repage "$out/$name.png"
  else
    import -window "$id" "$out/$name.png"
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  log "$out/$name.png"
}

for page in buttons buttons-classic popup push labels splitters; do
  shot "control-$page" "Tamsel controls - $page" "$gallery" "$page"
done
# The file lists: the search edit typed into, and the long row's hint under
# the resting mouse.
SHOT_ACTION="mousemove --window %1 360 20 mousemove --window %1 390 $((30 + 5 * 18 + 9 + 24))" \
  shot control-list "Tamsel controls - list" "$gallery" list
shot dialog-save "Save" "$gallery" save
shot dialog-folder "Browse for Folder" "$gallery" dir
shot dialog-print "Printing icon" "$gallery" print
shot dialog-about "About" "$gallery" about
shot dialog-options-html "导出为 HTML" "$gallery" options-html
shot dialog-options-dbase "导出到数据库" "$gallery" options-dbase
# The main window: with its own few icons (the invitation to drop files
# shows), with Wine's shell32.dll, and with the save menu dropped.
shot main-window "Tamsel" "$MINGW_BUILD/tamsel.exe"
shell32='C:\windows\system32\shell32.dll'
shot main-window-library "Tamsel" "$MINGW_BUILD/tamsel.exe" "$shell32"
SHOT_ACTION="mousemove --window %1 76 45 click 1" shot main-window-save-menu "Tamsel" "$MINGW_BUILD/tamsel.exe" "$shell32"
# The search pane, opened as it was left, after the button that finds the
# open file's folder was pressed: the system folder's files with icons.
wine reg add 'HKCU\Software\Korvane\Tamsel\Placement' /v FindPanelVisible /d 1 /f >/dev/null 2>&1
SHOT_ACTION="mousemove --window %1 177 235 click 1 sleep 6" \
  shot main-window-search-pane "Tamsel" "$MINGW_BUILD/tamsel.exe" "$shell32"
wine reg delete 'HKCU\Software\Korvane\Tamsel\Placement' /v FindPanelVisible /f >/dev/null 2>&1

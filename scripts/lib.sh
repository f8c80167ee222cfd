# Shared by the build, run and test scripts: paths, the Wine prefix and Xvfb.
# Source it; it defines functions and variables only.

TAMSEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TAMSEL_BUILD="${TAMSEL_BUILD:-$TAMSEL_ROOT/build}"
case "$TAMSEL_BUILD" in /*) ;; *) TAMSEL_BUILD="$TAMSEL_ROOT/$TAMSEL_BUILD" ;; esac
TAMSEL_CACHE="${TAMSEL_CACHE:-/var/cache/tamsel}"
TAMSEL_JPEG_ROOT="$TAMSEL_CACHE/libjpeg-turbo-mingw32"
TAMSEL_PNG_ROOT="$TAMSEL_CACHE/libpng-mingw32"
NATIVE_BUILD="$TAMSEL_BUILD/native"
MINGW_BUILD="$TAMSEL_BUILD/mingw"
# tamsel64.exe, the same program for 64-bit Windows, which the tests run in
# a 64-bit prefix of its own beside the 32-bit one.
MINGW64_BUILD="$TAMSEL_BUILD/mingw64"
TAMSEL64_EXE="$MINGW64_BUILD/tamsel64.exe"
TAMSEL_WINEPREFIX64="$TAMSEL_BUILD/wineprefix64"
export WINEPREFIX="${WINEPREFIX:-$TAMSEL_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

log() { printf '[tamsel] %s\n' "$*"; }

# Configures the MinGW build; the test programs are left out where their
# GoogleTest sources are not installed (a machine set up only for running).
configure_mingw() {
  local tests=ON
  [ -f /usr/src/googletest/CMakeLists.txt ] || tests=OFF
  cmake -S "$TAMSEL_ROOT" --preset mingw -B "$MINGW_BUILD" -DTAMSEL_BUILD_TESTS=$tests \
    -DTAMSEL64_EXE="$TAMSEL64_EXE" -DTAMSEL_WINEPREFIX64="$TAMSEL_WINEPREFIX64" \
    -DTAMSEL_JPEG_ROOT="$TAMSEL_JPEG_ROOT" -DTAMSEL_PNG_ROOT="$TAMSEL_PNG_ROOT" >/dev/null
}

configure_native() {
  cmake -S "$TAMSEL_ROOT" --preset native -B "$NATIVE_BUILD" >/dev/null
}

# tamsel64.exe alone: the tests need nothing else of the 64-bit build.
build_program64() {
  cmake -S "$TAMSEL_ROOT" --preset mingw64 -B "$MINGW64_BUILD" \
    -DTAMSEL_JPEG_ROOT="$TAMSEL_CACHE/libjpeg-turbo-mingw64" -DTAMSEL_PNG_ROOT="$TAMSEL_CACHE/libpng-mingw64" >/dev/null
  cmake --build "$MINGW64_BUILD" -j "$(nproc)" --target tamsel
}

# What running needs: tamsel.exe and its help file, nothing of the tests.
build_program() {
  configure_mingw
  local targets=(tamsel)
  if ninja -C "$MINGW_BUILD" -t targets all 2>/dev/null | grep -q '^tamsel_help:'; then targets+=(tamsel_help); fi
  cmake --build "$MINGW_BUILD" -j "$(nproc)" --target "${targets[@]}"
}

build_all() {
  local jobs; jobs="$(nproc)"
  configure_native
  cmake --build "$NATIVE_BUILD" -j "$jobs"
  build_program64
  configure_mingw
  cmake --build "$MINGW_BUILD" -j "$jobs"
}

# Starts an Xvfb of our own on a free display unless one is given, and stops
# it when the calling script ends.
start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${TAMSEL_OWN_DISPLAY:-}" ]; then return 0; fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  TAMSEL_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
}

stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$TAMSEL_WINEPREFIX64" wineserver -k >/dev/null 2>&1 || true
  if [ -n "${TAMSEL_XVFB_PID:-}" ]; then kill "$TAMSEL_XVFB_PID" 2>/dev/null || true; fi
}

# The build's own Wine prefix: made once, then configured so that closing a
# window does not stall without a window manager and Chinese texts render.
# A 32-bit prefix, unless WINEARCH says otherwise (where Wine's 64-bit
# package is installed, a new prefix would be 64-bit).
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/.tamsel-ready" ]; then
    log "making the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    WINEARCH="${WINEARCH:-win32}" wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei\0SIMSUN.TTC,SimSun' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tamsel-ready"
  fi
}

# One wineserver for the whole run, so that every test starts warm.
start_wineserver() {
  wineserver -p >/dev/null 2>&1 || true
  wine cmd /c exit >/dev/null 2>&1 || true
}

# The 64-bit prefix of the tests that need one; in the same state as the
# 32-bit one, with its own wineserver.
ensure_prefix64() {
  WINEPREFIX="$TAMSEL_WINEPREFIX64" WINEARCH=win64 ensure_prefix
  WINEPREFIX="$TAMSEL_WINEPREFIX64" start_wineserver
}

# Whether a process of the current prefix runs whose command line matches
# the pattern.
prefix_process_running() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then return 0; fi
  done
  return 1
}

# Keeps one Wine desktop process of the current prefix for the whole test
# run (see tests/tools/hold_desktop.cpp): starts the holder unless it runs,
# and waits until the desktop process is there. Its output goes nowhere, so
# that no test's output pipe is ever held by it.
hold_desktop() {
  if ! prefix_process_running 'hold_desktop\.exe'; then
    wine "$MINGW_BUILD/tools/hold_desktop.exe" >/dev/null 2>&1 </dev/null &
  fi
  for _ in $(seq 300); do
    if prefix_process_running 'hold_desktop\.exe' && prefix_process_running 'explorer\.exe /desktop'; then return 0; fi
    sleep 0.1
  done
  log "Wine's desktop process did not start in $WINEPREFIX"
  return 1
}

# A PDF printer for the printing tests: CUPS without systemd and a cups-pdf
# queue "PDF", made the default printer, that writes its PDFs into
# TAMSEL_PRINT_DIR (exported for the tests, which look for the printed page
# there). Wine sees CUPS printers only through the 32-bit CUPS library.
# Without CUPS or cups-pdf the printing tests skip themselves.
TAMSEL_PRINT_DIR="$TAMSEL_BUILD/printed"
start_printer() {
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  if ! command -v cupsd >/dev/null 2>&1 || [ ! -f "$ppd" ]; then
    log "no CUPS or cups-pdf here: the printing tests will skip"
    return 0
  fi
  mkdir -p /run/cups "$TAMSEL_PRINT_DIR"
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    cupsd || { log "cupsd did not start: the printing tests will skip"; return 0; }
    for _ in $(seq 100); do
      lpstat -r 2>/dev/null | grep -q 'is running' && break
      sleep 0.1
    done
  fi
  # lpadmin warns that printer drivers are deprecated; the queue works.
  if ! lpadmin -p PDF -E -v cups-pdf:/PDF -P "$ppd" 2>/dev/null || ! lpadmin -d PDF; then
    log "could not set up the PDF printer: the printing tests will skip"
    return 0
  fi
  printf 'Out %s\n' "$TAMSEL_PRINT_DIR" >/etc/cups/cups-pdf-PDF.conf
  export TAMSEL_PRINT_DIR
}

#!/usr/bin/env bash
# Installs what building and testing Tamsel needs on a Debian machine, as root.
# Safe to run again: every step checks first and does only what is missing.
#
#   setup.sh run    what building and running tamsel.exe needs
#   setup.sh        that and what the tests and benchmarks need besides
set -euo pipefail
purpose="${1:-test}"

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${TAMSEL_CACHE:-/var/cache/tamsel}"
mkdir -p "$cache"

log() { printf '[setup] %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Running: the cross compiler and the libraries' sources, Wine and Xvfb,
# a CJK font and the help compiler.
packages=(
  cmake ninja-build
  libz-mingw-w64-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686 nasm
  wine wine32 xvfb xauth fonts-wqy-microhei fp-utils
  dpkg-dev xz-utils
)
# Testing: the native build, the checkers, X input, the PDF printer and the
# format and lint tools.
if [ "$purpose" != run ]; then
  packages+=(
    build-essential pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libjpeg62-turbo-dev libjpeg-turbo-progs imagemagick libpng-dev
    x11-utils xdotool libx11-dev python3-dbfread python3-pefile icoutils icoextract time
    cups printer-driver-cups-pdf libcups2:i386 poppler-utils util-linux
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
    clang-format clang-tidy
  )
fi

apt_updated=0
apt_update() {
  if [ "$apt_updated" -eq 0 ]; then
    as_root apt-get update -qq
    apt_updated=1
  fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "adding the i386 architecture"
  as_root dpkg --add-architecture i386
  apt_updated=0
  apt_update
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  log "installing: ${missing[*]}"
  apt_update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Makes Debian's source packages reachable: when apt cannot fetch the
# source of $1, a deb-src entry is derived from the machine's Debian list.
ensure_deb_src() {
  local src_list=/etc/apt/sources.list.d/tamsel-deb-src.sources
  if ! apt-get source --print-uris "$1" >/dev/null 2>&1; then
    log "deriving a deb-src entry from the machine's Debian source list"
    tmp="$(mktemp)"
    if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
      for f in /etc/apt/sources.list.d/*.sources; do
        [ "$f" = "$src_list" ] && continue
        sed -n '/^Types:/,/^$/p' "$f" | grep -q 'deb' || continue
        awk 'BEGIN{RS="";FS="\n"} /(^|\n)Types:.*deb/ && /debian/ {
               out=""; for(i=1;i<=NF;i++){ if ($i ~ /^Types:/) $i="Types: deb-src"; out=out $i "\n" } print out }' "$f" >>"$tmp"
      done
    fi
    if [ -f /etc/apt/sources.list ]; then
      grep -E '^deb[[:space:]]' /etc/apt/sources.list | sed 's/^deb[[:space:]]/deb-src /' >"$tmp.list" || true
      [ -s "$tmp.list" ] && as_root cp "$tmp.list" /etc/apt/sources.list.d/tamsel-deb-src.list
    fi
    [ -s "$tmp" ] && as_root cp "$tmp" "$src_list"
    rm -f "$tmp" "$tmp.list"
    as_root apt-get update -qq
  fi
}

# Unpacks Debian's source package $1 into the folder $2/src. A mirror may
# lack the newest version of a package (a security update, say), so every
# version that apt knows is tried, newest first.
fetch_deb_src() {
  ensure_deb_src "$1"
  rm -rf "$2"; mkdir -p "$2"
  log "fetching Debian's $1 source"
  local v
  for v in "" $(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -rV); do
    (cd "$2" && apt-get source -qq --download-only "$1${v:+=$v}" >/dev/null 2>&1) && break
    rm -f "$2"/*
  done
  (cd "$2" && dpkg-source -x --no-check ./*.dsc src >/dev/null)
}

# libjpeg-turbo and libpng for MinGW, built from Debian's own source
# packages (libpng over the zlib of Debian's libz-mingw-w64-dev), static,
# for one target: i686 (cache suffix 32) or x86_64 (suffix 64).
build_mingw_libraries() {
  local triple="$1" bits="$2" processor="$3"
  local jpeg_prefix="$cache/libjpeg-turbo-mingw$bits" png_prefix="$cache/libpng-mingw$bits" work
  local cross=(-DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$processor"
               -DCMAKE_C_COMPILER="$triple-gcc-posix" -DCMAKE_RC_COMPILER="$triple-windres"
               -DCMAKE_BUILD_TYPE=Release)
  if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
    work="$cache/libjpeg-turbo-src"
    fetch_deb_src libjpeg-turbo "$work"
    log "building libjpeg-turbo for $triple"
    cmake -S "$work/src" -B "$work/build" -G Ninja "${cross[@]}" -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
      -DWITH_SIMD=ON >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
    cmake --build "$work/build" --target jpeg-static >"$work/build.log" 2>&1 || { tail -50 "$work/build.log"; exit 1; }
    mkdir -p "$jpeg_prefix/lib" "$jpeg_prefix/include"
    cp "$work/build/libjpeg.a" "$jpeg_prefix/lib/libjpeg.a"
    cp "$work/src/jpeglib.h" "$work/src/jmorecfg.h" "$work/src/jerror.h" "$work/build/jconfig.h" "$jpeg_prefix/include/"
    rm -rf "$work"
  fi
  log "libjpeg-turbo for $triple: $jpeg_prefix"
  if [ ! -f "$png_prefix/lib/libpng.a" ]; then
    work="$cache/libpng-src"
    fetch_deb_src libpng1.6 "$work"
    log "building libpng for $triple"
    cmake -S "$work/src" -B "$work/build" -G Ninja "${cross[@]}" \
      -DCMAKE_FIND_ROOT_PATH="/usr/$triple" \
      -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
      -DCMAKE_INSTALL_PREFIX="$png_prefix" \
      -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
    cmake --build "$work/build" --target png_static >"$work/build.log" 2>&1 || { tail -50 "$work/build.log"; exit 1; }
    mkdir -p "$png_prefix/lib" "$png_prefix/include"
    cp "$work/build/libpng16.a" "$png_prefix/lib/libpng.a"
    cp "$work/src/png.h" "$work/src/pngconf.h" "$work/build/pnglibconf.h" "$png_prefix/include/"
    rm -rf "$work"
  fi
  log "libpng for $triple: $png_prefix"
}

build_mingw_libraries i686-w64-mingw32 32 X86
# tamsel64.exe, which only the tests need.
[ "$purpose" = run ] || build_mingw_libraries x86_64-w64-mingw32 64 AMD64

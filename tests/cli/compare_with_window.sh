#!/usr/bin/env bash
# tamsel-cli against tamsel.exe: every fixture and every file of the Wine
# prefix's Windows folder that holds icons, exported with -allsizes as ICO
# and as PNG by both programs, must give the same files, byte for byte;
# the ICO files of an executable must also be its groups as an independent
# reader sees them (tests/e2e/icon_groups_peer.py, pefile).
# Runs inside a Wine session (scripts/test.sh starts one); needs both builds.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

cli="$NATIVE_BUILD/tamsel-cli"
exe="$MINGW_BUILD/tamsel.exe"
work="$WINEPREFIX/drive_c/cmpcli"
rm -rf "$work"
mkdir -p "$work/src" "$work/win" "$work/cli"

mapfile -t candidates < <(
  find "$MINGW_BUILD/fixtures" -maxdepth 1 -type f \( -name '*.dll' -o -name '*.exe' -o -name '*.ico' \)
  find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -type f -iname '*.exe'
  find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -type f \
    \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.ocx' -o -iname '*.cpl' \))

failed=0
compared=0
peer_list="$work/peer.txt"
: >"$peer_list"
files=0
for i in "${!candidates[@]}"; do
  src="${candidates[$i]}"
  base=$(basename "$src")
  # Only files with icons: the window program answers a file without any
  # with a message, which a batch without a user would wait on.
  probe="$work/probe"
  rm -rf "$probe"
  "$cli" -e "$src" "$probe" -iconindex=0 -allsizes >/dev/null 2>&1 || continue
  [ -n "$(ls -A "$probe" 2>/dev/null)" ] || continue
  mkdir -p "$work/src/$i"
  cp "$src" "$work/src/$i/$base"
  for type in ICO PNG; do
    out="$i-$type"
    timeout 120 wine "$exe" -e "C:\\cmpcli\\src\\$i\\$base" "C:\\cmpcli\\win\\$out" -iconindex=0 -desttype=$type \
      -allsizes -closewhendone >/dev/null 2>&1
    "$cli" -e "$work/src/$i/$base" "$work/cli/$out" -iconindex=0 -desttype=$type -allsizes >/dev/null 2>&1
    if ! diff -r "$work/win/$out" "$work/cli/$out" >/dev/null 2>&1; then
      log "tamsel-cli and tamsel.exe differ on $base ($type -allsizes)"
      failed=1
    fi
    files=$((files + $(find "$work/cli/$out" -type f 2>/dev/null | wc -l)))
  done
  # The independent reader has its limits: pefile stops reading a resource
  # directory of tens of thousands of entries, and ImageMagick refuses an
  # image without its AND mask.
  case "$base" in
    *.ico | *.ICO | large_library.dll | nomask.dll) ;;
    *) printf '%s\t%s\t%s\n' "$work/src/$i/$base" "$work/cli/$i-ICO" "${base%.*}" >>"$peer_list" ;;
  esac
  compared=$((compared + 1))
done
log "tamsel-cli against tamsel.exe: $compared sources with icons, $files files compared"
peer=$(/usr/bin/python3 "$TAMSEL_ROOT/tests/e2e/icon_groups_peer.py" "$peer_list")
log "tamsel-cli against pefile: ${peer##*$'\n'}"
if [ "$(printf '%s\n' "$peer" | wc -l)" -ne 1 ]; then
  printf '%s\n' "$peer" >&2
  failed=1
fi
[ "$compared" -gt 0 ] || { log "no source with icons found"; failed=1; }
[ $failed = 0 ] && rm -rf "$work"
exit $failed

#!/usr/bin/env bash
# tamsel-cli against tamsel.exe: every fixture and every file of the Wine
# prefix's Windows folder that holds icons, exported by both programs with
# the same switches for every destination type (whole groups as ICO and as
# PNG, the shell's single image as ICO and as PNG, drawn as BMP and JPG, the
# HTML page with its images, the dBase table with its memos), must give the
# same files, byte for byte; the ICO files of an executable's whole groups
# must also be its groups as an independent reader sees them
# (tests/e2e/icon_groups_peer.py, pefile).
#
# Two things differ by nature and are set aside before comparing: the HTML
# page names the source as each program was given it (a Windows path against
# a Unix one), and a dBase table carries the day it was written.
# Runs inside a Wine session (scripts/test.sh starts one); needs both builds.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

cli="$NATIVE_BUILD/tamsel-cli"
exe="$MINGW_BUILD/tamsel.exe"
work="$WINEPREFIX/drive_c/cmpcli"
rm -rf "$work"
mkdir -p "$work/src" "$work/win" "$work/cli" "$work/result"

mapfile -t candidates < <(
  find "$MINGW_BUILD/fixtures" -maxdepth 1 -type f \( -name '*.dll' -o -name '*.exe' -o -name '*.ico' \)
  find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -type f -iname '*.exe'
  find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -type f \
    \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.ocx' -o -iname '*.cpl' \))

# Each variant: its name, the target's name and the switches. Every
# destination type runs over every source; the variants after them, which
# vary a document's or a single file's switches over the same encoders, run
# over the fixtures and shell32.dll.
variants=(
  "ico-all|out|-iconindex=0 -desttype=ICO -allsizes"
  "png-all|out|-iconindex=0 -desttype=PNG -allsizes"
  "ico|out|-iconindex=0 -desttype=ICO"
  "png-grey|out|-iconindex=0 -desttype=PNG -grayscale"
  "bmp|out|-iconindex=0 -desttype=BMP"
  "jpg-grey|out|-iconindex=0 -desttype=JPG -grayscale"
  "html|page.htm|-includenumbers -drawborders"
  "dbf|table.dbf|"
)
some_variants=(
  "one-png|first.png|-iconindex=1"
  "one-png-all|first.png|-iconindex=1 -desttype=PNG -allsizes -grayscale"
  "html-png|page.htm|-htmldesttype=PNG -grayscale"
  "dbf-jpg|table.dbf|-dbasedesttype=JPG -dbasefieldname=Picture"
)

# The HTML page lays its table out by the window's grid: the window takes
# its first size, as tamsel-cli's default column count assumes.
wine reg delete 'HKCU\Software\Korvane\Tamsel\Placement' /f >/dev/null 2>&1

# Both programs on one source with one variant; the result goes into a file
# of its own, as several run at once.
compare_one() {
  local i=$1 base=$2 v=$3
  local name=${v%%|*} rest=${v#*|}
  local target=${rest%%|*} switches=${rest#*|}
  local out="$i-$name"
  mkdir -p "$work/win/$out" "$work/cli/$out"
  # shellcheck disable=SC2086
  timeout 180 wine "$exe" -e "C:\\cmpcli\\src\\$i\\$base" "C:\\cmpcli\\win\\$out\\$target" $switches \
    -closewhendone >/dev/null 2>&1
  # shellcheck disable=SC2086
  "$cli" -e "$work/src/$i/$base" "$work/cli/$out/$target" $switches >/dev/null 2>&1
  local page
  for page in "$work/cli/$out"/*.htm; do
    [ -f "$page" ] && sed -i "s|$work/src/$i/$base|C:\\\\cmpcli\\\\src\\\\$i\\\\$base|g" "$page"
  done
  local table
  for table in "$work/win/$out"/*.dbf "$work/cli/$out"/*.dbf; do
    [ -f "$table" ] && printf '\0\0\0' | dd of="$table" bs=1 seek=1 conv=notrunc status=none
  done
  local files
  files=$(find "$work/cli/$out" -type f | wc -l)
  if diff -r "$work/win/$out" "$work/cli/$out" >/dev/null 2>&1; then
    echo "same $files" >"$work/result/$out"
    rm -rf "$work/win/$out"
    [ "$name" = ico-all ] || rm -rf "$work/cli/$out"
  else
    echo "differ $base ($name)" >"$work/result/$out"
  fi
}

compared=0
expected=0
peer_list="$work/peer.txt"
: >"$peer_list"
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
  chosen=("${variants[@]}")
  case "$src" in
    */large_library.dll) ;;  # its 40,000 icons are in every type's run already
    "$MINGW_BUILD"/fixtures/* | */shell32.dll) chosen+=("${some_variants[@]}") ;;
  esac
  expected=$((expected + ${#chosen[@]}))
  for v in "${chosen[@]}"; do
    # Two at a time: the machine's cores, and the Wine server between them.
    while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n; done
    compare_one "$i" "$base" "$v" &
  done
  # The independent reader has its limits: pefile stops reading a resource
  # directory of tens of thousands of entries, and ImageMagick refuses an
  # image without its AND mask.
  case "$base" in
    *.ico | *.ICO | large_library.dll | nomask.dll) ;;
    *) printf '%s\t%s\t%s\n' "$work/src/$i/$base" "$work/cli/$i-ico-all/out" "${base%.*}" >>"$peer_list" ;;
  esac
  compared=$((compared + 1))
done
wait

failed=0
files=0
while read -r verdict rest; do
  if [ "$verdict" = same ]; then
    files=$((files + rest))
  else
    log "tamsel-cli and tamsel.exe differ on $rest"
    failed=1
  fi
done < <(cat "$work/result"/*)
runs=$(find "$work/result" -type f | wc -l)
log "tamsel-cli against tamsel.exe: $compared sources with icons, $runs exports, $files files compared"
peer=$(/usr/bin/python3 "$TAMSEL_ROOT/tests/e2e/icon_groups_peer.py" "$peer_list")
log "tamsel-cli against pefile: ${peer##*$'\n'}"
if [ "$(printf '%s\n' "$peer" | wc -l)" -ne 1 ]; then
  printf '%s\n' "$peer" >&2
  failed=1
fi
[ "$compared" -gt 0 ] || { log "no source with icons found"; failed=1; }
[ "$runs" -eq "$expected" ] || { log "some runs gave no result"; failed=1; }
[ $failed = 0 ] && rm -rf "$work"
exit $failed

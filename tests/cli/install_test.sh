#!/usr/bin/env bash
# Installs the native build into a fresh prefix and checks that the two
# programs, the thumbnailer entry and the manual page land where desktops
# and man look for them, and that the page renders without a warning
# (where groff is installed). Usage: install_test.sh NATIVE_BUILD
set -euo pipefail
build="$1"
prefix="$(mktemp -d /tmp/tamsel-install-XXXXXX)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
status=0
for file in bin/tamsel-cli bin/tamsel-thumbnailer share/thumbnailers/tamsel.thumbnailer share/man/man1/tamsel-cli.1; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; status=1; }
done
for program in bin/tamsel-cli bin/tamsel-thumbnailer; do
  [ -x "$prefix/$program" ] || { echo "not executable: $program"; status=1; }
done
grep -qx 'Exec=tamsel-thumbnailer %i %o %s' "$prefix/share/thumbnailers/tamsel.thumbnailer" ||
  { echo "the thumbnailer entry does not start tamsel-thumbnailer"; status=1; }

if command -v groff >/dev/null 2>&1; then
  warnings="$(groff -man -Tutf8 -ww -z "$prefix/share/man/man1/tamsel-cli.1" 2>&1)"
  [ -z "$warnings" ] || { echo "groff: $warnings"; status=1; }
else
  echo "groff is not installed: the manual page's rendering is not checked"
fi
exit $status

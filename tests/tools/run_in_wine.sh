#!/bin/sh
# Runs a Wine test program for ctest with its output in a file, and passes
# the output and the exit code on once it has ended.
#
# A Wine program may start Wine's desktop process, which inherits the
# program's output and lives on after it; given ctest's pipe, it would keep
# ctest waiting for the test's whole timeout. A file it may keep.
out="$(mktemp "${TMPDIR:-/tmp}/tamsel-test.XXXXXX")" || exit 1
wine "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status

#!/usr/bin/env bash
# Runs one Windows test program under Wine: ctest's emulator for the suites of the Windows build.
# Wine now and then fails to start a process at all: it ends with a failure status before the program
# has printed anything, while every test program prints GoogleTest's first line (or the test list)
# before anything else. Such a run, and only such a run, is started once more; each re-run is named on
# stderr and added to the file $QUILLARY_WINE_RERUNS (when set), which the Windows stage prints at its
# end. A test that printed anything, or fails to start twice, fails as it is.
set -uo pipefail
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err"
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
    note="Wine did not start it (status $status, no output), run once more: $*"
    echo "$note" >&2
    if [ -n "${QUILLARY_WINE_RERUNS:-}" ]; then
        echo "$note" >>"$QUILLARY_WINE_RERUNS"
    fi
    wine "$@" >"$out" 2>"$err"
    status=$?
fi
cat "$out"
cat "$err" >&2
exit "$status"

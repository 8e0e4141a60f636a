#!/usr/bin/env bash
# Prints the tests of the last ctest run in BUILD_DIR that were skipped, each with the reason it gave
# (the lines GoogleTest prints after "Skipped"), so that a stage shows what it did not test:
#   tests/skipped_tests.sh BUILD_DIR
set -euo pipefail
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
tr -d '\r' <"$log" | awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); reason = ""; inside = 0; next }
    /^(.*: )?Skipped$/ { inside = 1; next }
    inside && (/^$/ || /^\[  SKIPPED \]/) { inside = 0 }
    inside { reason = reason (reason == "" ? "" : " ") $0; next }
    /^Test Pass Reason:$/ { pass = 1; next }
    pass && /^Skip regular expression found/ { skipped[++n] = name ": " (reason == "" ? "(no reason given)" : reason) }
    { pass = 0 }
    END {
        if (n == 0) { print "No test was skipped."; exit }
        print "Skipped tests (" n "), with their reasons:"
        for (i = 1; i <= n; ++i) print "  " skipped[i]
    }'

#!/usr/bin/env bash
# Runs a GUI test process on its own virtual X server. Listing the tests needs no display.
set -euo pipefail
for arg in "$@"; do
    if [ "$arg" = "--gtest_list_tests" ]; then
        exec "$@"
    fi
done
exec xvfb-run -a --server-args="-screen 0 1280x1024x24" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs quillary-cli.
# Without arguments it lists the current folder to standard output; otherwise the arguments are
# passed to quillary-cli (try --help).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [ $# -eq 0 ]; then
    exec build/quillary-cli --output - .
fi
exec build/quillary-cli "$@"

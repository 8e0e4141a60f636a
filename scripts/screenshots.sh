#!/usr/bin/env bash
# Pictures of every page of the window, in English and German, as PNG files:
#   scripts/screenshots.sh [DIR]     (default DIR: /tmp/quillary-shots)
# Builds quillary-screenshots in build/ (BUILD_DIR= for another build folder) and runs it on a virtual
# X server of 1280x1024 (xvfb-run; ImageMagick's import takes the pictures).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/quillary-shots}
build=${BUILD_DIR:-$repo/build}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$repo" -B "$build" -DQUILLARY_GUI=ON >/dev/null
cmake --build "$build" --target quillary-screenshots -j2 >/dev/null
exec xvfb-run -a --server-args="-screen 0 1280x1024x24" "$build/scripts/screenshots/quillary-screenshots" "$out"

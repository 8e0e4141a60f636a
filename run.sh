#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the window `quillary`. Without a display
# (neither $DISPLAY nor $WAYLAND_DISPLAY) it says so and lists the current folder with quillary-cli.
# With arguments it runs quillary-cli with them (try --help); relative paths are taken from the
# folder run.sh was started in. Standard output is the program's alone: what the package manager and
# the build print goes to stderr, so that `./run.sh --output - . > list.txt` holds the listing only.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
(
    cd "$here"
    scripts/install-deps.sh
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARY_GUI=ON >/dev/null
    cmake --build build -j2
) >&2
if [ $# -gt 0 ]; then
    exec "$here/build/quillary-cli" "$@"
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$here/build/quillary"
fi
echo "run.sh: no display (\$DISPLAY and \$WAYLAND_DISPLAY are unset); listing the current folder with quillary-cli instead" >&2
exec "$here/build/quillary-cli" --output - .

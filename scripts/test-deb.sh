#!/usr/bin/env bash
# Builds the Debian package from the build folder, installs it with its dependencies, checks that the
# installed programs and files are there and that `quillary-cli --version` runs, and removes it again.
# Needs root (or sudo), as any package installation does.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/quillary_*.deb | head -n 1)
echo "package: $deb"
dpkg-deb --field "$deb" Depends
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo_cmd dpkg -r quillary >/dev/null' EXIT
for file in /usr/bin/quillary /usr/bin/quillary-cli /usr/share/quillary/Readme.html \
    /usr/share/quillary/Deutsch.lng /usr/share/applications/quillary.desktop \
    /usr/share/icons/hicolor/scalable/apps/quillary.svg; do
    [ -e "$file" ] || { echo "missing after install: $file"; exit 1; }
done
/usr/bin/quillary-cli --version
echo "package installs and runs"

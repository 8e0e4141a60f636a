#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks it with lintian (no errors, no warnings) and
# its AppStream metadata with appstreamcli, installs it with its dependencies, checks that the installed
# programs and files are there and that `quillary-cli --version` runs, and removes it again.
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
appstreamcli validate --no-net res/org.example.quillary.metainfo.xml
# Any error or warning fails; informational tags are shown.
lintian --fail-on error,warning --info "$deb"
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo_cmd dpkg -r quillary >/dev/null' EXIT
for file in /usr/bin/quillary /usr/bin/quillary-cli /usr/share/quillary/Readme.html \
    /usr/share/quillary/Deutsch.lng /usr/share/applications/quillary.desktop \
    /usr/share/icons/hicolor/scalable/apps/quillary.svg /usr/share/doc/quillary/copyright \
    /usr/share/doc/quillary/changelog.gz /usr/share/man/man1/quillary.1.gz \
    /usr/share/man/man1/quillary-cli.1.gz /usr/share/metainfo/org.example.quillary.metainfo.xml; do
    [ -e "$file" ] || { echo "missing after install: $file"; exit 1; }
done
/usr/bin/quillary-cli --version
echo "package installs and runs"

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when something is missing.
# `install-deps.sh windows` also installs the MinGW-w64 cross compiler and Wine for the Windows build.
set -euo pipefail

packages=(g++ cmake make pkg-config libisal-dev libssl-dev libxxhash-dev libsqlite3-dev libgtest-dev python3 clang libclang-rt-14-dev time clang-format ccache
          libwxgtk3.2-dev libwxgtk-webview3.2-dev xvfb xauth imagemagick dpkg-dev lintian appstream chromium)
if [ "${1:-}" = "windows" ]; then
    packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 nsis fonts-wine librsvg2-bin)
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

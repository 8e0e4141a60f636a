#!/usr/bin/env bash
# Provides static wxMSW libraries for the MinGW-w64 cross-build of the window, built from Debian's own
# wxWidgets source package, and prints the folder they are installed in (its bin/wx-config is what
# CMake's wxWidgets finder runs).
#
# The build is kept in a cache folder outside the repository (QUILLARY_CACHE, default
# /var/cache/quillary), named by the wxWidgets version and a key of everything that goes into it: the
# Debian source version, the configure line and the versions of the MinGW-w64 packages. A folder with
# the current key is used as it is; any other key builds afresh (about 10 minutes on 2 cores) and
# removes the folders of older keys. A lock keeps two runs from building at once. wx-config records its
# absolute prefix, so the libraries are installed straight into the folder where they stay; the build
# folder (about 1.5 GB, mostly precompiled headers) is deleted after the installation.
#
# Progress goes to standard error, one line per step with the time it took; standard output gets only
# the installed folder.
set -euo pipefail

cache="${QUILLARY_CACHE:-/var/cache/quillary}"
host=x86_64-w64-mingw32

# The dfsg source has no bundled libpng, libjpeg, libtiff or expat and Debian has none of them for
# MinGW: images come from SVG through nanosvg, zlib from libz-mingw-w64-dev.
configure_options=(--host=$host CC=$host-gcc-posix CXX=$host-g++-posix
    --with-msw --disable-shared --enable-unicode --with-zlib=sys --without-libpng --without-libjpeg
    --without-libtiff --without-expat --without-liblzma --without-opengl --with-regex=builtin
    --with-nanosvg --disable-svg --enable-webview --enable-webviewie --disable-webviewedge --disable-html
    --disable-xrc --disable-aui --disable-stc --disable-richtext --disable-propgrid --disable-ribbon
    --disable-mediactrl)
mingw_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime mingw-w64-x86-64-dev
    binutils-mingw-w64-x86-64 libz-mingw-w64-dev)

say() { printf 'wxmsw: %s\n' "$*" >&2; }
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

# Runs one step and says how long it took; its output goes to a log that is shown when it fails.
# (A step runs where "set -e" does not apply: each one chains its commands with &&.)
step() {
    local name=$1 start=$SECONDS
    shift
    say "$name ..."
    if ! "$@" >>"$log" 2>&1; then
        say "$name failed after $((SECONDS - start)) s; the last lines of $log:"
        tail -n 40 "$log" >&2
        exit 1
    fi
    say "$name: $((SECONDS - start)) s"
}

# The same source version as Debian's wxGTK packages, which the Linux build uses.
source_version=$(dpkg-query -W -f='${source:Version}' libwxbase3.2-1 2>/dev/null || true)
if [ -z "$source_version" ]; then
    say "libwxbase3.2-1 is not installed (scripts/install-deps.sh installs it)"
    exit 1
fi
upstream_version=${source_version%%+*}
upstream_version=${upstream_version%%-*}
inputs="$source_version"$'\n'"${configure_options[*]}"
for package in "${mingw_packages[@]}"; do
    inputs+=$'\n'"$package $(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || echo missing)"
done
key=$(printf '%s\n' "$inputs" | sha256sum | cut -c1-12)
prefix="$cache/wxmsw-$upstream_version-$key"

$sudo_cmd mkdir -p "$cache"
[ -w "$cache" ] || $sudo_cmd chown "$(id -u):$(id -g)" "$cache"
exec 9>"$cache/wxmsw.lock"
if ! flock -n 9; then
    say "another run is building wxMSW; waiting for it"
    flock 9
fi

if [ -f "$prefix/.complete" ]; then
    say "cached in $prefix"
    echo "$prefix"
    exit 0
fi

say "building wxWidgets $source_version for $host into $prefix"
total_start=$SECONDS
work=$(mktemp -d "$cache/build.XXXXXX")
log="$work/build.log"
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"

add_deb_src() {
    local suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if ! apt-get indextargets --format '$(IDENTIFIER) $(RELEASE)' | grep -qx "Sources $suite"; then
        local uri
        uri=$(apt-get indextargets --format '$(RELEASE) $(SITE)' | awk -v s="$suite" '$1 == s { print $2; exit }')
        printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: %s\n' \
            "${uri:-http://deb.debian.org/debian}" "$suite" "$suite" \
            /usr/share/keyrings/debian-archive-keyring.gpg |
            $sudo_cmd tee /etc/apt/sources.list.d/quillary-deb-src.sources >/dev/null
        $sudo_cmd apt-get update -qq || return 1
    fi
}
fetch_source() { cd "$work" && apt-get source -qq "wxwidgets3.2=$source_version"; }
configure_wx() {
    mkdir -p "$work/build" && cd "$work/build" &&
        "$work"/wxwidgets3.2-*/configure --prefix="$prefix" "${configure_options[@]}"
}
make_wx() { make -C "$work/build" -j"$(nproc)"; }
install_wx() { make -C "$work/build" install && printf '%s\n' "$inputs" >"$prefix/.complete"; }
remove_old_keys() {
    local old
    for old in "$cache"/wxmsw-*; do
        [ "$old" = "$prefix" ] || [ ! -d "$old" ] || rm -rf "$old"
    done
}

step "deb-src entry for the Debian suite" add_deb_src
step "apt-get source wxwidgets3.2=$source_version" fetch_source
step "configure" configure_wx
step "make" make_wx
step "make install" install_wx
step "build folder deleted" rm -rf "$work/build" "$work"/wxwidgets3.2-*
step "older builds removed" remove_old_keys
say "wxMSW ready in $prefix ($(du -sh "$prefix" | cut -f1), $((SECONDS - total_start)) s in all)"
echo "$prefix"

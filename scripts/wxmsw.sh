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

cached_build_name=wxmsw
. "$(dirname "$0")/cached_build.sh"
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

cache_lock wxmsw "wxMSW"
cache_use_or_start "$prefix"
say "building wxWidgets $source_version for $host into $prefix"
total_start=$SECONDS

fetch_source() { cd "$work" && apt-get source -qq "wxwidgets3.2=$source_version"; }
configure_wx() {
    mkdir -p "$work/build" && cd "$work/build" &&
        "$work"/wxwidgets3.2-*/configure --prefix="$prefix" "${configure_options[@]}"
}
make_wx() { make -C "$work/build" -j"$(nproc)"; }
install_wx() { make -C "$work/build" install && printf '%s\n' "$inputs" >"$prefix/.complete"; }

step "deb-src entry for the Debian suite" add_deb_src
step "apt-get source wxwidgets3.2=$source_version" fetch_source
step "configure" configure_wx
step "make" make_wx
step "make install" install_wx
step "build folder deleted" rm -rf "$work/build" "$work"/wxwidgets3.2-*
step "older builds removed" remove_older "$prefix" "wxmsw-*"
say "wxMSW ready in $prefix ($(du -sh "$prefix" | cut -f1), $((SECONDS - total_start)) s in all)"
echo "$prefix"

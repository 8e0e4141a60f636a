#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-win/: quillary-cli.exe, the window
# quillary.exe (over static wxMSW from scripts/wxmsw.sh and SQLite from scripts/sqlite-mingw.sh, both
# made once and cached), and the test suites
# (GoogleTest built for MinGW from Debian's sources first). Checks that both programs are
# self-contained: they may import only DLLs that every Windows system has.
#   scripts/build-windows.sh          build only
#   scripts/build-windows.sh test     build, then run the core and end-to-end tests under Wine
#   scripts/build-windows.sh window   build, then run the window's tests under Wine on a virtual X
#                                     server, take screenshots of every page (build-win/screenshots),
#                                     make the installer and the portable .zip and check the installer
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
root=$PWD
out=build-win
mode="${1:-build}"

wxmsw=$(scripts/wxmsw.sh)
# SQLite's amalgamation for the checksum cache, made once from Debian's source and cached likewise.
sqlite=$(scripts/sqlite-mingw.sh)

if [ ! -f "$out/googletest/lib/libgtest.a" ]; then
    cmake -S /usr/src/googletest -B "$out/googletest-build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$root/$out/googletest" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF >/dev/null
    cmake --build "$out/googletest-build" -j2
    cmake --install "$out/googletest-build" >/dev/null
fi

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUILLARY_GUI=ON -DQUILLARY_WXMSW_PREFIX="$wxmsw" \
    -DQUILLARY_SQLITE_DIR="$sqlite" \
    -DGTest_DIR="$root/$out/googletest/lib/cmake/GTest" >/dev/null
cmake --build "$out" -j2

# The C++ runtime, winpthreads, libgcc, zlib and wxWidgets are linked in; a DLL of theirs among the
# imports (libstdc++-6.dll, libwinpthread-1.dll, libgcc_s_seh-1.dll, zlib1.dll, wxmsw32u_core.dll)
# would stop the program from starting on a system without MinGW.
system_dlls='^((kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|oleacc|msvcrt|ucrtbase|ntdll|ws2_32|bcrypt|version|comctl32|comdlg32|winmm|rpcrt4|uxtheme|imm32|urlmon|api-ms-win-[a-z0-9-]+)\.dll|winspool\.drv)$'
for program in quillary-cli.exe quillary.exe; do
    imports=$(x86_64-w64-mingw32-objdump -p "$out/$program" | sed -n 's/^\s*DLL Name: //p')
    foreign=$(printf '%s\n' "$imports" | grep -viE "$system_dlls" || true)
    if [ -n "$foreign" ]; then
        echo "$program imports DLLs that are not part of Windows:" $foreign >&2
        exit 1
    fi
    echo "$program imports only system DLLs:" $imports
done

[ "$mode" = "build" ] && exit 0

# One Wine prefix for the tests, kept in the build folder; one server kept alive for all of them.
export WINEPREFIX="$root/$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
# Wine links the user's Desktop, Documents, Music... to the home folder; plain folders instead, so that
# listing all of drive C: reads only the prefix, never the home folder.
# (Templates, deeper down in AppData, too).
find "$WINEPREFIX/drive_c/users" -type l -exec sh -c 'rm "$1" && mkdir "$1"' _ {} \;
wineserver -k 2>/dev/null || true # a server still running (after wineboot) would not be persistent

if [ "$mode" = "window" ]; then
    # Without any display the window says so and fails (status 1) instead of crashing.
    status=0
    message=$(env -u DISPLAY -u WAYLAND_DISPLAY wine "$out/quillary.exe" 2>&1 >/dev/null) || status=$?
    wineserver -k 2>/dev/null || true
    if [ "$status" != 1 ] || [[ "$message" != *"cannot open a window"* ]]; then
        echo "quillary.exe without a display: status $status, '$message'" >&2
        exit 1
    fi
    echo "quillary.exe without a display: status 1, $message"
fi

xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ "$mode" = "window" ]; then
    # One virtual X server for the whole stage: Wine's desktop process stays on the display it first
    # met, so every window test shares it (one at a time, as on Linux).
    exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!")
    read -r _ xvfb_pid <&8
    read -r display <&8
    export DISPLAY=":$display"
else
    unset DISPLAY WAYLAND_DISPLAY
fi
wineserver -p
# Wine's own services start with the first program and live as long as the server: started here, they
# do not hold on to the output pipes of the first test program (ctest would wait for them until its
# time-out).
wine cmd.exe /c exit >/dev/null 2>&1
# Wine now and then fails to start a process at all; tests/wine_run.sh runs such a test once more (and
# only such a test), and the re-runs are listed at the end with the skipped tests.
export QUILLARY_WINE_RERUNS="$root/$out/wine-reruns.txt"
rm -f "$QUILLARY_WINE_RERUNS"
report_tests() {
    if [ -s "$QUILLARY_WINE_RERUNS" ]; then
        echo "Tests that Wine failed to start, run once more:"
        sed 's/^/  /' "$QUILLARY_WINE_RERUNS"
    else
        echo "Wine started every test the first time."
    fi
    tests/skipped_tests.sh "$out"
}

if [ "$mode" = "test" ]; then
    status=0
    ctest --test-dir "$out" --output-on-failure -j2 -LE gui || status=$?
    report_tests
    exit "$status"
fi

# The window's tests, then the screenshots (this wxMSW has no PNG encoder: the pictures are taken as
# BMP and converted).
shots="$root/$out/screenshots"
rm -rf "$shots"
status=0
ctest --test-dir "$out" --output-on-failure -L gui || status=$?
report_tests
[ "$status" = 0 ] || exit "$status"
wine "$out/scripts/screenshots/quillary-screenshots.exe" "Z:$shots"
for picture in "$shots"/*.bmp; do
    convert "$picture" "${picture%.bmp}.png" && rm "$picture"
done
echo "screenshots:" $(cd "$shots" && ls)

# The installer, installed and removed again silently, and the portable archive.
(cd "$out" && cpack -G NSIS >/dev/null)
cmake --build "$out" --target portable_zip >/dev/null
setup=$(ls -t "$out"/quillary-*-win64-setup.exe | head -n 1)
zip=$(ls -t "$out"/quillary-*-win64.zip | head -n 1)
echo "installer: $setup ($(du -k "$setup" | cut -f1) KB), portable: $zip ($(du -k "$zip" | cut -f1) KB)"
installed="$WINEPREFIX/drive_c/Program Files/Quillary"
rm -rf "$installed"
wine "$setup" /S
for file in bin/quillary.exe bin/quillary-cli.exe share/quillary/English.lng share/quillary/Deutsch.lng \
    share/quillary/Readme.html Uninstall.exe; do
    [ -f "$installed/$file" ] || { echo "missing after install: $file" >&2; exit 1; }
done
find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" -name Quillary.lnk | grep -q . ||
    { echo "no Start-menu entry after install" >&2; exit 1; }
wine "$installed/bin/quillary-cli.exe" --version
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
wine "$installed/Uninstall.exe" /S
for _ in $(seq 60); do
    [ -e "$installed/bin/quillary.exe" ] || [ -e "$installed/bin/quillary-cli.exe" ] || break
    sleep 1
done
if [ -e "$installed/bin/quillary.exe" ] || [ -e "$installed/bin/quillary-cli.exe" ]; then
    echo "the uninstaller left the programs in place" >&2
    exit 1
fi
portable="$WINEPREFIX/drive_c/portable-test"
rm -rf "$portable" && mkdir -p "$portable"
(cd "$portable" && cmake -E tar xf "$root/$zip")
copy=$(ls -d "$portable"/quillary-*)
for file in quillary.exe quillary-cli.exe English.lng Deutsch.lng Readme.html; do
    [ -f "$copy/$file" ] || { echo "missing in the portable archive: $file" >&2; exit 1; }
done
wine "$copy/quillary-cli.exe" --version
rm -rf "$portable"
echo "installer installs, runs and uninstalls; the portable archive is complete"

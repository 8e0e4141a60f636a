#!/usr/bin/env bash
# Cross-builds the core, quillary-cli.exe and the test suites for Windows with MinGW-w64 into
# build-win/ (GoogleTest built for MinGW from Debian's sources first), and checks that quillary-cli.exe
# is one self-contained file: it may import only DLLs that every Windows system has. With "test", runs
# the test suites under Wine.
#   scripts/build-windows.sh          build only
#   scripts/build-windows.sh test     build, then run every test under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
root=$PWD
out=build-win

if [ ! -f "$out/googletest/lib/libgtest.a" ]; then
    cmake -S /usr/src/googletest -B "$out/googletest-build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$root/$out/googletest" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF >/dev/null
    cmake --build "$out/googletest-build" -j2
    cmake --install "$out/googletest-build" >/dev/null
fi

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUILLARY_GUI=OFF -DGTest_DIR="$root/$out/googletest/lib/cmake/GTest" >/dev/null
cmake --build "$out" -j2

# The C++ runtime, winpthreads, libgcc and zlib are linked in; a DLL of theirs among the imports
# (libstdc++-6.dll, libwinpthread-1.dll, libgcc_s_seh-1.dll, zlib1.dll) would stop the program from
# starting on a system without MinGW.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|msvcrt|ucrtbase|ntdll|ws2_32|bcrypt|version|api-ms-win-[a-z0-9-]+)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$out/quillary-cli.exe" | sed -n 's/^\s*DLL Name: //p')
foreign=$(printf '%s\n' "$imports" | grep -viE "$system_dlls" || true)
if [ -n "$foreign" ]; then
    echo "quillary-cli.exe imports DLLs that are not part of Windows:" $foreign >&2
    exit 1
fi
echo "quillary-cli.exe imports only system DLLs:" $imports

[ "${1:-}" = "test" ] || exit 0

# One Wine prefix for the tests, kept in the build folder; one server kept alive for all of them.
export WINEPREFIX="$root/$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
# Wine links the user's Desktop, Documents, Music... to the home folder; plain folders instead, so that
# listing all of drive C: reads only the prefix, never the home folder.
# (Templates, deeper down in AppData, too).
find "$WINEPREFIX/drive_c/users" -type l -exec sh -c 'rm "$1" && mkdir "$1"' _ {} \;
wineserver -k 2>/dev/null || true # a server still running (after wineboot) would not be persistent
wineserver -p
trap 'wineserver -k || true' EXIT
# Wine's own services start with the first program and live as long as the server: started here, they
# do not hold on to the output pipes of the first test program (ctest would wait for them until its
# time-out).
wine cmd.exe /c exit >/dev/null 2>&1
# Wine now and then fails to start a process at all; tests/wine_run.sh runs such a test once more (and
# only such a test), and the re-runs are listed at the end with the skipped tests.
export QUILLARY_WINE_RERUNS="$root/$out/wine-reruns.txt"
rm -f "$QUILLARY_WINE_RERUNS"
status=0
ctest --test-dir "$out" --output-on-failure -j2 || status=$?
if [ -s "$QUILLARY_WINE_RERUNS" ]; then
    echo "Tests that Wine failed to start, run once more:"
    sed 's/^/  /' "$QUILLARY_WINE_RERUNS"
else
    echo "Wine started every test the first time."
fi
tests/skipped_tests.sh "$out"
exit "$status"

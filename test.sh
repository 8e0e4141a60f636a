#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite:
#   1. the normal build with the window and every test (ctest; the window's tests each on their own
#      virtual X server),
#   2. the Debian package built, installed and run (scripts/test-deb.sh),
#   3. the Windows programs cross-built with MinGW-w64 (wxMSW built once and cached by
#      scripts/wxmsw.sh) and the console program's tests run under Wine (scripts/build-windows.sh test),
#      then the window's tests under Wine on a virtual X server, screenshots of every page, the
#      installer and the portable .zip (scripts/build-windows.sh window),
#   4. the core, the console program and the window's tests under AddressSanitizer and
#      UndefinedBehaviorSanitizer,
#   5. the core and end-to-end suites under ThreadSanitizer,
#   6. each libFuzzer target for a bounded time.
# Each test stage ends with the list of the tests it skipped and why.
# `./test.sh quick` runs only step 1.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
mode="${1:-all}"
fuzz_seconds="${QUILLARY_FUZZ_SECONDS:-30}"

step() { printf '\n=== %s ===\n' "$*"; }

# run_tests BUILD_DIR [CTEST_ARGUMENTS...]: ctest in BUILD_DIR, then the tests it skipped with their
# reasons, also when a test failed; the status is ctest's.
run_tests() {
    local dir="$1" status=0
    shift
    ctest --test-dir "$dir" --output-on-failure -j2 "$@" || status=$?
    tests/skipped_tests.sh "$dir"
    return "$status"
}

step "formatting"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

step "build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARY_GUI=ON >/dev/null
cmake --build build -j2
run_tests build

[ "$mode" = "quick" ] && exit 0

step "Debian package: installs with its dependencies and runs"
scripts/test-deb.sh build

step "Windows console program under Wine"
scripts/build-windows.sh test

step "Windows window under Wine"
scripts/build-windows.sh window

step "AddressSanitizer + UndefinedBehaviorSanitizer (the core, the console program and the window)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLARY_SANITIZE=address,undefined -DQUILLARY_GUI=ON >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/gui/lsan_toolkit.supp" run_tests build-asan

step "ThreadSanitizer (the core and end-to-end suites)"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DQUILLARY_SANITIZE=thread -DQUILLARY_GUI=OFF >/dev/null
cmake --build build-tsan -j2
TSAN_OPTIONS=halt_on_error=1 run_tests build-tsan

step "fuzzing, ${fuzz_seconds} s per target"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARY_FUZZ=ON \
    -DQUILLARY_TESTS=OFF -DQUILLARY_GUI=OFF >/dev/null
cmake --build build-fuzz -j2
for target in build-fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    short="${name#fuzz_}"
    corpus="fuzz/corpus/${short%%_*}"
    work=$(mktemp -d)
    [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
    echo "--- $name"
    "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 4
    rm -rf "$work"
done
echo "all tests passed"

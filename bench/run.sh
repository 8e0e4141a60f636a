#!/usr/bin/env bash
# Benchmarks of the listing program, with the page cache warm.
#
#   bench/run.sh [listing]   quillary-cli on a tree of 200,000 files in 10,000 folders (210,000 entries)
#                            against find -printf and a bare walk on two threads (bench_walk)
#   bench/run.sh listing-1m  the same, then on 1,000,000 files in 50,000 folders (made in a temporary
#                            folder and removed after): time and memory per entry as the tree grows
#   bench/run.sh crc-tree    the CRC-32 column over 200,000 small files (0-16 KiB) in 10,000 folders;
#                            with BASELINE_REV also the program built from that revision, alternately
#   bench/run.sh cache       the checksum cache over the crc-tree's files, quillary-cli each time: no
#                            checksums, CRC without the cache, a first run with an empty cache and a
#                            second one with it filled (HASH=xxh3 or sha256 for another checksum)
#   bench/run.sh crc         the CRC-32 column on one 2 GiB file and on 2,000 files of 1 MiB against
#                            cat(1), plus a second run in the same process that must hit the checksum cache
#   bench/run.sh hash        the XXH3 column on one 2 GiB file against cat(1), the SHA-256 column on the
#                            same file against sha256sum(1)
#   bench/run.sh compare     --compare of two JSON Lines listings of 1,000,000 entries each (50,000
#                            folders of 19 files, 1% of the files changed), time and peak memory
#   bench/run.sh deep        quillary-cli on chains of nested folders LEVELS deep (default "20000 40000",
#                            made in a temporary folder and removed after): time and peak memory, then
#                            the same with the CRC-32 column (a checksum read in every folder)
#   bench/run.sh browse      the browsable HTML listing of 1,000,000 files in 50,000 folders (made in a
#                            temporary folder and removed after) opened in headless Chromium: the
#                            page's time to its first paint and to the rows of a search (SEARCH, default
#                            "*report*.txt"); CHROMIUM names the browser (default /usr/bin/chromium)
#   bench/run.sh all         listing, crc-tree, crc and hash
#   bench/run.sh selection   restoring 200,000 selection lines around a folder with 50,000 subfolders
#   bench/run.sh window      the window on a virtual X server: opening a folder with 20,000 subfolders
#   bench/run.sh preview     the window's Preview page shown the text and the HTML listing of the
#                            210,000-entry tree (virtual X server): time to the first screen and the
#                            longest time the event loop was away; SCREENSHOTS=DIR also saves pictures
#
# Settings (environment): RUNS (measured runs per command, default 5, after one warm-up; at least 5 for
# the listing), FILES and DIRS (tree size), BENCH_TMP (where the temporary trees go, default $TMPDIR or
# /tmp; never inside the repository), OUT_DIR (where listings are written, default /dev/shm, a tmpfs),
# BUILD_DIR (default build-bench in the repository; always brought up to date), CLI_ENV (one VAR=value
# given to the quillary-cli runs, e.g. GLIBC_TUNABLES=glibc.malloc.hugetlb=1), BASELINE_REV (a git
# revision to compare crc-tree with; built once in $BENCH_TMP).
#
# The listing trees are kept between runs of this script (a COMPLETE marker names their parameters);
# remove $BENCH_TMP/quillary-bench-tree.* to drop them. The 1,000,000-file tree and the checksum data
# (4 GiB) are deleted on exit.
set -euo pipefail

REPO=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${RUNS:-5}
FILES=${FILES:-200000}
DIRS=${DIRS:-10000}
SEED=20240601
BENCH_TMP=${BENCH_TMP:-${TMPDIR:-/tmp}}
OUT_DIR=${OUT_DIR:-/dev/shm}
BUILD_DIR=${BUILD_DIR:-$REPO/build-bench}
CLI=$BUILD_DIR/quillary-cli
BENCH_LISTING=$BUILD_DIR/bench/bench_listing
BENCH_WALK=$BUILD_DIR/bench/bench_walk
# glibc settings that keep 128 KiB buffers on the heap instead of a fresh mmap per allocation.
HEAP_BUFFERS=glibc.malloc.mmap_threshold=4194304:glibc.malloc.trim_threshold=67108864
FIND_FORMAT='%p %s %T@ %C@ %A@ %M\n'

case "$(cd "$BENCH_TMP" && pwd)/" in
"$REPO"/*) echo "run.sh: BENCH_TMP must lie outside the repository" >&2; exit 2 ;;
esac

# Always builds (incrementally), so that the figures are never those of stale binaries.
# build [TARGET...]: the given targets, by default those of the listing and checksum benchmarks.
build() {
    local targets=("$@")
    [ ${#targets[@]} -gt 0 ] || targets=(quillary-cli bench_listing bench_walk)
    echo "building ${targets[*]} in $BUILD_DIR" >&2
    cmake -S "$REPO" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DQUILLARY_TESTS=OFF \
        -DQUILLARY_BENCH=ON >/dev/null
    cmake --build "$BUILD_DIR" --target "${targets[@]}" -j2 >/dev/null
}

median() {
    sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

machine_line() {
    echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(uname -r)"
}

# measure NAME STDOUT CMD...: runs CMD once with its standard output redirected to STDOUT and appends
# "wall_seconds cpu_seconds max_rss_kib" to $WORK/NAME. The run must succeed.
measure() {
    local name=$1 stdout=$2
    shift 2
    local start end
    start=$EPOCHREALTIME
    if ! /usr/bin/time -f '%U %S %M' -o "$WORK/time.txt" "$@" >"$stdout" 2>"$WORK/stderr.txt"; then
        echo "run.sh: failed: $*" >&2
        cat "$WORK/stderr.txt" "$WORK/time.txt" >&2
        exit 1
    fi
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" 'END { printf "%.6f %.2f %d\n", e - s, $1 + $2, $3 }' "$WORK/time.txt" \
        >>"$WORK/$name"
}

# column NAME N: the median of column N of $WORK/NAME.
column() { awk -v n="$2" '{ print $n }' "$WORK/$1" | median; }

# per_run NAME: the runs of $WORK/NAME on one line, fields joined by "/".
per_run() { echo "  $1: $(awk '{ $1 = $1; gsub(/ /, "/"); printf "%s  ", $0 }' "$WORK/$1")"; }

# listing_tree [small]: a cached tree of the requested shape, or a new one in a fresh temporary
# directory; "small" gives files with real contents of up to 16 KiB.
listing_tree() {
    local params="files=$FILES dirs=$DIRS seed=$SEED generator=1" dir extra=()
    if [ "${1:-}" = small ]; then
        params+=" contents=small"
        extra=(--small-contents)
    fi
    for dir in "$BENCH_TMP"/quillary-bench-tree.*; do
        if [ -f "$dir/COMPLETE" ] && [ "$(cat "$dir/COMPLETE")" = "$params" ]; then
            echo "$dir/tree"
            return
        fi
    done
    dir=$(mktemp -d "$BENCH_TMP/quillary-bench-tree.XXXXXX")
    echo "making the tree in $dir (once; kept for later runs)" >&2
    python3 "$REPO/bench/make_tree.py" "$dir/tree" --files "$FILES" --dirs "$DIRS" --seed "$SEED" \
        "${extra[@]}" >&2
    echo "$params" >"$dir/COMPLETE"
    echo "$dir/tree"
}

# bench_listing_vs_find TREE TAG: quillary-cli (several threads and one), find and the bare walk on
# TREE, alternately; prints the table and leaves "wall_s maxrss_KiB entries" in $WORK/summary_TAG.
bench_listing_vs_find() {
    local tree=$1 tag=$2 entries listing="$OUT_DIR/quillary-bench-listing.$$.txt"
    entries=$(($(find "$tree" | wc -l) - 1)) # everything below the selected folder
    echo "== listing: $tree, $entries entries"
    machine_line

    local cli=("$CLI") one=(env QUILLARY_THREADS=1 "$CLI")
    if [ -n "${CLI_ENV:-}" ]; then
        cli=(env "$CLI_ENV" "$CLI")
        one=(env "$CLI_ENV" QUILLARY_THREADS=1 "$CLI")
        echo "quillary-cli runs with $CLI_ENV"
    fi
    # Warm-up: page cache and dentry cache for every program.
    find "$tree" -printf "$FIND_FORMAT" >/dev/null
    "$BENCH_WALK" "$tree" >/dev/null
    "${cli[@]}" --output "$listing" "$tree" 2>/dev/null
    local names="quillary_$tag quillary1_$tag find_$tag walk_$tag"
    for ((i = 1; i <= RUNS; ++i)); do # interleaved, so that a burst of load hits all alike
        measure "quillary_$tag" /dev/null "${cli[@]}" --output "$listing" "$tree"
        measure "find_$tag" /dev/null find "$tree" -printf "$FIND_FORMAT"
        measure "walk_$tag" /dev/null "$BENCH_WALK" --threads 2 "$tree"
        measure "quillary1_$tag" /dev/null "${one[@]}" --output "$listing" "$tree"
    done
    echo "listing file: $(wc -l <"$listing") lines, $(stat -c %s "$listing") bytes" \
        "in $OUT_DIR ($(stat -f -c %T "$OUT_DIR"))"
    rm -f "$listing"
    machine_line

    printf '%-44s %8s %7s %11s %11s %11s %8s\n' "median of $RUNS runs" wall_s cpu_s entries/s \
        maxrss_KiB bytes/entry vs_find
    local name label find_wall
    find_wall=$(column "find_$tag" 1)
    for name in $names; do
        case $name in
        quillary_*) label="quillary-cli --output $OUT_DIR/X.txt" ;;
        quillary1_*) label="quillary-cli, QUILLARY_THREADS=1" ;;
        find_*) label="find -printf '...' >/dev/null" ;;
        walk_*) label="bench_walk --threads 2 >/dev/null" ;;
        esac
        awk -v l="$label" -v w="$(column "$name" 1)" -v c="$(column "$name" 2)" -v r="$(column "$name" 3)" \
            -v e="$entries" -v f="$find_wall" 'BEGIN {
            printf "%-44s %8.3f %7.2f %11.0f %11d %11.1f %8.3f\n", l, w, c, e / w, r, r * 1024 / e, w / f }'
    done
    awk -v q="$(column "quillary_$tag" 1)" -v f="$find_wall" -v r="$(column "quillary_$tag" 3)" \
        -v e="$entries" 'BEGIN {
        ratio = q / f; bytes = r * 1024 / e
        printf "ratio quillary/find (wall): %.3f   target <= 0.55: %s\n", ratio, (ratio <= 0.55 ? "met" : "MISSED")
        printf "peak memory of quillary-cli: %.1f bytes per entry   target <= 200: %s\n", bytes,
            (bytes <= 200 ? "met" : "MISSED") }'
    echo "$(column "quillary_$tag" 1) $(column "quillary_$tag" 3) $entries" >"$WORK/summary_$tag"
    echo "per-run figures (wall_s/cpu_s/maxrss_KiB):"
    for name in $names; do per_run "$name"; done
}

# The 210,000-entry tree, then 1,000,000 files made for this run: time and memory per entry compared.
bench_listing_1m() {
    bench_listing_vs_find "$(listing_tree)" small_tree
    BIG=$(mktemp -d "$BENCH_TMP/quillary-bench-1m.XXXXXX")
    echo "making 1,000,000 files in 50,000 folders in $BIG (deleted at the end)"
    python3 "$REPO/bench/make_tree.py" "$BIG/tree" --files 1000000 --dirs 50000 --seed "$SEED"
    bench_listing_vs_find "$BIG/tree" big_tree
    read -r w1 r1 e1 <"$WORK/summary_small_tree"
    read -r w2 r2 e2 <"$WORK/summary_big_tree"
    awk -v w1="$w1" -v r1="$r1" -v e1="$e1" -v w2="$w2" -v r2="$r2" -v e2="$e2" 'BEGIN {
        printf "== growth: %d -> %d entries (%.2fx)\n", e1, e2, e2 / e1
        printf "time %.3f s -> %.3f s: %.2fx   target <= 5x: %s\n", w1, w2, w2 / w1, (w2 / w1 <= 5 ? "met" : "MISSED")
        printf "time per entry %.2f us -> %.2f us\n", w1 / e1 * 1e6, w2 / e2 * 1e6
        printf "peak memory per entry %.1f -> %.1f bytes   target: no more at 1M: %s\n", r1 * 1024 / e1,
            r2 * 1024 / e2, (r2 / e2 <= r1 / e1 ? "met" : "MISSED") }'
}

# crc-tree: the listing with the CRC column over a tree of small files, each run reading every file
# (a fresh process, no cache), alternately with the baseline build when BASELINE_REV is set.
bench_crc_tree() {
    local tree prefix="$OUT_DIR/quillary-bench-crctree.$$" baseline=""
    tree=$(listing_tree small)
    echo "== CRC column over small files: $tree, $(du -sh "$tree" | cut -f1)"
    if [ -n "${BASELINE_REV:-}" ]; then
        baseline=$(baseline_build "$BASELINE_REV")
    fi
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null # warms the page cache
    "$BENCH_LISTING" --runs 1 "$prefix" "$tree" >/dev/null
    machine_line
    for ((i = 1; i <= RUNS; ++i)); do
        measure crc_now /dev/null "$BENCH_LISTING" --runs 1 "$prefix" "$tree"
        QUILLARY_THREADS=1 measure crc_one /dev/null "$BENCH_LISTING" --runs 1 "$prefix" "$tree"
        if [ -n "$baseline" ]; then
            measure crc_base /dev/null "$baseline" --runs 1 "$prefix-base" "$tree"
        fi
    done
    if [ -n "$baseline" ] && ! cmp -s "$prefix-1.txt" "$prefix-base-1.txt"; then
        echo "run.sh: FAILED: the listing differs from the baseline's" >&2
        exit 1
    fi
    rm -f "$prefix"*
    machine_line
    printf '%-44s %8s %7s %11s\n' "median of $RUNS runs (whole process)" wall_s cpu_s maxrss_KiB
    local name label
    for name in crc_now crc_one crc_base; do
        [ -f "$WORK/$name" ] || continue
        case $name in
        crc_now) label="bench_listing, CRC on (this build)" ;;
        crc_one) label="the same, QUILLARY_THREADS=1" ;;
        crc_base) label="bench_listing, CRC on ($BASELINE_REV)" ;;
        esac
        printf '%-44s %8.3f %7.2f %11d\n' "$label" "$(column $name 1)" "$(column $name 2)" "$(column $name 3)"
    done
    if [ -n "$baseline" ]; then
        awk -v n="$(column crc_now 1)" -v b="$(column crc_base 1)" 'BEGIN {
            printf "speed-up against %s: %.2fx   target >= 1.3x: %s\n", ENVIRON["BASELINE_REV"], b / n,
                (b / n >= 1.3 ? "met" : "MISSED") }'
    fi
    echo "per-run figures (wall_s/cpu_s/maxrss_KiB):"
    for name in crc_now crc_one crc_base; do [ -f "$WORK/$name" ] && per_run $name; done
}

# cache: quillary-cli over the crc-tree's 200,000 small files with a checksum cache of its own (in
# $BENCH_TMP): the listing without checksums, with them but without the cache (--no-cache), a first run
# with an empty cache and a second run that finds every file in it; interleaved.
bench_cache() {
    local tree cache="$BENCH_TMP/quillary-bench-cache.$$" listing="$OUT_DIR/quillary-bench-cache.$$.txt"
    local hash=${HASH:-crc32}
    tree=$(listing_tree small)
    echo "== checksum cache ($hash) over small files: $tree, $(du -sh "$tree" | cut -f1)"
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null # warms the page cache
    local cli=(env XDG_CACHE_HOME="$cache" "$CLI")
    "${cli[@]}" --hash none --output "$listing" "$tree"
    "${cli[@]}" --hash "$hash" --no-cache --output "$listing" "$tree"
    machine_line
    for ((i = 1; i <= RUNS; ++i)); do
        measure cache_none /dev/null "${cli[@]}" --hash none --output "$listing" "$tree"
        measure cache_off /dev/null "${cli[@]}" --hash "$hash" --no-cache --output "$listing" "$tree"
        rm -rf "$cache"
        measure cache_first /dev/null "${cli[@]}" --hash "$hash" --output "$listing" "$tree"
        measure cache_second /dev/null "${cli[@]}" --hash "$hash" --output "$listing" "$tree"
    done
    echo "cache: $(du -sh "$cache/quillary" | cut -f1) for $(find "$tree" -type f | wc -l) files"
    rm -rf "$cache" "$listing"
    machine_line
    printf '%-44s %8s %7s %11s\n' "median of $RUNS runs (quillary-cli)" wall_s cpu_s maxrss_KiB
    local name label
    for name in cache_none cache_off cache_first cache_second; do
        case $name in
        cache_none) label="--hash none" ;;
        cache_off) label="--hash $hash --no-cache" ;;
        cache_first) label="--hash $hash, empty cache (first run)" ;;
        cache_second) label="--hash $hash, cache filled (second run)" ;;
        esac
        printf '%-44s %8.3f %7.2f %11d\n' "$label" "$(column $name 1)" "$(column $name 2)" "$(column $name 3)"
    done
    awk -v none="$(column cache_none 1)" -v off="$(column cache_off 1)" -v first="$(column cache_first 1)" \
        -v second="$(column cache_second 1)" 'BEGIN {
        printf "second run / no checksums: %.2fx   target <= 1.3x: %s\n", second / none,
            (second / none <= 1.3 ? "met" : "MISSED")
        printf "first run / without the cache: %.2fx   target <= 1.10x: %s\n", first / off,
            (first / off <= 1.10 ? "met" : "MISSED") }'
    echo "per-run figures (wall_s/cpu_s/maxrss_KiB):"
    for name in cache_none cache_off cache_first cache_second; do per_run $name; done
}

# baseline_build REV: bench_listing built from git revision REV (once, kept in $BENCH_TMP).
baseline_build() {
    local rev dir
    rev=$(git -C "$REPO" rev-parse --short "$1")
    dir="$BENCH_TMP/quillary-bench-baseline-$rev"
    if [ ! -x "$dir/build/bench/bench_listing" ]; then
        echo "building the baseline $rev in $dir" >&2
        rm -rf "$dir"
        mkdir -p "$dir/src"
        git -C "$REPO" archive "$rev" | tar -x -C "$dir/src"
        cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release -DQUILLARY_TESTS=OFF \
            -DQUILLARY_BENCH=ON >/dev/null
        cmake --build "$dir/build" --target bench_listing -j2 >/dev/null
    fi
    echo "$dir/build/bench/bench_listing"
}

# make_data DIR: one 2 GiB file in DIR/big and 2,000 files of 1 MiB in 20 folders of DIR/small.
make_data() {
    python3 - "$1" <<'EOF'
import os, sys
root = sys.argv[1]
block = bytearray(os.urandom(1 << 20))
def write(path, mebibytes):
    with open(path, "wb") as f:
        for i in range(mebibytes):
            block[:8] = i.to_bytes(8, "little")  # no two blocks alike
            f.write(block)
os.makedirs(f"{root}/big")
write(f"{root}/big/one.bin", 2048)
for d in range(20):
    os.makedirs(f"{root}/small/{d:02}")
    for n in range(100):
        write(f"{root}/small/{d:02}/file{n:03}.bin", 1)
EOF
}

# bench_crc_set SET: the checksum figures of DATA/SET.
bench_crc_set() {
    local set=$1 files bytes prefix="$OUT_DIR/quillary-bench-crc.$$"
    if [ "$set" = big ]; then files=("$DATA/$set"/*.bin); else files=("$DATA/$set"/*/*.bin); fi
    bytes=$(cat "${files[@]}" | wc -c) # also warms the page cache
    cat "${files[@]}" >/dev/null
    "$BENCH_LISTING" --runs 1 "$prefix" "$DATA/$set" >/dev/null # warm-up
    for ((i = 1; i <= RUNS; ++i)); do
        measure "cat_$set" /dev/null cat "${files[@]}"
        # cat takes its 128 KiB buffer from mmap and gives it back after every file; in a virtual
        # machine where page faults and munmap are dear that dominates small files. With the buffer
        # on the heap it is reused: the read rate a reader that keeps its buffer gets.
        GLIBC_TUNABLES=$HEAP_BUFFERS measure "catheap_$set" /dev/null cat "${files[@]}"
        "$BENCH_LISTING" --runs 2 "$prefix" "$DATA/$set" >"$WORK/runs.txt"
        if ! cmp -s "$prefix-1.txt" "$prefix-2.txt"; then
            echo "run.sh: FAILED: the cached run wrote a different listing" >&2
            exit 1
        fi
        # One line per round: "run1_s run1_computed run1_read run2_s run2_computed run2_read".
        awk '{ for (i = 3; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
               printf "%s %s %s ", f["seconds"], f["checksumsComputed"], f["bytesRead"] }
             END { print "" }' "$WORK/runs.txt" >>"$WORK/crc_$set"
    done
    rm -f "$prefix"-*.txt

    local worst_computed2 worst_read2
    worst_computed2=$(awk '{ print $5 }' "$WORK/crc_$set" | sort -n | tail -1)
    worst_read2=$(awk '{ print $6 }' "$WORK/crc_$set" | sort -n | tail -1)
    # The listing's times are taken inside the process; cat's include its start-up, which is taken
    # off (measured with an empty input) so that both rates are rates of reading.
    awk -v set="$set" -v n="${#files[@]}" -v b="$bytes" -v c="$(column "cat_$set" 1)" \
        -v ch="$(column "catheap_$set" 1)" -v st="$(column cat_startup 1)" \
        -v q1="$(column "crc_$set" 1)" -v k1="$(column "crc_$set" 2)" -v q2="$(column "crc_$set" 4)" \
        -v k2="$worst_computed2" -v r2="$worst_read2" -v runs="$RUNS" 'BEGIN {
        c -= st; ch -= st
        printf "%s: %d file(s), %.0f bytes; medians of %d runs\n", set, n, b, runs
        printf "  cat >/dev/null           %8.4f s %6.2f GB/s\n", c, b / c / 1e9
        printf "  cat, buffer on the heap  %8.4f s %6.2f GB/s\n", ch, b / ch / 1e9
        printf "  listing with CRC, run 1  %8.4f s %6.2f GB/s  checksums computed %d\n", q1, b / q1 / 1e9, k1
        printf "  ratio listing/cat rate   %8.2f   target >= 0.8 (%.2f against the heap-buffer cat)\n",
            c / q1, ch / q1
        printf "  run 2, same process      %8.4f s  computed %d, bytes read %d (worst run)\n",
            q2, k2, r2 }'
    if [ "$worst_computed2" != 0 ]; then
        echo "run.sh: FAILED: the second run computed checksums again" >&2
        exit 1
    fi
}

bench_crc() {
    local avail_kib need_kib=$((4 * 1024 * 1024 + 512 * 1024))
    avail_kib=$(df -k --output=avail "$BENCH_TMP" | tail -1)
    if [ "$avail_kib" -lt "$need_kib" ]; then
        echo "run.sh: the checksum data needs 4.5 GiB free in $BENCH_TMP" >&2
        exit 1
    fi
    DATA=$(mktemp -d "$BENCH_TMP/quillary-bench-crc.XXXXXX")
    echo "== checksums: data in $DATA (deleted at the end); GB = 1e9 bytes"
    make_data "$DATA"
    sync # write-back of the new data must not run during the measurements
    machine_line
    for ((i = 1; i <= RUNS; ++i)); do measure cat_startup /dev/null cat /dev/null; done
    echo "cat start-up: $(column cat_startup 1) s (taken off cat's times)"
    bench_crc_set big
    bench_crc_set small
    machine_line
    echo "per-run figures (crc: s/computed/bytes_read of run 1, then run 2; cat: wall_s/cpu_s/rss):"
    local name
    for name in crc_big cat_big catheap_big crc_small cat_small catheap_small; do per_run $name; done
}

# hash: the XXH3 and SHA-256 columns over one cached 2 GiB file, against cat and sha256sum.
bench_hash() {
    local avail_kib need_kib=$((2 * 1024 * 1024 + 256 * 1024)) file prefix="$OUT_DIR/quillary-bench-hash.$$"
    avail_kib=$(df -k --output=avail "$BENCH_TMP" | tail -1)
    if [ "$avail_kib" -lt "$need_kib" ]; then
        echo "run.sh: the hash data needs 2.3 GiB free in $BENCH_TMP" >&2
        exit 1
    fi
    DATA=$(mktemp -d "$BENCH_TMP/quillary-bench-hash.XXXXXX")
    echo "== hashes: one 2 GiB file in $DATA (deleted at the end); GB = 1e9 bytes"
    mkdir "$DATA/big"
    file="$DATA/big/one.bin"
    head -c $((2048 << 20)) /dev/urandom >"$file"
    sync
    cat "$file" >/dev/null
    machine_line
    local bytes
    bytes=$(stat -c %s "$file")
    for ((i = 1; i <= RUNS; ++i)); do measure cat_startup /dev/null cat /dev/null; done
    "$BENCH_LISTING" --runs 1 --hash xxh3 "$prefix" "$DATA/big" >/dev/null # warm-up
    local hash
    for ((i = 1; i <= RUNS; ++i)); do
        measure cat_hash /dev/null cat "$file"
        measure sha256sum_hash /dev/null sha256sum "$file"
        for hash in xxh3 sha256 crc32,xxh3,sha256; do
            "$BENCH_LISTING" --runs 1 --hash "$hash" "$prefix" "$DATA/big" |
                awk '{ for (i = 3; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == "seconds") print kv[2] } }' \
                    >>"$WORK/listing_${hash//,/_}"
        done
    done
    rm -f "$prefix"-*.txt
    # cat's and sha256sum's times include their start-up (that of an empty cat), taken off.
    awk -v b="$bytes" -v c="$(column cat_hash 1)" -v s="$(column sha256sum_hash 1)" \
        -v st="$(column cat_startup 1)" -v x="$(column listing_xxh3 1)" -v h="$(column listing_sha256 1)" \
        -v a="$(column listing_crc32_xxh3_sha256 1)" -v runs="$RUNS" 'BEGIN {
        c -= st; s -= st
        printf "one file, %.0f bytes; medians of %d runs\n", b, runs
        printf "  cat >/dev/null              %8.4f s %6.2f GB/s\n", c, b / c / 1e9
        printf "  listing with XXH3           %8.4f s %6.2f GB/s  ratio to cat %.2f (target >= 0.9)\n",
            x, b / x / 1e9, c / x
        printf "  sha256sum                   %8.4f s %6.2f GB/s\n", s, b / s / 1e9
        printf "  listing with SHA-256        %8.4f s %6.2f GB/s  ratio to sha256sum %.2f (target >= 0.9)\n",
            h, b / h / 1e9, s / h
        printf "  listing with all three      %8.4f s %6.2f GB/s  (one read)\n", a, b / a / 1e9 }'
    machine_line
}

# preview: the listings of the bench tree written by quillary-cli, then shown by the window.
bench_preview() {
    local tree prefix="$OUT_DIR/quillary-bench-preview.$$" shots=()
    tree=$(listing_tree)
    "$CLI" --output "$prefix.txt" "$tree" 2>/dev/null
    "$CLI" --output "$prefix.html" "$tree" 2>/dev/null
    echo "== preview: the listings of $tree"
    echo "text $(stat -c %s "$prefix.txt") bytes, HTML $(stat -c %s "$prefix.html") bytes"
    machine_line
    if [ -n "${SCREENSHOTS:-}" ]; then shots=(--screenshots "$SCREENSHOTS"); fi
    xvfb-run -a --server-args="-screen 0 1280x1024x24" "$BUILD_DIR/bench/bench_preview" --runs "$RUNS" \
        "${shots[@]}" "$prefix.txt" "$prefix.html"
    rm -f "$prefix.txt" "$prefix.html"
    machine_line
}

bench_compare() {
    machine_line
    python3 "$REPO/bench/make_listings.py" "$WORK/before.jsonl" "$WORK/after.jsonl"
    local entries
    entries=$(($(wc -l <"$WORK/before.jsonl") - 2))
    for _ in $(seq "$RUNS"); do
        # Exit status 4: the listings differ, as they should.
        measure compare /dev/null bash -c '"$@"; [ $? -eq 4 ]' _ "$BUILD_DIR/quillary-cli" --compare \
            "$WORK/before.jsonl" "$WORK/after.jsonl" --output "$WORK/report.jsonl"
    done
    per_run compare
    awk -v e="$entries" -v w="$(column compare 1)" -v c="$(column compare 2)" -v m="$(column compare 3)" 'BEGIN {
        printf "compare of two listings of %d entries: median %.2f s wall, %.2f s cpu, peak %.1f MiB   target <= 5 s: %s\n",
            e, w, c, m / 1024, (w <= 5 ? "met" : "NOT met") }'
    echo "  changes reported: $(($(wc -l <"$WORK/report.jsonl") - 2))"
}

# A chain of folders one below the other, each holding one file; paths grow far past PATH_MAX, so the
# chain is made one level at a time from inside its parent.
bench_deep() {
    machine_line
    local levels
    for levels in ${LEVELS:-20000 40000}; do
        BIG=$(mktemp -d "$BENCH_TMP/quillary-bench-deep.XXXXXX")
        python3 - "$BIG/tree" "$levels" <<'PY'
import os, sys
os.mkdir(sys.argv[1])
os.chdir(sys.argv[1])
for _ in range(int(sys.argv[2])):
    open("f", "w").close()
    os.mkdir("d")
    os.chdir("d")
PY
        for _ in $(seq "$RUNS"); do
            measure "deep$levels" /dev/null "$CLI" --output "$OUT_DIR/quillary-bench-deep.$$.txt" "$BIG/tree"
            measure "deepcrc$levels" /dev/null "$CLI" --hash crc32 --no-cache \
                --output "$OUT_DIR/quillary-bench-deep.$$.txt" "$BIG/tree"
        done
        rm -f "$OUT_DIR/quillary-bench-deep.$$.txt"
        per_run "deep$levels"
        awk -v l="$levels" -v w="$(column "deep$levels" 1)" -v m="$(column "deep$levels" 3)" 'BEGIN {
            printf "%d levels: median %.2f s wall, peak %.1f MiB   goals for 40000 levels <= 2 s, <= 100 MB\n",
                l, w, m / 1024 }'
        per_run "deepcrc$levels"
        awk -v l="$levels" -v w="$(column "deepcrc$levels" 1)" -v m="$(column "deepcrc$levels" 3)" 'BEGIN {
            printf "%d levels with --hash crc32 --no-cache: median %.2f s wall, peak %.1f MiB\n", l, w, m / 1024 }'
        rm -rf "$BIG"
        BIG=
    done
}

# browse: the page's own clock (performance.now() from the start of the navigation) to its first paint,
# and from a search's input event to its rows drawn, after the page has read the names it searches.
bench_browse() {
    machine_line
    BIG=$(mktemp -d "$BENCH_TMP/quillary-bench-browse.XXXXXX")
    echo "making 1,000,000 files in 50,000 folders in $BIG (deleted at the end)"
    python3 "$REPO/bench/make_tree.py" "$BIG/tree" --files 1000000 --dirs 50000 --seed "$SEED"
    local listing="$OUT_DIR/quillary-bench-browse.$$.html"
    "$CLI" --type browsable-html --output "$listing" "$BIG/tree"
    echo "listing: $(stat -c %s "$listing") bytes, $(($(wc -l <"$listing"))) lines"
    for _ in $(seq "$RUNS"); do
        python3 "$REPO/tests/e2e/check_browse.py" "$listing" --bench --search "${SEARCH:-*report*.txt}" \
            ${CHROMIUM:+--chromium "$CHROMIUM"} | tee -a "$WORK/browse"
    done
    rm -f "$listing"
    local paint search
    paint=$(sed -n 's/.*first-paint-ms=\([0-9]*\).*/\1/p' "$WORK/browse" | median)
    search=$(sed -n 's/.*search-ms=\([0-9]*\).*/\1/p' "$WORK/browse" | median)
    awk -v p="$paint" -v s="$search" 'BEGIN {
        printf "first paint: median %d ms   target <= 3000 ms: %s\n", p, (p <= 3000 ? "met" : "MISSED")
        printf "search: median %d ms   target <= 1000 ms: %s\n", s, (s <= 1000 ? "met" : "MISSED") }'
}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillary-bench-work.XXXXXX")
DATA=
BIG=
cleanup() {
    rm -rf "$WORK"
    if [ -n "$DATA" ]; then rm -rf "$DATA"; fi
    if [ -n "$BIG" ]; then rm -rf "$BIG"; fi
}
trap cleanup EXIT

case "${1:-listing}" in
listing | listing-1m)
    if [ "$RUNS" -lt 5 ]; then
        echo "run.sh: the listing figures are medians of at least 5 runs (RUNS=$RUNS)" >&2
        exit 2
    fi
    ;;
esac
case "${1:-listing}" in
selection) build bench_selection ;;
window) build bench_window ;;
preview) build quillary-cli bench_preview ;;
browse) build quillary-cli ;;
*) build ;;
esac
case "${1:-listing}" in
listing) bench_listing_vs_find "$(listing_tree)" small_tree ;;
selection)
    machine_line
    "$BUILD_DIR/bench/bench_selection"
    ;;
window)
    machine_line
    xvfb-run -a --server-args="-screen 0 1280x1024x24" "$BUILD_DIR/bench/bench_window"
    ;;
preview) bench_preview ;;
listing-1m) bench_listing_1m ;;
crc-tree) bench_crc_tree ;;
cache) bench_cache ;;
crc) bench_crc ;;
hash) bench_hash ;;
compare) bench_compare ;;
deep) bench_deep ;;
browse) bench_browse ;;
all)
    bench_listing_vs_find "$(listing_tree)" small_tree
    bench_crc_tree
    bench_crc
    rm -rf "$DATA"
    bench_hash
    ;;
*)
    sed -n '2,30p' "$0" >&2
    exit 2
    ;;
esac

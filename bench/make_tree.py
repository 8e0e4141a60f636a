#!/usr/bin/env python3
"""Builds a deterministic folder tree for the listing benchmark.

    make_tree.py ROOT [--files N] [--dirs N] [--seed S] [--small-contents]

ROOT must be empty or missing. The folders form a tree four levels deep (10, 100, 1000, the rest below);
files are spread unevenly over all folders (some hold none, a few hold hundreds). Names vary in length,
case, extensions and include spaces and non-ASCII letters. Sizes run from 0 to a few GB on a log scale
and are made with ftruncate, so the files are sparse and the tree costs inodes, not disk space.
Modification times are spread over 1995..2045 (past 2038 on purpose).

With --small-contents the files hold real (random) bytes instead: 0 to 16 KiB on a log scale, about
1.7 KB on average, the shape of a tree of small documents for checksum benchmarks.
"""
import argparse
import os
import random
import sys

WORDS = ["report", "IMG", "data", "Backup", "notes", "setup", "räksmörgås", "Übersicht", "日本語",
         "final version", "draft", "a", "x", "very_long_file_name_for_the_benchmark_tree", "2024-01-01",
         "README", "index", "thumb", "Track", "photo"]
EXTENSIONS = ["txt", "jpg", "JPG", "cpp", "h", "tar.gz", "pdf", "mp3", "html", "", "dll", "exe", "png", "md"]


def folder_parents(rng, count):
    """`count` parents for new folders: a tree with fan-out 10 for three levels, the rest below."""
    parents = []  # parents[i] = index of folder i's parent, -1 for ROOT
    level_start, level_size = 0, 0
    for size in (10, 100, 1000):
        for i in range(size):
            if len(parents) >= count:
                return parents
            parents.append(-1 if level_size == 0 else level_start + i * level_size // size)
        level_start, level_size = len(parents) - size, size
    while len(parents) < count:
        parents.append(level_start + rng.randrange(level_size))
    return parents


def name(rng, index, extension):
    stem = " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 3)))
    text = f"{stem}_{index}"
    return f"{text}.{extension}" if extension else text


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=200_000)
    parser.add_argument("--dirs", type=int, default=10_000)
    parser.add_argument("--seed", type=int, default=20240601)
    parser.add_argument("--small-contents", action="store_true")
    args = parser.parse_args()
    rng = random.Random(args.seed)

    os.makedirs(args.root, exist_ok=True)
    if os.listdir(args.root):
        sys.exit(f"make_tree.py: {args.root} is not empty")

    parents = folder_parents(rng, args.dirs)
    paths = []
    for i, parent in enumerate(parents):
        base = args.root if parent < 0 else paths[parent]
        path = os.path.join(base, name(rng, i, ""))
        os.mkdir(path)
        paths.append(path)

    # Uneven spread: exponential weights, so most folders hold a few files and some hold many.
    weights = [rng.expovariate(1.0) for _ in paths]
    owners = rng.choices(range(len(paths)), weights=weights, k=args.files)
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | getattr(os, "O_CLOEXEC", 0)
    for i, owner in enumerate(owners):
        path = os.path.join(paths[owner], name(rng, i, rng.choice(EXTENSIONS)))
        if args.small_contents:
            size = 0 if rng.random() < 0.1 else int(2 ** rng.uniform(0, 14))
        else:
            size = 0 if rng.random() < 0.1 else int(10 ** rng.uniform(0, 9.5))
        mtime = rng.randint(788_918_400, 2_366_841_600)  # 1995-01-01 .. 2045-01-01
        fd = os.open(path, flags, 0o644 if rng.random() < 0.9 else 0o444)
        try:
            if size and args.small_contents:
                os.write(fd, os.urandom(size))
            elif size:
                os.ftruncate(fd, size)
            os.utime(fd, (mtime, mtime))
        finally:
            os.close(fd)
    print(f"{args.files} files in {args.dirs} folders under {args.root}")


if __name__ == "__main__":
    main()

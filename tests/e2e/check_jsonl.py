#!/usr/bin/env python3
"""Checks a JSON Lines listing: every line is one JSON object, a header first and a summary last, the
fields of each kind of object with their types, ISO 8601 times with an offset, the summary's totals
against the objects, and (with --exists) that every path, taken from its exact bytes, is on disk.
Prints "ok" and the object counts, or the first fault, and exits 1 on a fault."""
import json
import os
import re
import sys

TIME = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}[+-]\d{2}:\d{2}$")
COMMON = {"path": str, "name": str, "size": int, "attributes": str}
FIELDS = {
    "folder": dict(COMMON, files=int),
    "subfolder": COMMON,
    "file": dict(COMMON, extension=str),
    "problem": {"kind": str, "path": str, "reason": str},
}


def fail(number, text):
    print(f"line {number}: {text}")
    sys.exit(1)


def exact(obj, key):
    return bytes.fromhex(obj[key + "Hex"]) if key + "Hex" in obj else obj[key].encode("utf-8")


def main():
    check_exists = "--exists" in sys.argv
    path = [a for a in sys.argv[1:] if not a.startswith("--")][0]
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    if lines[-1] != b"":
        fail(len(lines), "the last line has no line end")
    objects = []
    for number, line in enumerate(lines[:-1], 1):
        try:
            obj = json.loads(line.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            fail(number, f"not JSON: {error}")
        if not isinstance(obj, dict):
            fail(number, "not an object")
        objects.append(obj)
    if not objects or objects[0].get("type") != "header" or objects[-1].get("type") != "summary":
        fail(1, "no header first or no summary last")
    header = objects[0]
    if header.get("format") != 1 or not TIME.match(header.get("time", "")):
        fail(1, "bad header")
    counts = {"folder": 0, "subfolder": 0, "file": 0, "problem": 0}
    total = 0
    for number, obj in enumerate(objects[1:-1], 2):
        kind = obj.get("type")
        if kind not in FIELDS:
            fail(number, f"unknown type {kind!r}")
        counts[kind] += 1
        for key, wanted in FIELDS[kind].items():
            if not isinstance(obj.get(key), wanted) or isinstance(obj.get(key), bool):
                fail(number, f"{key} is not a {wanted.__name__}")
        if kind == "problem":
            continue
        for key in ("created", "modified", "accessed"):
            if obj[key] is not None and not TIME.match(obj[key]):
                fail(number, f"{key} {obj[key]!r} is no ISO 8601 time")
        if kind == "file":
            total += obj["size"]
            for key, digits in (("crc32", 8), ("xxh3", 16), ("sha256", 64)):
                if obj.get(key) is not None and not re.match(f"^[0-9a-f]{{{digits}}}$", obj[key]):
                    fail(number, f"bad {key}")
        if not exact(obj, "path").endswith(exact(obj, "name")):
            fail(number, "the name is not the end of the path")
        if check_exists and not os.path.lexists(exact(obj, "path")):
            fail(number, f"{exact(obj, 'path')!r} does not exist")
    summary = objects[-1]
    if (summary.get("folders"), summary.get("files"), summary.get("bytes"), summary.get("problems")) != (
        counts["folder"], counts["file"], total, counts["problem"]):
        fail(len(objects), "the summary does not add up")
    if summary.get("complete") != (counts["problem"] == 0 and not summary.get("cancelled")):
        fail(len(objects), "complete is wrong")
    print("ok folders={folder} subfolders={subfolder} files={file} problems={problem}".format(**counts))


main()

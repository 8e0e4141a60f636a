#!/usr/bin/env python3
"""Writes two JSON Lines listings of the same made-up tree for the comparison benchmark: FOLDERS
folders of FILES files each, in the program's default order; the second listing has every 100th file
grown, every 500th removed and one file added per 1,000 folders.
Usage: make_listings.py BEFORE AFTER [FOLDERS [FILES]]"""
import sys

before_path, after_path = sys.argv[1], sys.argv[2]
folders = int(sys.argv[3]) if len(sys.argv) > 3 else 50000
files = int(sys.argv[4]) if len(sys.argv) > 4 else 19
T = "2024-05-01T12:00:00+00:00"
HEADER = ('{"type":"header","program":"quillary","version":"v0.7","format":1,"time":"%s","selection":'
          '[{"path":"/bench/tree","subfolders":true}],"options":{"mask":"*.*","folders":true,"files":true,'
          '"subfolderEntries":false,"sortFolders":"name","sortFoldersDescending":false,"sortFiles":"name",'
          '"sortFilesDescending":false,"allTogether":false,"sortTime":"modified","crc32":false,'
          '"xxh3":false,"sha256":false,"version":false}}\n' % T)


def entry(kind, path, name, size, extra=""):
    return ('{"type":"%s","path":"%s","name":"%s","size":%d,"created":"%s","modified":"%s","accessed":"%s",'
            '"attributes":"-----"%s}\n' % (kind, path, name, size, T, T, T, extra))


def write(path, changed):
    with open(path, "w") as out:
        out.write(HEADER)
        out.write(entry("folder", "/bench/tree", "tree", 0, ',"files":0'))
        number = 0
        names = sorted("d%06d" % i for i in range(folders))
        for d, folder in enumerate(names):
            lines = [entry("folder", "/bench/tree/" + folder, folder, 0, ',"files":%d' % files)]
            for f in range(files):
                number += 1
                if changed and number % 500 == 0:
                    continue
                size = 1000 + f + (7 if changed and number % 100 == 0 else 0)
                name = "file%03d.txt" % f
                lines.append(entry("file", "/bench/tree/%s/%s" % (folder, name), name, size, ',"extension":"txt"'))
            if changed and d % 1000 == 0:
                lines.append(entry("file", "/bench/tree/%s/zz-new.txt" % folder, "zz-new.txt", 5, ',"extension":"txt"'))
            out.write("".join(lines))
        out.write('{"type":"summary","folders":0,"files":0,"bytes":0,"problems":0,"cancelled":false,"complete":true}\n')


write(before_path, False)
write(after_path, True)

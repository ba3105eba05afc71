#!/usr/bin/env python3
"""Folder clone groups of a tree, read independently of the program.

    folder_groups.py ROOT names   # folders of the same file names (letter case
                                  # ignored) and sizes at every depth
    folder_groups.py ROOT bytes   # the same relative paths (exact names), sizes
                                  # and bytes at every depth

Prints one group a line: its folders' paths, sorted, joined by a tab. Groups
have two folders or more; a folder inside another folder of its own group is
left out of that group. Plain folders and regular files only (what the
tests' trees hold).
"""

import hashlib
import os
import sys


def main():
    root, mode = sys.argv[1], sys.argv[2]
    keys = {}

    def key(path):
        entries = []
        with os.scandir(path) as it:
            for e in it:
                if e.is_dir(follow_symlinks=False):
                    name = e.name if mode == "bytes" else e.name.lower()
                    entries.append(("D", name, key(e.path)))
                else:
                    size = e.stat(follow_symlinks=False).st_size
                    if mode == "bytes":
                        with open(e.path, "rb") as f:
                            digest = hashlib.sha256(f.read()).hexdigest()
                        entries.append(("F", e.name, size, digest))
                    else:
                        entries.append(("F", e.name.lower(), size))
        k = hashlib.sha256(repr(sorted(entries)).encode()).hexdigest()
        keys[path] = k
        return k

    key(os.path.abspath(root))
    by_key = {}
    for path, k in keys.items():
        by_key.setdefault(k, []).append(path)
    for members in by_key.values():
        if len(members) < 2:
            continue
        kept = []
        for m in sorted(members):
            if not any(m.startswith(k + "/") for k in kept):
                kept.append(m)
        if len(kept) >= 2:
            print("\t".join(sorted(kept)))


main()

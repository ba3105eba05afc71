#!/usr/bin/env python3
"""Checks that two duplicate finders found the same groups.

compare_groups.py [--brief] TWINLENS_CSV PEER_OUTPUT
  TWINLENS_CSV: the file clone list of twinlens-cli (Group, File name,
                Directory, File size (MB)).
  PEER_OUTPUT:  groups of paths, one path a line, groups parted by a blank
                line (jdupes, fdupes).
Groups are compared as a set of sets of paths. Prints the outcome; exit
status 0 when the groups are the same, 1 otherwise.
"""

import csv
import sys


def twinlens_groups(path):
    groups = {}
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = csv.reader(f)
        header = next(rows)
        assert header[:3] == ["Group", "File name", "Directory"], header
        for row in rows:
            folder = row[2]
            full = folder + row[1] if folder.endswith("/") else folder + "/" + row[1]
            groups.setdefault(row[0], []).append(full)
    return groups.values()


def peer_groups(path):
    groups, cur = [], []
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if line:
                cur.append(line)
            elif cur:
                groups.append(cur)
                cur = []
    if cur:
        groups.append(cur)
    return groups


def as_set(groups, who):
    out = set()
    for g in groups:
        if len(set(g)) != len(g):
            print("%s lists a file twice in one group: %s" % (who, sorted(g)[0]))
        out.add(frozenset(g))
    return out


def main():
    args = sys.argv[1:]
    brief = args[:1] == ["--brief"]
    if brief:
        args = args[1:]
    a = as_set(twinlens_groups(args[0]), "twinlens")
    b = as_set(peer_groups(args[1]), "peer")
    files = sum(len(g) for g in a)
    if a == b:
        print("same groups: %d groups, %d files" % (len(a), files))
        return 0
    only_a, only_b = a - b, b - a
    print("groups differ: %d only in twinlens, %d only in the peer" % (len(only_a), len(only_b)))
    if brief:
        return 1
    for label, gs in (("twinlens only", only_a), ("peer only", only_b)):
        for g in sorted(gs, key=lambda s: sorted(s))[:5]:
            print("  %s: %s" % (label, " | ".join(sorted(g))))
    return 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Deterministic folder tree for the folder clone benchmark.

Makes about DIRS directories under OUT: original trees of small files, some of
them copied whole (folder clones), some copied with a name in other letter case
(still clones), and some copied with one change deep inside (a size one byte
larger, an extra empty file or an extra empty folder: near misses that must not
group at their top). Files are sparse (ftruncate), so the tree costs inodes,
not disk space.

With --expect the script also walks the finished tree and prints the number of
folder clone groups a correct detector lists with no group limit and groups of
two or more: folders grouped by file names (letter case ignored) and sizes at
every depth. It is an independent reading of the rule, so the benchmark checks
the program's count against it.

Usage: gen_dirs.py --dirs 100000 --out /work/bench-data-folders/100k [--seed 1] [--expect]
"""

import argparse
import hashlib
import os
import random
import sys


def make_layout(rng, budget, depth):
    """A folder as (files, subfolders): files {name: size}, subfolders {name: folder}."""
    files = {}
    for i in range(rng.randint(0, 5)):
        files["f%02d_%04x.%s" % (i, rng.getrandbits(16), rng.choice(("txt", "jpg", "bin", "dat")))] = rng.randint(0, 200000)
    subs = {}
    budget -= 1
    while budget > 0 and depth < 6:
        share = rng.randint(1, max(1, min(budget, budget // 2 + 1)))
        subs["d%05x" % rng.getrandbits(20)] = make_layout(rng, share, depth + 1)
        budget -= share
    return files, subs


def count(layout):
    return 1 + sum(count(s) for s in layout[1].values())


def deep_folder(rng, layout):
    """Some folder at the bottom of a layout, for a change."""
    while layout[1] and rng.random() < 0.8:
        layout = layout[1][rng.choice(sorted(layout[1]))]
    return layout


def copy_layout(layout):
    files, subs = layout
    return dict(files), {k: copy_layout(v) for k, v in subs.items()}


def materialize(path, layout):
    files, subs = layout
    os.makedirs(path, exist_ok=True)
    for name, size in files.items():
        fd = os.open(os.path.join(path, name), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        os.ftruncate(fd, size)
        os.close(fd)
    for name, sub in subs.items():
        materialize(os.path.join(path, name), sub)


def expected_groups(root):
    """Groups of folders with equal names (case folded) and sizes, at every depth."""
    members = {}

    def sig(path):
        entries = []
        total = 0
        with os.scandir(path) as it:
            for e in it:
                if e.is_dir(follow_symlinks=False):
                    s, t = sig(e.path)
                    entries.append("D|%s|%s|%d" % (e.name.lower(), s, t))
                    total += t
                else:
                    size = e.stat(follow_symlinks=False).st_size
                    entries.append("F|%s|%d" % (e.name.lower(), size))
                    total += size
        entries.sort()
        s = hashlib.sha1("".join(x + "\r\n" for x in entries).encode()).hexdigest()
        members[s] = members.get(s, 0) + 1
        return s, total

    sys.setrecursionlimit(10000)
    sig(root)
    # In a tree without links a folder never shares a signature with one of
    # its ancestors, so no member is dropped as nested.
    return sum(1 for n in members.values() if n >= 2)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--dirs", type=int, required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--expect", action="store_true")
    a = ap.parse_args()

    rng = random.Random(a.seed)
    if os.path.exists(a.out) and os.listdir(a.out):
        sys.exit("gen_dirs.py: %s exists and is not empty" % a.out)

    made = 0
    tree = 0
    stats = {"originals": 0, "clones": 0, "case": 0, "near": 0}
    while made < a.dirs:
        layout = make_layout(rng, rng.randint(20, 180), 0)
        base = os.path.join(a.out, "set%03d" % (tree // 100), "t%05d" % tree)
        materialize(os.path.join(base, "orig"), layout)
        made += count(layout) + (1 if tree % 100 == 0 else 0) + 1
        stats["originals"] += 1
        r = rng.random()
        if r < 0.30:
            copy = layout
            stats["clones"] += 1
        elif r < 0.40:
            copy = copy_layout(layout)
            files = deep_folder(rng, copy)[0]
            if files:
                name = sorted(files)[0]
                files[name.upper()] = files.pop(name)
            stats["case"] += 1
        elif r < 0.55:
            copy = copy_layout(layout)
            files, subs = deep_folder(rng, copy)
            kind = rng.randint(0, 2)
            if kind == 0 and files:
                name = sorted(files)[0]
                files[name] += 1
            elif kind == 1:
                files["extra.txt"] = 0
            else:
                subs["extra"] = ({}, {})
            stats["near"] += 1
        else:
            copy = None
        if copy is not None:
            materialize(os.path.join(base, "copy"), copy)
            made += count(copy)
        tree += 1
    print("gen_dirs.py: %d directories in %d trees (%s) under %s"
          % (made, tree, ", ".join("%s %d" % kv for kv in stats.items()), a.out), file=sys.stderr)
    if a.expect:
        print(expected_groups(a.out))


if __name__ == "__main__":
    main()

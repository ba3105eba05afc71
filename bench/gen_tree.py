#!/usr/bin/env python3
"""Writes a deterministic tree of files for the duplicate-finder benchmark.

The same shape, seed and options always give the same tree, byte for byte.
No links of any kind, so every peer counts the same regular files. Shapes:

mixed (default): 20 000 files, 5 GB
  - file sizes drawn from a log-normal law, scaled to the wanted total;
  - exact copies in other folders, some under other names;
  - files of one size that differ in their first bytes, or only in the last;
  - whole folder trees copied elsewhere;
  - names in several scripts and letter cases (Photo.JPG beside photo.jpg);
  - a few empty files.
small: 200 000 small files, 1.3 GB (scaled with --files), a quarter of them
  exact copies of others in other folders, half of those under other names,
  spread over a folder tree some levels deep whose folders hold from a few
  files to a few thousand.
samesize: 1 500 files of 2 MiB that differ in their first 4 KiB and are alike
  after it; every tenth is a copy of another.
bigpairs: 8 files of 400 MiB in 4 pairs of equal files, each pair's content
  unlike the others' throughout.
projects: 64 500 small files in 1 500 project folders (scaled with --files,
  43 files a project): each project's src/ holds 3 sources, the same as those
  of every 300th project, and its node_modules/ the same 40 package files as
  every other project's, so 60 000 files lie in folders an exclusion of
  node_modules leaves out.

- tiny: 300 000 files of 39 bytes each (one size class), 1 000 to a folder;
  the last quarter are copies of the first quarter's contents, the rest
  unique: a run of opens and little else.

Every distinct content is distinct in its first 8 bytes (its number), so no
two files meant to differ are alike by chance; all bytes are written, no holes.

Usage: gen_tree.py DIR [--shape mixed|small|samesize|bigpairs|projects|tiny] [--files N]
                       [--total-gb G] [--file-mb M] [--seed S] [--print-options]
  --files: number of files (bigpairs: an even number); --total-gb: mixed and
  small; --file-mb: size of each file, samesize and bigpairs;
  --print-options: print a short name for the options in effect and the
  bytes of disk the tree takes, and stop.
"""

import argparse
import bisect
import math
import os
import random
import shutil
import struct
import sys

POOL_SIZE = 64 << 20  # random bytes that file contents are cut from
MAX_FILE = 256 << 20
GB = 1 << 30
MB = 1 << 20

WORDS = [
    "report", "Photo", "IMG", "notes", "backup", "Rechnung", "été", "Ärger", "façade",
    "отчёт", "Фото", "данные", "φωτογραφία", "Αρχείο", "写真", "資料", "データ", "사진",
    "صورة", "תמונה", "चित्र", "ภาพ", "mañana", "ŁÓDŹ", "straße", "data", "Mix_Ab",
]
EXTS = [".jpg", ".JPG", ".png", ".txt", ".TXT", ".pdf", ".mp4", ".bin", "", ".tar.gz", ".Docx"]

# Files, total GB or file MB of each shape when not given.
DEFAULTS = {
    "mixed": dict(files=20000, total_gb=5.0),
    "small": dict(files=200000, total_gb_per_file=1.3 / 200000),
    "samesize": dict(files=1500, file_mb=2.0),
    "bigpairs": dict(files=8, file_mb=400.0),
    "projects": dict(files=64500),
    "tiny": dict(files=300000),
}


def resolve(a):
    """The options in effect for the shape, a short name for them and about
    how many bytes of disk the tree takes."""
    d = DEFAULTS[a.shape]
    files = a.files if a.files is not None else d["files"]
    if a.shape in ("mixed", "small"):
        total = a.total_gb
        if total is None:
            total = d["total_gb"] if "total_gb" in d else round(files * d["total_gb_per_file"], 3)
        disk = total * GB * 1.3 if a.shape == "mixed" else total * GB + files * 4096
        return files, total, None, "%s-%d-%ggb" % (a.shape, files, total), int(disk)
    if a.shape == "projects":
        return files, None, None, "projects-%d" % files, (files // 43 + 1) * 43 * 4096
    if a.shape == "tiny":
        return files, None, None, "tiny-%d" % files, files * 4096
    file_mb = a.file_mb if a.file_mb is not None else d["file_mb"]
    if a.shape == "bigpairs" and (files < 2 or files % 2):
        sys.exit("gen_tree.py: bigpairs needs an even number of files")
    return files, None, file_mb, "%s-%d-%gmb" % (a.shape, files, file_mb), int(files * file_mb * MB)


def write_file(full, *parts):
    fd = os.open(full, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    try:
        for p in parts:
            view = memoryview(p)
            while view:
                view = view[os.write(fd, view):]
    finally:
        os.close(fd)


def gen_mixed(root, files, total_gb, seed):
    rnd = random.Random(seed)
    pool = random.Random(seed + 1).randbytes(POOL_SIZE)
    # Folders: a few top folders, two levels below them.
    folders = []
    for t in range(24):
        top = "%s_%02d" % (rnd.choice(WORDS), t)
        for s in range(rnd.randint(3, 8)):
            sub = os.path.join(top, "%s %d" % (rnd.choice(WORDS), s))
            folders.append(sub)
            for u in range(rnd.randint(0, 3)):
                folders.append(os.path.join(sub, "%s-%d" % (rnd.choice(WORDS).lower(), u)))
    for f in folders:
        os.makedirs(os.path.join(root, f), exist_ok=True)

    # Plan: most files are originals; the rest copy an original, mimic its
    # size, or are empty. Copied trees come on top.
    n = files
    kinds = []
    for i in range(n):
        r = rnd.random()
        if i < 50 or r < 0.78:
            kinds.append("orig")
        elif r < 0.92:
            kinds.append("copy")
        elif r < 0.955:
            kinds.append("samesize_head")
        elif r < 0.99:
            kinds.append("samesize_tail")
        else:
            kinds.append("empty")

    mu, sigma = 10.5, 2.0
    raw = [min(MAX_FILE, max(1, int(math.exp(rnd.gauss(mu, sigma))))) for _ in range(n)]
    # Scale the drawn sizes to the total; copies, same-size files and copied
    # trees come out near what the originals lose to the 256 MB cap.
    target = total_gb * (1 << 30)
    scale = target / sum(raw)
    sizes = [min(MAX_FILE, max(1, int(s * scale))) for s in raw]

    used_names = set()

    def name_in(folder):
        while True:
            w = rnd.choice(WORDS)
            if rnd.random() < 0.3:
                w = w.upper() if rnd.random() < 0.5 else w.lower()
            nm = "%s_%d%s" % (w, rnd.randint(0, 99999), rnd.choice(EXTS))
            key = (folder, nm)
            if key not in used_names:
                used_names.add(key)
                return os.path.join(folder, nm)

    def content(cid, size):
        # A file's bytes: its id, then pool bytes from an offset of its own.
        head = ("%016x" % cid).encode()
        out = bytearray(head[:size])
        off = (cid * 2654435761) % (POOL_SIZE - 4096)
        while len(out) < size:
            take = min(size - len(out), POOL_SIZE - off)
            out += pool[off:off + take]
            off = (off + take) % POOL_SIZE
        return out

    originals = []  # (path, size, content id)
    total = 0
    for i in range(n):
        kind = kinds[i]
        folder = rnd.choice(folders)
        path = name_in(folder)
        full = os.path.join(root, path)
        if kind == "empty":
            open(full, "wb").close()
            continue
        if kind == "copy" and originals:
            src = rnd.choice(originals)
            if rnd.random() < 0.5:
                # The same name in another folder.
                path = os.path.join(folder, os.path.basename(src[0]))
                if (folder, os.path.basename(src[0])) in used_names:
                    path = name_in(folder)
                used_names.add((folder, os.path.basename(path)))
                full = os.path.join(root, path)
            shutil.copyfile(os.path.join(root, src[0]), full)
            total += src[1]
            continue
        if kind in ("samesize_head", "samesize_tail") and originals:
            src = rnd.choice(originals)
            data = content(src[2], src[1])
            if kind == "samesize_head" or src[1] < 2:
                data = content(i + 1_000_000, src[1])
            else:
                data[-1] ^= 0xFF
            with open(full, "wb") as fh:
                fh.write(data)
            total += src[1]
            continue
        size = sizes[i]
        with open(full, "wb") as fh:
            fh.write(content(i, size))
        originals.append((path, size, i))
        total += size

    # Whole trees copied: a folder and everything below it, twice.
    tops = sorted({f.split(os.sep)[0] for f in folders})
    for k, top in enumerate(rnd.sample(tops, 2)):
        subs = sorted(f for f in folders if f.startswith(top + os.sep) and f.count(os.sep) == 1)
        src = rnd.choice(subs)
        dst = os.path.join("copied trees %d" % k, os.path.basename(src))
        shutil.copytree(os.path.join(root, src), os.path.join(root, dst))


# Top folders of a home directory, for the small shape.
TOPS = ["Documents", "Pictures", "Music", "Projects", "Downloads", "Desktop", "Archive",
        "Backup 2021", "src", "Фото", "写真", "Mail", "Camera", "Sync", "old disk"]


def gen_small(root, n, total_gb, seed):
    rnd = random.Random(seed)
    pool_size = 16 << 20
    max_file = 1 << 20
    pool = random.Random(seed + 1).randbytes(pool_size)

    # Folders: each new one goes below a folder drawn from those made so far
    # (at most 8 deep), so the tree gets a few wide and many deep branches.
    folders, depth, children = [], [], []
    for t in TOPS:
        folders.append(t)
        depth.append(1)
        children.append(0)
    for _ in range(max(0, n // 16 - len(TOPS))):
        p = rnd.randrange(len(folders))
        while depth[p] >= 8:
            p = rnd.randrange(len(folders))
        children[p] += 1
        w = rnd.choice(WORDS)
        if rnd.random() < 0.3:
            w = w.lower()
        folders.append(os.path.join(folders[p], "%s %d" % (w, children[p])))
        depth.append(depth[p] + 1)
        children.append(0)
    for f in folders:
        os.makedirs(os.path.join(root, f), exist_ok=True)
    # How many files a folder gets: a heavy-tailed weight each.
    cum, acc = [], 0.0
    for _ in folders:
        acc += rnd.paretovariate(1.5)
        cum.append(acc)

    def pick_folder():
        return min(len(folders) - 1, bisect.bisect(cum, rnd.random() * acc))

    used_names = set()

    def name_in(folder):
        while True:
            w = rnd.choice(WORDS)
            if rnd.random() < 0.3:
                w = w.upper() if rnd.random() < 0.5 else w.lower()
            nm = "%s_%d%s" % (w, rnd.randint(0, 99999), rnd.choice(EXTS))
            if (folder, nm) not in used_names:
                used_names.add((folder, nm))
                return nm

    def content(cid, size):
        off = (cid * 2654435761) % (pool_size - max_file)
        return struct.pack("<Q", cid)[:size] + pool[off:off + max(0, size - 8)]

    raw = [min(max_file, max(8, int(math.exp(rnd.gauss(8.0, 1.6))))) for _ in range(n)]
    scale = total_gb * GB / sum(raw)  # copies take their sizes from the same law
    sizes = [min(max_file, max(8, int(s * scale))) for s in raw]
    copies = n // 4
    is_copy = [False] * (n - copies) + [True] * copies
    rnd.shuffle(is_copy)

    originals = []  # (folder index, name, size, content id)
    for i in range(n):
        folder = pick_folder()
        if is_copy[i] and originals:
            src = rnd.choice(originals)
            while folder == src[0] and len(folders) > 1:
                folder = pick_folder()
            nm = src[1]
            if rnd.random() < 0.5 or (folder, nm) in used_names:
                nm = name_in(folder)  # another name
            used_names.add((folder, nm))
            write_file(os.path.join(root, folders[folder], nm), content(src[3], src[2]))
            continue
        nm = name_in(folder)
        write_file(os.path.join(root, folders[folder], nm), content(i, sizes[i]))
        originals.append((folder, nm, sizes[i], i))


def gen_samesize(root, n, file_mb, seed):
    rnd = random.Random(seed)
    size = int(file_mb * MB)
    head = min(size, 4096)
    rest = random.Random(seed + 1).randbytes(size - head)  # alike in every file
    folders = ["scans/%s %02d" % (rnd.choice(WORDS), k) for k in range(12)]
    for f in folders:
        os.makedirs(os.path.join(root, f), exist_ok=True)
    originals = []  # head bytes
    for i in range(n):
        if i % 10 == 9:
            first = rnd.choice(originals)
        else:
            first = (struct.pack("<Q", i) + rnd.randbytes(max(0, head - 8)))[:head]
            originals.append(first)
        write_file(os.path.join(root, rnd.choice(folders), "page_%05d.tif" % i), first, rest)


def gen_bigpairs(root, n, file_mb, seed):
    rnd = random.Random(seed)
    pool = memoryview(random.Random(seed + 1).randbytes(POOL_SIZE))
    size = int(file_mb * MB)
    for f in ("videos", "backup/videos old"):
        os.makedirs(os.path.join(root, f), exist_ok=True)
    for k in range(n // 2):
        # The pool from an offset of this content's own, round and round.
        off = (k * 2654435761 + rnd.randrange(POOL_SIZE)) % POOL_SIZE
        parts, left = [struct.pack("<Q", k)[:size]], size - min(size, 8)
        while left:
            take = min(left, POOL_SIZE - off)
            parts.append(pool[off:off + take])
            left -= take
            off = 0
        write_file(os.path.join(root, "videos", "holiday %d.mp4" % k), *parts)
        write_file(os.path.join(root, "backup/videos old", "clip_%d (copy).mp4" % k), *parts)


def gen_projects(root, n, seed):
    rnd = random.Random(seed)
    # Contents numbered in their first 8 bytes: 40 package files shared by
    # every project, and 3 sources for each of 300 kinds of project.
    def content(number, size):
        return struct.pack("<Q", number) + rnd.randbytes(size - 8)
    packages = [content(k, rnd.randrange(200, 4000)) for k in range(40)]
    sources = [[content(1000 + 3 * kind + m, rnd.randrange(100, 2000)) for m in range(3)] for kind in range(300)]
    for p in range(max(1, n // 43)):
        project = os.path.join(root, "p%04d" % p)
        os.makedirs(os.path.join(project, "src"))
        for m, body in enumerate(sources[p % 300]):
            write_file(os.path.join(project, "src", "m%d.c" % m), body)
        for k, body in enumerate(packages):
            folder = os.path.join(project, "node_modules", "pkg%d" % (k // 5))
            os.makedirs(folder, exist_ok=True)
            write_file(os.path.join(folder, "f%d.js" % (k % 5)), body)


def gen_tiny(root, n, seed):
    del seed  # the contents are their numbers
    unique = n - n // 4
    for i in range(n):
        folder = os.path.join(root, "d%04d" % (i // 1000))
        if i % 1000 == 0:
            os.makedirs(folder)
        number = i if i < unique else i - unique
        write_file(os.path.join(folder, "f%d.txt" % i), b"%038d\n" % number)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dir", nargs="?")
    ap.add_argument("--shape", choices=sorted(DEFAULTS), default="mixed")
    ap.add_argument("--files", type=int)
    ap.add_argument("--total-gb", type=float)
    ap.add_argument("--file-mb", type=float)
    ap.add_argument("--seed", type=int, default=20240601)
    ap.add_argument("--print-options", action="store_true")
    a = ap.parse_args()
    files, total_gb, file_mb, name, disk = resolve(a)
    if a.print_options:
        print(name, disk)
        return
    if not a.dir:
        ap.error("the folder to write is missing")

    root = os.path.abspath(a.dir)
    if os.path.exists(root):
        shutil.rmtree(root)
    os.makedirs(root)
    if a.shape == "mixed":
        gen_mixed(root, files, total_gb, a.seed)
    elif a.shape == "small":
        gen_small(root, files, total_gb, a.seed)
    elif a.shape == "samesize":
        gen_samesize(root, files, file_mb, a.seed)
    elif a.shape == "bigpairs":
        gen_bigpairs(root, files, file_mb, a.seed)
    elif a.shape == "tiny":
        gen_tiny(root, files, a.seed)
    else:
        gen_projects(root, files, a.seed)

    files = 0
    size = 0
    for dp, _, fns in os.walk(root):
        for fn in fns:
            files += 1
            size += os.path.getsize(os.path.join(dp, fn))
    print("%s: %d files, %.2f GB" % (root, files, size / GB), file=sys.stderr)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes a deterministic tree of files for the duplicate-finder benchmark.

The same seed and options always give the same tree, byte for byte:
- file sizes drawn from a log-normal law, scaled to the wanted total;
- exact copies in other folders, some under other names;
- files of one size that differ in their first bytes, or only in the last;
- whole folder trees copied elsewhere;
- names in several scripts and letter cases (Photo.JPG beside photo.jpg);
- a few empty files.
No links of any kind, so every peer counts the same regular files.

Usage: gen_tree.py DIR [--files N] [--total-gb G] [--seed S]
"""

import argparse
import math
import os
import random
import shutil
import sys

POOL_SIZE = 64 << 20  # random bytes that file contents are cut from
MAX_FILE = 256 << 20

WORDS = [
    "report", "Photo", "IMG", "notes", "backup", "Rechnung", "été", "Ärger", "façade",
    "отчёт", "Фото", "данные", "φωτογραφία", "Αρχείο", "写真", "資料", "データ", "사진",
    "صورة", "תמונה", "चित्र", "ภาพ", "mañana", "ŁÓDŹ", "straße", "data", "Mix_Ab",
]
EXTS = [".jpg", ".JPG", ".png", ".txt", ".TXT", ".pdf", ".mp4", ".bin", "", ".tar.gz", ".Docx"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dir")
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--total-gb", type=float, default=5.0)
    ap.add_argument("--seed", type=int, default=20240601)
    a = ap.parse_args()

    rnd = random.Random(a.seed)
    pool = random.Random(a.seed + 1).randbytes(POOL_SIZE)
    root = os.path.abspath(a.dir)
    if os.path.exists(root):
        shutil.rmtree(root)
    os.makedirs(root)

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
    n = a.files
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
    target = a.total_gb * (1 << 30)
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

    files = 0
    size = 0
    for dp, _, fns in os.walk(root):
        for fn in fns:
            files += 1
            size += os.path.getsize(os.path.join(dp, fn))
    print("%s: %d files, %.2f GB" % (root, files, size / (1 << 30)), file=sys.stderr)


if __name__ == "__main__":
    main()

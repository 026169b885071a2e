#!/usr/bin/env python3
"""Makes the archives the reader tests unpack, with Debian's Info-ZIP `zip`.
Usage: make_zip_fixtures.py OUTDIR

OUTDIR/tree holds the files (known times and modes). Archives: deflated.zip (zip -9),
stored.zip (zip -0), junk.zip (bytes in front, offsets not adjusted), junk-adjusted.zip (the
same after zip -A), streamed.zip (written to a pipe: data descriptors), small.zip (a stored
and a deflated entry). manifest.tsv: name, size, kind, read-only, mtime, atime per entry."""
import os
import random
import shutil
import subprocess
import sys

MTIME = 1614830766  # 2021-03-04 04:06:06 UTC (even: DOS time keeps it exactly)
ATIME = 1700000000
ENV = dict(os.environ, TZ="UTC", LC_ALL="C.UTF-8")


def text(n, seed):
    rnd = random.Random(seed)
    words = [b"install ", b"package ", b"component ", b"registry\n", b"setup ", b"file "]
    return b"".join(rnd.choice(words) for _ in range(n // 3))[:n]


def zip_(cwd, *args, **kw):
    return subprocess.run(["zip", "-q"] + list(args), cwd=cwd, env=ENV, check=True, **kw)


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    tree = os.path.join(out, "tree")
    rnd = random.Random(1321)
    files = [
        ("hello.txt", b"Hello, zip!\n", 0o644),
        ("compressible.log", text(200000, 1), 0o644),
        ("data/random.bin", bytes(rnd.getrandbits(8) for _ in range(70000)), 0o644),
        ("data/readonly.txt", b"do not change\n", 0o444),
        ("data/nested/deep.txt", text(5000, 2), 0o644),
        ("empty.txt", b"", 0o644),
        ("\u6e38\u620f/\u914d\u7f6e.ini", "[app]\nmain_url=x\n".encode("utf-8"), 0o644),
    ]
    for i, (name, data, mode) in enumerate(files):
        path = os.path.join(tree, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        os.chmod(path, mode)
        os.utime(path, (ATIME, MTIME + 2 * i))
    dirs = ["data/", "data/nested/", "\u6e38\u620f/"]
    for i, d in enumerate(dirs):
        os.utime(os.path.join(tree, d), (ATIME, MTIME - 2 * (i + 1)))

    names = sorted([f[0] for f in files] + dirs)
    zip_(tree, "-r", "-9", os.path.join(out, "deflated.zip"), *names)
    zip_(tree, "-r", "-0", os.path.join(out, "stored.zip"), *names)
    with open(os.path.join(out, "deflated.zip"), "rb") as f:
        archive = f.read()
    junk = b"MZ" + bytes(rnd.getrandbits(8) for _ in range(4094))
    for name in ("junk.zip", "junk-adjusted.zip"):
        with open(os.path.join(out, name), "wb") as f:
            f.write(junk + archive)
    zip_(tree, "-A", os.path.join(out, "junk-adjusted.zip"))
    # Through a pipe zip cannot seek back, so it writes data descriptors.
    piped = zip_(tree, "-", "hello.txt", "compressible.log", "data/nested/deep.txt", stdout=subprocess.PIPE)
    with open(os.path.join(out, "streamed.zip"), "wb") as f:
        f.write(piped.stdout)
    zip_(tree, "-9", os.path.join(out, "small.zip"), "hello.txt", "data/nested/deep.txt")

    with open(os.path.join(out, "manifest.tsv"), "w", encoding="utf-8") as f:
        for name in names:
            st = os.stat(os.path.join(tree, name))
            kind = "dir" if name.endswith("/") else "file"
            readonly = 0 if st.st_mode & 0o200 else 1
            f.write(f"{name}\t{0 if kind == 'dir' else st.st_size}\t{kind}\t{readonly}\t{int(st.st_mtime)}\t{ATIME}\n")


if __name__ == "__main__":
    main()

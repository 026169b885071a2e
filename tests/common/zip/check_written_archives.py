#!/usr/bin/env python3
"""Checks what write_interop_archives wrote: `unzip -t` finds no error (or an empty archive),
and Python's zipfile lists the planned names and methods and reads every entry back.
Usage: check_written_archives.py OUTDIR"""
import os
import subprocess
import sys
import zipfile


def check(folder, base):
    path = os.path.join(folder, base + ".zip")
    with open(os.path.join(folder, base + ".list"), encoding="utf-8") as f:
        planned = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    test = subprocess.run(["unzip", "-t", path], capture_output=True, text=True)
    said = test.stdout + test.stderr
    if planned and test.returncode != 0 or not planned and "zipfile is empty" not in said:
        return [f"{base}: unzip -t exit {test.returncode}: {said}"]
    errors = []
    with zipfile.ZipFile(path) as zf:
        if zf.testzip() is not None:
            errors.append(f"{base}: zipfile CRC error in {zf.testzip()}")
        infos = zf.infolist()
        if [i.filename for i in infos] != [p[0] for p in planned]:
            return errors + [f"{base}: names {[i.filename for i in infos]} != {[p[0] for p in planned]}"]
        for index, (info, (name, method)) in enumerate(zip(infos, planned)):
            with open(os.path.join(folder, base + ".d", str(index)), "rb") as f:
                expected = f.read()
            if info.compress_type != int(method):
                errors.append(f"{base}: {name} method {info.compress_type}, expected {method}")
            if zf.read(info) != expected or info.file_size != len(expected):
                errors.append(f"{base}: {name} bytes or size differ")
    return errors


def main():
    bases = ["mixed", "single", "one-empty-entry", "no-entries"]
    errors = [e for base in bases for e in check(sys.argv[1], base)]
    print("\n".join(errors + [f"checked {len(bases)} archives, {len(errors)} errors"]))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())

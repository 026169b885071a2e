#!/usr/bin/env python3
"""Checks the archives write_interop_archives wrote: `unzip -t` finds no error, and
Python's zipfile lists the expected names and methods and reads every entry back byte
for byte. Usage: check_written_archives.py OUTDIR"""
import os
import subprocess
import sys
import zipfile

EXPECTED = ["mixed", "single", "one-empty-entry", "no-entries"]


def check(folder, base):
    path = os.path.join(folder, base + ".zip")
    with open(os.path.join(folder, base + ".list"), encoding="utf-8") as f:
        planned = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    test = subprocess.run(["unzip", "-t", path], capture_output=True, text=True)
    if planned and test.returncode != 0:
        return [f"{base}: unzip -t exit {test.returncode}: {test.stdout}{test.stderr}"]
    if not planned and "zipfile is empty" not in test.stdout + test.stderr:
        return [f"{base}: unzip -t does not see an empty archive: {test.stdout}{test.stderr}"]
    errors = []
    with zipfile.ZipFile(path) as zf:
        if zf.testzip() is not None:
            errors.append(f"{base}: zipfile CRC error in {zf.testzip()}")
        infos = zf.infolist()
        if [i.filename for i in infos] != [p[0] for p in planned]:
            errors.append(f"{base}: names {[i.filename for i in infos]} != {[p[0] for p in planned]}")
            return errors
        for index, (info, (name, method)) in enumerate(zip(infos, planned)):
            if info.compress_type != int(method):
                errors.append(f"{base}: {name} method {info.compress_type}, expected {method}")
            with open(os.path.join(folder, base + ".d", str(index)), "rb") as f:
                expected = f.read()
            if zf.read(info) != expected:
                errors.append(f"{base}: {name} bytes differ")
            if info.file_size != len(expected):
                errors.append(f"{base}: {name} size {info.file_size} != {len(expected)}")
    return errors


def main():
    folder = sys.argv[1]
    errors = []
    for base in EXPECTED:
        errors += check(folder, base)
    for e in errors:
        print(e)
    print(f"checked {len(EXPECTED)} archives, {len(errors)} errors")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())

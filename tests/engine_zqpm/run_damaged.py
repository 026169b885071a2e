#!/usr/bin/env python3
"""Copies a setup program with one byte of its first package flipped and runs the copy.

usage: run_damaged.py SETUP COPY RUNNER ARGS...  (the copy runs as RUNNER COPY ARGS...)
"""
import shutil
import struct
import subprocess
import sys


def main():
    setup, copy, runner, args = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    shutil.copyfile(setup, copy)
    with open(copy, "r+b") as f:
        f.seek(0x30)
        head = struct.unpack("<I", f.read(4))[0]
        if head == 0:
            sys.exit("run_damaged: %s has no packages" % setup)
        f.seek(head + 512)  # inside the first package's items
        byte = f.read(1)[0]
        f.seek(head + 512)
        f.write(bytes([byte ^ 0xFF]))
    return subprocess.call([runner, copy] + args)


if __name__ == "__main__":
    sys.exit(main())

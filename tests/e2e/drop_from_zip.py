#!/usr/bin/env python3
"""Copies a zip archive without the named entries: drop_from_zip.py SOURCE TARGET NAME..."""
import os
import sys
import zipfile


def main():
    source, target, names = sys.argv[1], sys.argv[2], set(sys.argv[3:])
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with zipfile.ZipFile(source) as src, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as dst:
        for item in src.infolist():
            if item.filename not in names:
                dst.writestr(item, src.read(item.filename))


if __name__ == "__main__":
    main()

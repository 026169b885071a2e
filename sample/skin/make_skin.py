#!/usr/bin/env python3
"""Builds the sample skin "PackageManager.zip": the layouts of this folder and the images that
art.py draws (original shapes and gradients only)."""
import os
import sys
import zipfile

sys.dont_write_bytecode = True  # keep the source folder clean
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import art  # noqa: E402

LAYOUTS = ["install.xml", "uninstall.xml", "webinstall.xml", "msg.xml"]


def main():
    out = sys.argv[1]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with zipfile.ZipFile(out + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
        for name in LAYOUTS:
            z.write(os.path.join(HERE, name), name)
        for name, canvas in art.images():
            z.writestr(name, canvas.png())
    os.replace(out + ".tmp", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Host side of the start-up benchmark (bench_startup.exe runs it under Wine's /bin/sh).

  bench_host.py prepare DIR STAGE   builds DIR/startup_nsis.exe, an NSIS wizard installing
                                    the sample product's program files (STAGE/list0.txt, the
                                    files the setup program's package #0 holds); writes
                                    DIR/ready.json
  bench_host.py clean DIR           removes the installer and its script; writes DIR/clean.json
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from bench_nsis import build_nsis, run_command, write_json  # noqa: E402


def product_files(stage):
    with open(os.path.join(stage, "list0.txt"), encoding="utf-8") as f:
        return [line.strip() for line in f if line.strip()]


def prepare(work):
    stage = os.path.abspath(sys.argv[3])
    body, folder, total = [], None, 0
    for path in product_files(stage):
        parent = path.rpartition("\\")[0]
        if parent != folder:
            folder = parent
            body.append('  SetOutPath "$INSTDIR%s"' % ("\\" + parent if parent else ""))
        source = os.path.join(stage, *path.split("\\"))
        total += os.path.getsize(source)
        body.append('  File "%s"' % source)
    build_nsis(os.path.join(work, "startup.nsi"), os.path.join(work, "startup_nsis.exe"), "TamselPelluvoNsis",
               body, interactive=True)
    write_json(os.path.join(work, "ready.json"), {"files": len(product_files(stage)), "bytes": total})


def clean(work):
    for name in ["startup_nsis.exe", "startup.nsi"]:
        path = os.path.join(work, name)
        if os.path.exists(path):
            os.remove(path)
    write_json(os.path.join(work, "clean.json"), {})


if __name__ == "__main__":
    sys.exit(run_command({"prepare": prepare, "clean": clean}))

#!/usr/bin/env python3
"""Host side of the install benchmark (bench_install.exe runs it under Wine's /bin/sh; the
exe cannot start makensis itself or wait for a host program).

  bench_host.py prepare DIR   lays out a 50 MB mixed payload as a product in DIR/stage
                              (component configuration with md5, time and size of every file,
                              product description, "_setup.ini", the maker's two file lists)
                              and builds DIR/bench_nsis.exe from the same files with NSIS
                              (zlib); writes DIR/ready.json
  bench_host.py clean DIR     removes the payload, the stage and the installers; writes
                              DIR/clean.json
Result files are written whole (renamed into place) so the exe can poll for them; a failure
writes DIR/host-error.json.
"""
import hashlib
import os
import random
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from bench_nsis import build_nsis, run_command, write_json  # noqa: E402

WORDS = ["account", "switch", "login", "token", "server", "profile", "session", "friend", "region",
         "update", "launcher", "tray", "window", "status"]
FOLDERS = ["text", "media", "bin", "logs"]


def text_bytes(size, seed):
    rnd = random.Random(seed)
    parts, length = [], 0
    while length < size:
        word = rnd.choice(WORDS) + ("\r\n" if rnd.random() < 0.125 else " ")
        parts.append(word)
        length += len(word)
    return "".join(parts).encode()[:size]


def payload():
    """(package path, bytes) of the 50 MB mix: small texts, incompressible media, program
    binaries, one large text."""
    for i in range(3000):
        yield "text\\t%d.txt" % i, text_bytes(3000, i)
    for i in range(10):
        yield "media\\m%d.bin" % i, random.Random(1000 + i).randbytes(1600 * 1024)
    with open(sys.executable, "rb") as f:
        program = f.read()
    for i in range(8):
        binary = bytearray((program * (1280 * 1024 // len(program) + 1))[:1280 * 1024])
        binary[i] ^= 0xFF
        yield "bin\\module%d.dll" % i, bytes(binary)
    yield "logs\\history.txt", text_bytes(15 * 1024 * 1024, 77)


def component_config(records):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<ComponentRoot name_0804="Bench" name_0404="Bench" name_0409="Bench" isEssential="yes" '
             'isDisplay="no" type="Client" version="1.0">',
             '  <Config>', '    <Files>']
    for path, md5, time_ms, size in records:
        lines.append('      <file path="%s" md5="%s" time="%d" size="%d"/>' % (path, md5, time_ms, size))
    lines += ['    </Files>', '  </Config>', '</ComponentRoot>', '']
    return "\r\n".join(lines)


PRODUCT = """<?xml version="1.0" encoding="utf-8"?>
<ProductRoot type="OffLine" version="1.0">
  <ProductInfo>
    <Common ProductID="0" ProductOS="1" ProductType="1" ProductRunMode="1" ProductVer="1.0" ProductVer2="1.0" SysVersion="5.1+"/>
    <Components>
      <Component name="bench" config="bench.config"/>
    </Components>
  </ProductInfo>
  <InstallInfo Path="" RegKey="HKCU\\Software\\TamselBench" Name_0804="Bench" Name_0404="Bench" Name_0409="Bench"/>
  <ExtraModule Path=""/>
  <SetupInfo name="setup" config="setup.config"/>
</ProductRoot>
"""

SETUP_LIST = """<?xml version="1.0" encoding="utf-8"?>
<ComponentRoot name_0804="Setup" name_0404="Setup" name_0409="Setup" isEssential="yes" isDisplay="no" type="Client" version="1.0">
  <Config>
    <Files/>
  </Config>
</ComponentRoot>
"""

def put(stage, path, data):
    target = os.path.join(stage, *path.split("\\"))
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as f:
        f.write(data)


def prepare(work):
    stage = os.path.join(work, "stage")
    shutil.rmtree(stage, ignore_errors=True)
    records, total = [], 0
    for path, data in payload():
        put(stage, path, data)
        mtime = os.stat(os.path.join(stage, *path.split("\\"))).st_mtime
        records.append((path, hashlib.md5(data).hexdigest(), int(mtime * 1000), len(data)))
        total += len(data)
    put(stage, "package\\bench.config", component_config(records).encode())
    put(stage, "package\\Product.config", PRODUCT.encode())
    put(stage, "package\\setup.config", SETUP_LIST.encode())
    put(stage, "_setup.ini", "[Product]\r\nProduct=Product.config\r\n".encode())
    configs = ["package\\Product.config", "package\\bench.config"]
    lists = {"list0.txt": [r[0] for r in records] + configs,
             "list1.txt": ["_setup.ini", "package\\setup.config"] + configs}
    for name, paths in lists.items():
        with open(os.path.join(stage, name), "w", newline="") as f:
            f.write("".join(p + "\r\n" for p in paths))

    body = ['  SetOutPath "$INSTDIR"'] + ['  File /r "%s"' % os.path.join(stage, folder) for folder in FOLDERS]
    build_nsis(os.path.join(work, "bench.nsi"), os.path.join(work, "bench_nsis.exe"), "Bench", body,
               interactive=False)
    write_json(os.path.join(work, "ready.json"), {"files": len(records), "bytes": total})


def clean(work):
    for name in ["stage", "bench_nsis.exe", "bench_setup.exe", "bench.nsi"]:
        path = os.path.join(work, name)
        shutil.rmtree(path, ignore_errors=True) if os.path.isdir(path) else (os.path.exists(path) and os.remove(path))
    write_json(os.path.join(work, "clean.json"), {})


if __name__ == "__main__":
    sys.exit(run_command({"prepare": prepare, "clean": clean}))

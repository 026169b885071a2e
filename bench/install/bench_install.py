#!/usr/bin/env python3
"""Silent install of the finished setup program (PackageManager.exe with its two packages,
"/silent /norestart") beside an NSIS installer (zlib, "/S") of exactly the files the product
installs, both whole processes under the same Wine, each run in a fresh copy of one prepared
prefix with the same settings on both sides. Paired runs alternate which side goes first.

  bench_install.py BUILD BASE_PREFIX [--runs N] [--payload mixed|many] [--unmanaged]

BUILD is the build folder (bin/PackageManager.exe, bin/pkgmaker.exe, sample/stage); BASE_PREFIX
a prepared Wine prefix that is copied for every run (the copy's windows DLL folders are hard
links: no installer writes there). --unmanaged sets the X11 driver's "Managed" to "N" in both
sides' copies (removes Wine's 2 s wait for the window's withdrawal at close). Before a run the
copy's wineserver and desktop are brought up, untimed: the timed part is the installer alone.
After every run each installed file is compared with its source.
"""
import argparse
import hashlib
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from bench_nsis import build_nsis  # noqa: E402

WORDS = ["account", "switch", "login", "token", "server", "profile", "session", "friend", "region",
         "update", "launcher", "tray", "window", "status"]
INSTALL_DIR = "C:\\Program Files (x86)\\Orvenna\\PelluvoV2"
INSTALL_UNIX = os.path.join("drive_c", "Program Files (x86)", "Orvenna", "PelluvoV2")
SHARED_DLL_FOLDERS = ("system32", "syswow64", "winsxs")


def text_bytes(size, seed):
    rnd = random.Random(seed)
    parts, length = [], 0
    while length < size:
        word = rnd.choice(WORDS) + ("\r\n" if rnd.random() < 0.125 else " ")
        parts.append(word)
        length += len(word)
    return "".join(parts).encode()[:size]


def binary_bytes(program, size, seed):
    binary = bytearray((program * (size // len(program) + 1))[:size])
    binary[seed] ^= 0xFF
    return bytes(binary)


def payload_many(program):
    """3,019 files, 50 MB: 3,000 small texts, incompressible media, binaries, one large text."""
    for i in range(3000):
        yield "text\\t%d.txt" % i, text_bytes(3000, i)
    for i in range(10):
        yield "media\\m%d.bin" % i, random.Random(1000 + i).randbytes(1600 * 1024)
    for i in range(8):
        yield "bin\\module%d.dll" % i, binary_bytes(program, 1280 * 1024, i)
    yield "logs\\history.txt", text_bytes(15 * 1024 * 1024, 77)


def payload_mixed(program):
    """645 files, 50 MB, in nested folders: texts of 1 to 40 KB, media, binaries, larger texts."""
    rnd = random.Random(645)
    for i in range(600):
        yield "data\\lang%d\\page%d.txt" % (i % 12, i), text_bytes(rnd.randint(1024, 40 * 1024), i)
    for i in range(10):
        yield "media\\m%d.bin" % i, random.Random(2000 + i).randbytes(1600 * 1024)
    for i in range(10):
        yield "bin\\plugins\\module%d.dll" % i, binary_bytes(program, 1024 * 1024, i)
    for i in range(25):
        yield "logs\\part%d.txt" % i, text_bytes(400 * 1024, 500 + i)


PRODUCT = """<?xml version="1.0" encoding="utf-8"?>
<ProductRoot type="OffLine" version="1.0">
  <ProductInfo>
    <Common ProductID="0" ProductOS="1" ProductType="1" ProductRunMode="1" ProductVer="1.0" ProductVer2="1.0" SysVersion="5.1+"/>
    <Components>
      <Component name="bench" config="bench.config"/>
      <Component name="setup" config="setup.config"/>
    </Components>
  </ProductInfo>
  <InstallInfo Path="\\Orvenna\\PelluvoV2" RegKey="HKLM\\Software\\TamselBench" Name_0804="Bench" Name_0404="Bench" Name_0409="Bench"/>
  <ExtraModule Path=""/>
  <SetupInfo name="setup" config="setup.config"/>
</ProductRoot>
"""


def component_config(records):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<ComponentRoot name_0804="Bench" name_0404="Bench" name_0409="Bench" isEssential="yes" '
             'isDisplay="no" type="Client" version="1.0">', '  <Config>', '    <Files>']
    for path, md5, time_ms, size in records:
        lines.append('      <file path="%s" md5="%s" time="%d" size="%d"/>' % (path, md5, time_ms, size))
    lines += ['    </Files>', '  </Config>', '</ComponentRoot>', '']
    return "\r\n".join(lines)


def unix(root, package_path):
    return os.path.join(root, *package_path.split("\\"))


def put(stage, path, data):
    target = unix(stage, path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as f:
        f.write(data)


def stage_product(build, stage, payload):
    """The payload as component "bench" beside the sample's setup component (the setup program
    itself and its skin); returns the package paths the product installs."""
    shutil.rmtree(stage, ignore_errors=True)
    sample = os.path.join(build, "sample", "stage")
    with open(os.path.join(build, "bin", "PackageManager.exe"), "rb") as f:
        program = f.read()
    records = []
    for path, data in payload(program):
        put(stage, path, data)
        mtime = os.stat(unix(stage, path)).st_mtime
        records.append((path, hashlib.md5(data).hexdigest(), int(mtime * 1000), len(data)))
    for path in ("PackageManager.exe", "setup\\PackageManager.zip", "package\\setup.config"):
        os.makedirs(os.path.dirname(unix(stage, path)) or stage, exist_ok=True)
        shutil.copy2(unix(sample, path), unix(stage, path))
    put(stage, "package\\bench.config", component_config(records).encode())
    put(stage, "package\\Product.config", PRODUCT.encode())
    put(stage, "_setup.ini", b"\xff\xfe" + "[Product]\r\nProduct=Product.config\r\n".encode("utf-16-le"))
    configs = ["package\\Product.config", "package\\bench.config", "package\\setup.config"]
    installed = [r[0] for r in records] + ["PackageManager.exe", "setup\\PackageManager.zip"] + configs
    lists = {"list0.txt": installed,
             "list1.txt": ["_setup.ini", "PackageManager.exe", "setup\\PackageManager.zip"] + configs}
    for name, paths in lists.items():
        with open(os.path.join(stage, name), "w", encoding="utf-8", newline="") as f:
            f.write("".join(p + "\r\n" for p in paths))
    return installed


def wine_env(prefix):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
    env.pop("TZ", None)
    return env


def winpath(path):
    return "Z:" + path.replace("/", "\\")


def make_setup(build, base, stage, out):
    subprocess.run(["wine", os.path.join(build, "bin", "pkgmaker.exe"), "--out", winpath(out),
                    "--image", winpath(os.path.join(stage, "PackageManager.exe")), "--source", winpath(stage),
                    "--package", winpath(os.path.join(stage, "list0.txt")),
                    "--package", winpath(os.path.join(stage, "list1.txt"))],
                   env=wine_env(base), check=True, stdout=subprocess.DEVNULL)


def make_nsis(work, stage, installed, out):
    body, folder = [], None
    for path in sorted(installed, key=lambda p: p.rpartition("\\")[0]):
        parent = path.rpartition("\\")[0]
        if parent != folder:
            folder = parent
            body.append('  SetOutPath "$INSTDIR%s"' % ("\\" + parent if parent else ""))
        body.append('  File "%s"' % unix(stage, path))
    build_nsis(os.path.join(work, "bench.nsi"), out, "TamselBench", body, interactive=False,
               install_dir="$PROGRAMFILES\\Orvenna\\PelluvoV2")


def fresh_prefix(base, target):
    """A copy of base: the DLL folders hard-linked, everything else copied."""
    shutil.rmtree(target, ignore_errors=True)
    windows = os.path.join("drive_c", "windows")

    def copy(source, destination):
        if os.path.relpath(os.path.dirname(source), base) == windows and \
                os.path.basename(source) in SHARED_DLL_FOLDERS:
            return
        shutil.copy2(source, destination)

    def ignore(folder, names):
        if os.path.relpath(folder, base) == windows:
            return [n for n in names if n in SHARED_DLL_FOLDERS]
        return []

    shutil.copytree(base, target, symlinks=True, ignore=ignore, copy_function=copy)
    for name in SHARED_DLL_FOLDERS:
        source = os.path.join(base, windows, name)
        if os.path.isdir(source):
            subprocess.run(["cp", "-al", source, os.path.join(target, windows, name)], check=True)


def warm(prefix, unmanaged):
    env = wine_env(prefix)
    # A persistent server, so that the timed process finds it (and the desktop) running.
    subprocess.run(["wineserver", "-p30"], env=env, check=True)
    if unmanaged:
        subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wine", "rundll32.exe", "user32.dll,GetDesktopWindow"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def peak_resident_mb(pid):
    """The process's peak resident set so far (VmHWM), in MB; 0 when it is gone."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return 0.0


def timed(prefix, program, arguments):
    """(seconds, peak resident MB) of one installer process; raises when it fails. The peak is
    read from /proc while the process runs (wine execs into the Windows process): the rusage of
    a child of this script would count this script's own memory."""
    begin = time.monotonic()
    process = subprocess.Popen(["wine", program] + arguments, env=wine_env(prefix),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    peak = 0.0
    while process.poll() is None:
        peak = max(peak, peak_resident_mb(process.pid))
        time.sleep(0.005)
    seconds = time.monotonic() - begin
    if process.returncode != 0:
        raise RuntimeError("%s ended with %d" % (program, process.returncode))
    return seconds, peak


def check_installed(prefix, stage, installed):
    folder = os.path.join(prefix, INSTALL_UNIX)
    for path in installed:
        with open(unix(folder, path), "rb") as a, open(unix(stage, path), "rb") as b:
            if a.read() != b.read():
                raise RuntimeError("%s differs from its source in %s" % (path, prefix))


def stop(prefix):
    subprocess.run(["wineserver", "-k"], env=wine_env(prefix), stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=wine_env(prefix), stderr=subprocess.DEVNULL)
    shutil.rmtree(prefix, ignore_errors=True)


def run_side(base, run_dir, stage, installed, program, arguments, unmanaged):
    fresh_prefix(base, run_dir)
    try:
        warm(run_dir, unmanaged)
        result = timed(run_dir, program, arguments)
        check_installed(run_dir, stage, installed)
        return result
    finally:
        stop(run_dir)


def spread(values):
    return "median %.2f (min %.2f, max %.2f)" % (statistics.median(values), min(values), max(values))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("base")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--payload", choices=["mixed", "many"], action="append")
    parser.add_argument("--unmanaged", action="store_true")
    args = parser.parse_args()
    build, base = os.path.abspath(args.build), os.path.abspath(args.base)
    work = os.path.join(build, "bench-install")
    payloads = {"mixed": payload_mixed, "many": payload_many}
    for name in args.payload or ["mixed", "many"]:
        stage = os.path.join(work, "stage-" + name)
        installed = stage_product(build, stage, payloads[name])
        setup = os.path.join(work, "bench_setup_%s.exe" % name)
        nsis = os.path.join(work, "bench_nsis_%s.exe" % name)
        make_setup(build, base, stage, setup)
        make_nsis(work, stage, installed, nsis)
        total = sum(os.path.getsize(unix(stage, p)) for p in installed)
        ours, theirs, ratios, ours_mb, theirs_mb = [], [], [], [], []
        for run in range(args.runs):
            sides = [("ours", setup, ["/silent", "/norestart"]), ("nsis", nsis, ["/S"])]
            if run % 2:
                sides.reverse()
            times = {}
            for side, program, arguments in sides:
                times[side] = run_side(base, os.path.join(work, "prefix-run"), stage, installed, program,
                                       arguments, args.unmanaged)
            ours.append(times["ours"][0])
            theirs.append(times["nsis"][0])
            ours_mb.append(times["ours"][1])
            theirs_mb.append(times["nsis"][1])
            ratios.append(ours[-1] / theirs[-1])
        print("install %s: %d files, %.1f MB, %d paired runs, fresh prefix each, window manager %s" %
              (name, len(installed), total / 1048576.0, args.runs, "off (Managed=N)" if args.unmanaged else "as made"))
        print("  setup program /silent /norestart  s %s, peak RSS %.0f MB" % (spread(ours), max(ours_mb)))
        print("  NSIS (zlib) /S                    s %s, peak RSS %.0f MB" % (spread(theirs), max(theirs_mb)))
        print("  time ours / NSIS (paired)           %s" % spread(ratios))
        sys.stdout.flush()
        shutil.rmtree(stage, ignore_errors=True)
        for path in (setup, nsis):
            os.remove(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())

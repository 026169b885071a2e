#!/usr/bin/env python3
"""An independent reader of setup programs made by pkgmaker, written from the format alone.

  check_setup.py format  --setup S --image I --stage D
      reads S byte by byte: locator, heads, items (each a zip read with Python's zipfile),
      index, name table and tail with its MD5 digests and UTC build time; the packages must
      hold exactly the files of D/list0.txt and D/list1.txt, as staged in D.
  check_setup.py maker   --maker M --stage D --wine W --work F
      pkgmaker refuses a bad command line (exit 1) and a list naming a missing file (exit 2,
      and no half-made setup program is left behind).
  check_setup.py extract --setup S --stage D --wine W --work F
      runs S (its image is pkgprobe.exe) under Wine through W; S extracts its own packages
      into F; the trees must equal the lists, byte for byte and name for name.
Prints "N passed, N failed" and exits non-zero on any failure.
"""
import argparse
import datetime
import hashlib
import io
import os
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

failures = []
passes = [0]


def check(condition, what):
    if condition:
        passes[0] += 1
    else:
        failures.append(what)
        print("FAIL: " + what)


def read_list(stage, name):
    with open(os.path.join(stage, name), encoding="utf-8") as f:
        return [line.rstrip("\r\n") for line in f if line.strip()]


def staged(stage, path):
    with open(os.path.join(stage, *path.split("\\")), "rb") as f:
        return f.read()


def check_package(data, head, paths, stage, number):
    magic, version, total, count, index_off, tail_off, unpacked, r1, r2 = struct.unpack_from("<4s8I", data, head)
    where = "package #%d" % number
    check(magic == b"HgkP", where + " head magic")
    check(version == 1, where + " version 1")
    check(total == tail_off + 80, where + " total length = tail offset + 80")
    check(count == len(paths), where + " item count %d = %d files" % (count, len(paths)))
    check(r1 == 0 and r2 == 0, where + " reserved words zero")
    check(head + total <= len(data), where + " inside the file")
    at = head + 36
    headers = []
    total_size = 0
    for i, path in enumerate(paths):
        imagic, file_size, zip_size, crc = struct.unpack_from("<4s3I", data, at)
        headers.append(data[at:at + 16])
        archive = data[at + 16:at + 16 + zip_size]
        content = staged(stage, path)
        check(imagic == b"IgkP", "%s item %d magic" % (where, i))
        check(file_size == len(content), "%s item %d (%s) file size" % (where, i, path))
        check(crc == zlib.crc32(archive) & 0xFFFFFFFF, "%s item %d CRC-32 of the zip bytes" % (where, i))
        with zipfile.ZipFile(io.BytesIO(archive)) as z:
            infos = z.infolist()
            check(len(infos) == 1, "%s item %d holds one entry" % (where, i))
            check(infos[0].filename == path.replace("\\", "/"),
                  "%s item %d entry name %r = %r" % (where, i, infos[0].filename, path))
            check(z.read(infos[0]) == content, "%s item %d content of %s" % (where, i, path))
            check(z.testzip() is None, "%s item %d CRC of the entry" % (where, i))
        total_size += file_size
        at += 16 + zip_size
    check(at == head + index_off, where + " index follows the last item")
    check(unpacked == total_size, where + " unpacked total")
    index = head + index_off
    xmagic, xcount, names_off, names_size = struct.unpack_from("<4s3I", data, index)
    check(xmagic == b"XgkP", where + " index magic")
    check(xcount == len(paths), where + " index count")
    check(names_off == 16 + 16 * len(paths), where + " names offset = 16 + 16 x count")
    check(b"".join(headers) == data[index + 16:index + names_off], where + " item records copy the item headers")
    tail = head + tail_off
    check(index + names_off + names_size == tail, where + " name table ends at the tail")
    table = bytes(b ^ 0xFF for b in data[index + names_off:tail])
    names = table.decode("utf-16-le").split("\0")[:-1]
    check(names == paths, where + " name table names %r" % names[:3])
    tmagic, ttotal = struct.unpack_from("<4sI", data, tail)
    check(tmagic == b"TgkP", where + " tail magic")
    check(ttotal == total, where + " tail total length")
    check(data[tail + 8:tail + 16] == bytes(8), where + " tail reserved bytes")
    check(data[tail + 16:tail + 32] == hashlib.md5(data[head:head + 36]).digest(), where + " head digest")
    check(data[tail + 32:tail + 48] == hashlib.md5(data[index:tail - names_size]).digest(), where + " index digest")
    check(data[tail + 48:tail + 64] == hashlib.md5(data[head + 36:index]).digest(), where + " items digest")
    year, month, _, day, hour, minute, second, ms = struct.unpack_from("<8H", data, tail + 64)
    built = datetime.datetime(year, month, day, hour, minute, second, ms * 1000, tzinfo=datetime.timezone.utc)
    return head + total, built


def check_format(args):
    with open(args.setup, "rb") as f:
        data = f.read()
    with open(args.image, "rb") as f:
        image = f.read()
    check(struct.unpack_from("<I", data, 0x30)[0] == len(image), "locator at 0x30 = image size")
    check(struct.unpack_from("<I", data, 0x34)[0] == 0, "flag word at 0x34")
    check(data[:0x30] == image[:0x30] and data[0x38:len(image)] == image[0x38:], "image copied unchanged")
    written = datetime.datetime.fromtimestamp(os.path.getmtime(args.setup), datetime.timezone.utc)
    head = len(image)
    for number, name in enumerate(["list0.txt", "list1.txt"]):
        head, built = check_package(data, head, read_list(args.stage, name), args.stage, number)
        check(abs((written - built).total_seconds()) < 600, "package #%d build time is UTC (%s)" % (number, built))
    check(head == len(data), "the second package ends the file")


def tree(folder):
    files = set()
    for root, _, names in os.walk(folder):
        for name in names:
            files.add(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "\\"))
    return files


def check_extract(args):
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    report = os.path.join(work, "report.txt")
    run = subprocess.run([args.wine, args.setup, "Z:" + work + "/x", "Z:" + report], timeout=300)
    check(run.returncode == 0, "the produced program extracts its packages (exit %d)" % run.returncode)
    values = {}
    if os.path.exists(report):
        with open(report, encoding="utf-8") as f:
            values = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    check(values.get("packages") == "2", "two packages found")
    check(values.get("product_config") == "Product.config", "product description named by _setup.ini")
    for part, name in (("program", "list0.txt"), ("setup", "list1.txt")):
        paths = read_list(args.stage, name)
        folder = os.path.join(work, "x", part)
        check(tree(folder) == set(paths), "%s folder holds exactly %s" % (part, name))
        for path in paths:
            target = os.path.join(folder, *path.split("\\"))
            check(os.path.isfile(target) and open(target, "rb").read() == staged(args.stage, path),
                  "%s\\%s extracted exactly" % (part, path))
    shutil.rmtree(work, ignore_errors=True)


def check_maker(args):
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    with open(os.path.join(work, "bad.txt"), "w", encoding="utf-8") as f:
        f.write("PackageManager.exe\r\nno\\such\\file.dat\r\n")
    out = os.path.join(work, "setup.exe")
    image = "Z:" + os.path.join(args.stage, "PackageManager.exe")
    usage = subprocess.run([args.wine, args.maker, "--out", "Z:" + out], capture_output=True, timeout=120)
    check(usage.returncode == 1, "a bad command line gives exit 1 (%d)" % usage.returncode)
    good = os.path.join(args.stage, "list1.txt")
    missing = subprocess.run([args.wine, args.maker, "--out", "Z:" + out, "--image", image, "--source", "Z:" + args.stage,
                              "--package", "Z:" + good, "--package", "Z:" + os.path.join(work, "bad.txt")],
                             capture_output=True, timeout=120)
    check(missing.returncode == 2, "a missing file gives exit 2 (%d)" % missing.returncode)
    check(not os.path.exists(out), "no half-made setup program is left behind")
    made = subprocess.run([args.wine, args.maker, "--out", "Z:" + out, "--image", image, "--source", "Z:" + args.stage,
                           "--package", "Z:" + good], capture_output=True, timeout=120)
    check(made.returncode == 0 and os.path.getsize(out) > 0, "one package is enough (%d)" % made.returncode)
    shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=["format", "extract", "maker"])
    parser.add_argument("--setup")
    parser.add_argument("--maker")
    parser.add_argument("--stage", required=True)
    parser.add_argument("--image")
    parser.add_argument("--wine")
    parser.add_argument("--work")
    args = parser.parse_args()
    if args.mode == "format":
        check_format(args)
    elif args.mode == "maker":
        check_maker(args)
    else:
        check_extract(args)
    print("%d passed, %d failed" % (passes[0], len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

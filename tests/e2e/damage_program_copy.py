#!/usr/bin/env python3
"""Copies a setup program with its setup package's program copy ("PackageManager.exe") damaged:
one byte of the entry's compressed data flipped and the package's digests computed again, as a
maker of a broken package would, so that the package passes its check and only the entry fails.

usage: damage_program_copy.py SETUP TARGET
"""
import hashlib
import io
import os
import struct
import sys
import zipfile

HEAD_SIZE = 36
ITEM_HEADER_SIZE = 16


def package_heads(data):
    head = struct.unpack_from("<I", data, 0x30)[0]
    while head and data[head:head + 4] == b"HgkP":
        yield head
        head += struct.unpack_from("<I", data, head + 8)[0]


def items(data, head):
    end = head + struct.unpack_from("<I", data, head + 16)[0]
    at = head + HEAD_SIZE
    while at < end:
        zip_size = struct.unpack_from("<I", data, at + 8)[0]
        yield at + ITEM_HEADER_SIZE, zip_size
        at += ITEM_HEADER_SIZE + zip_size


# The absolute offset of the entry's compressed data when the archive holds the program copy.
def program_copy_data(data, at, size):
    with zipfile.ZipFile(io.BytesIO(bytes(data[at:at + size]))) as archive:
        infos = archive.infolist()
    if len(infos) != 1 or infos[0].filename != "PackageManager.exe":
        return None
    local = at + infos[0].header_offset
    name_length, extra_length = struct.unpack_from("<HH", data, local + 26)
    return local + 30 + name_length + extra_length, infos[0].compress_size


def reseal(data, head):
    index = head + struct.unpack_from("<I", data, head + 16)[0]
    tail = head + struct.unpack_from("<I", data, head + 20)[0]
    names_size = struct.unpack_from("<I", data, index + 12)[0]
    data[tail + 16:tail + 32] = hashlib.md5(data[head:head + HEAD_SIZE]).digest()
    data[tail + 32:tail + 48] = hashlib.md5(data[index:tail - names_size]).digest()
    data[tail + 48:tail + 64] = hashlib.md5(data[head + HEAD_SIZE:index]).digest()


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, "rb") as f:
        data = bytearray(f.read())
    setup = list(package_heads(data))[1]
    found = [entry for entry in (program_copy_data(data, at, size) for at, size in items(data, setup)) if entry]
    if not found:
        sys.exit("damage_program_copy: %s has no program copy in its setup package" % source)
    start, length = found[0]
    data[start + length // 2] ^= 0xFF
    reseal(data, setup)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Fills the fuzz driver's skin folder: its layouts, the render tests' PNG images and a GIF of two
frames (for animated images).

Usage: make_skin.py SOURCE_SKIN_FOLDER OUTPUT_FOLDER
"""
import pathlib
import shutil
import struct
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "ui"))
import make_images  # noqa: E402  (the render tests' PNG writer)


def gif_codes(pixels):
    """LZW data of 2-bit pixels with a clear code before each one, so every code stays 3 bits."""
    clear, end = 4, 5
    codes = []
    for p in pixels:
        codes += [clear, p]
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(path, frames, delays):
    palette = bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255])
    data = b"GIF89a" + struct.pack("<HHBBB", 2, 2, 0x81, 0, 0) + palette
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for pixels, delay in zip(frames, delays):
        data += b"\x21\xF9\x04\x04" + struct.pack("<H", delay) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, 2, 2, 0)
        codes = gif_codes(pixels)
        data += b"\x02" + bytes([len(codes)]) + codes + b"\x00"
    pathlib.Path(path).write_bytes(data + b"\x3B")


def main(source, output):
    out = pathlib.Path(output)
    shutil.rmtree(out, ignore_errors=True)
    shutil.copytree(source, out)
    make_images.main(str(out))
    gif(out / "anim.gif", [[0, 1, 2, 3], [3, 2, 1, 0]], [5, 20])
    (out / ".done").touch()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])

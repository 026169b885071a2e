#!/usr/bin/env python3
"""Writes the images of the slider, animated-image, ring and palette tests: GIFs with and without
frame delays, PNG pictures and the slider's thumb at 100% and 150%."""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ui"))
from make_images import blocks, opaque, png  # noqa: E402


def lzw(index, count):
    """LZW data of `count` pixels of one 2-bit colour index. A clear code (4) before every second
    pixel keeps each code 3 bits wide and the dictionary unused; 5 ends the data."""
    codes = [c for at in range(0, count, 2) for c in (4, index, index)] + [5]
    bits = sum(code << (3 * i) for i, code in enumerate(codes))
    data = bits.to_bytes((3 * len(codes) + 7) // 8, "little")
    return b"\x02" + b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255)) + b"\x00"


def gif(path, frames, size=20):
    """frames: (colour index into red, blue, green, white; delay in hundredths or None for none)."""
    out = b"GIF89a" + struct.pack("<HHBBB", size, size, 0xF1, 0, 0) + bytes.fromhex("ff0000" "0000ff" "00ff00" "ffffff")
    for index, delay in frames:
        if delay is not None:
            out += b"\x21\xF9\x04\x04" + struct.pack("<H", delay) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, size, size, 0) + lzw(index, size * size)
    with open(path, "wb") as f:
        f.write(out + b"\x3B")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    gif(f"{folder}/anim.gif", [(0, 5), (1, 20)])
    gif(f"{folder}/nodelay.gif", [(0, 0), (1, 0)])
    gif(f"{folder}/still.gif", [(2, None)])
    png(f"{folder}/still.png", blocks([[opaque(0x00FF00)]], 20))
    # Four quadrants: any turn but a whole one moves colours across fixed points.
    png(f"{folder}/ring.png", blocks([[opaque(0xFF0000), opaque(0x00FF00)], [opaque(0x0000FF), opaque(0xFFFF00)]], 20))
    png(f"{folder}/thumb.png", blocks([[opaque(0x20C040)]], 10))
    png(f"{folder}/thumb@150.png", blocks([[opaque(0x20C040)]], 15))


if __name__ == "__main__":
    main(sys.argv[1])

#!/usr/bin/env python3
"""Builds the sample skin "PackageManager.zip": the layouts of this folder and images drawn
here (plain gradients and shapes, no artwork of any real product)."""
import math
import os
import struct
import sys
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
LAYOUTS = ["install.xml", "uninstall.xml", "webinstall.xml", "msg.xml"]


def png(width, height, pixel):
    """PNG bytes of an RGBA image; pixel(x, y) gives (r, g, b, a)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def background(x, y):
    return mix((28, 58, 110, 255), (58, 132, 190, 255), y / 599.0)


def disc(colour, mark):
    """A round badge with a small inner mark: 0 ring, 1 bar, 2 square, 3 triangle."""
    def pixel(x, y):
        dx, dy = x - 31.5, y - 31.5
        r = math.hypot(dx, dy)
        if r > 31:
            return (0, 0, 0, 0)
        inner = ((mark == 0 and 9 < r < 15) or (mark == 1 and abs(dy) < 5 and abs(dx) < 16)
                 or (mark == 2 and abs(dx) < 11 and abs(dy) < 11)
                 or (mark == 3 and dy > -12 and dy < 10 and abs(dx) < (dy + 12) * 0.7))
        return (255, 255, 255, 255) if inner else mix(colour, (255, 255, 255, 255), max(0.0, -dy / 80.0))
    return pixel


def button(colour):
    def pixel(x, y):
        return mix(colour, (0, 0, 0, 255), y / 160.0)
    return pixel


def images():
    yield "bg.png", png(900, 600, background)
    yield "icon_game.png", png(64, 64, disc((230, 120, 40, 255), 0))
    yield "icon_friends.png", png(64, 64, disc((60, 170, 90, 255), 1))
    yield "icon_shop.png", png(64, 64, disc((200, 60, 110, 255), 2))
    yield "icon_store.png", png(64, 64, disc((90, 90, 200, 255), 3))
    yield "btn_normal.png", png(200, 48, button((240, 150, 40, 255)))
    yield "btn_hot.png", png(200, 48, button((250, 175, 70, 255)))
    yield "btn_pushed.png", png(200, 48, button((210, 125, 30, 255)))
    yield "progress_bg.png", png(600, 16, lambda x, y: (255, 255, 255, 70))
    yield "progress_fg.png", png(600, 16, lambda x, y: mix((250, 190, 60, 255), (240, 130, 40, 255), x / 599.0))


def main():
    out = sys.argv[1]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with zipfile.ZipFile(out + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
        for name in LAYOUTS:
            z.write(os.path.join(HERE, name), name)
        for name, data in images():
            z.writestr(name, data)
    os.replace(out + ".tmp", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())

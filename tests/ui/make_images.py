#!/usr/bin/env python3
"""Writes the small PNG images that the render tests draw: each region has its own colour, so
that a pixel read from a window tells which part of which image landed there."""
import struct
import sys
import zlib


def png(path, rows):
    """rows: list of rows of (r, g, b, a)."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *px) for px in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def blocks(colours, block):
    """An image of len(colours) rows of blocks, each block `block` pixels square."""
    rows = []
    for colour_row in colours:
        for _ in range(block):
            rows.append([c for c in colour_row for _ in range(block)])
    return rows


def opaque(rgb):
    return ((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, 255)


def main(folder):
    grid = [[0xFF0000, 0x00FF00, 0x0000FF], [0xFFFF00, 0xFF00FF, 0x00FFFF], [0xFFFFFF, 0x808080, 0xFF8000]]
    png(f"{folder}/grid.png", blocks([[opaque(c) for c in row] for row in grid], 4))
    png(f"{folder}/quad.png", blocks([[opaque(0xFF0000), opaque(0x0000FF)], [opaque(0x00FF00), opaque(0xFFFF00)]], 2))
    png(f"{folder}/halfred.png", blocks([[(255, 0, 0, 128)]], 4))
    png(f"{folder}/keyed.png", blocks([[opaque(0xFF00FF), opaque(0x00FF00)]], 2))
    png(f"{folder}/strip.png", [[opaque(c) for c in (0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x0000FF, 0x0000FF,
                                                      0xFFFF00, 0xFFFF00)]] * 2)
    png(f"{folder}/halves.png", [[opaque(0xFF0000), opaque(0x0000FF)]])


if __name__ == "__main__":
    main(sys.argv[1])

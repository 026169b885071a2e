#!/usr/bin/env python3
"""Writes the demo skin's artwork: a button state strip of four rounded frames (normal, hot,
pushed, disabled), each its own colour so that a pixel tells which frame is shown."""
import sys

from make_images import png

FRAMES = [(0x40, 0x90, 0xE0), (0x60, 0xB0, 0xFF), (0x20, 0x60, 0xB0), (0xA0, 0xA0, 0xA0)]
W, H = 70, 24


def frame_pixel(colour, x, y):
    corner = 4
    dx = max(corner - x, x - (W - 1 - corner), 0)
    dy = max(corner - y, y - (H - 1 - corner), 0)
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    return colour + (255,)


def main(path):
    rows = [[frame_pixel(c, x, y) for c in FRAMES for x in range(W)] for y in range(H)]
    png(path, rows)


if __name__ == "__main__":
    main(sys.argv[1])

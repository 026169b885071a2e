"""A small RGBA raster in pure Python: anti-aliased shapes from signed distance functions,
row-copied gradients and span-filled discs for the large backgrounds, and PNG output."""
import math
import struct
import zlib


def png_bytes(width, height, pixels):
    """PNG of straight-alpha RGBA bytes, row by row."""
    stride = width * 4
    raw = b"".join(b"\x00" + bytes(pixels[y * stride:(y + 1) * stride]) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def ramp(stops, t):
    """Colour at t (0..1) along [(position, colour), ...] sorted by position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0.0)
    return stops[-1][1]


# Signed distance functions: negative inside, in pixels.
def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2.0


def rrect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1.0

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - dx * t, y - ay - dy * t) - r
    return sdf


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        best = 1e9
        inside = False
        for (ax, ay), (bx, by) in edges:
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            best = min(best, math.hypot(x - ax - dx * t, y - ay - dy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        return -best if inside else best
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = bytearray(bytes(int(c) for c in fill) * (width * height))

    def png(self):
        return png_bytes(self.w, self.h, self.px)

    def blend(self, x, y, colour, alpha):
        """Straight-alpha "over" of one pixel; alpha 0..1."""
        if alpha <= 0.0:
            return
        p, i = self.px, (y * self.w + x) * 4
        if alpha >= 1.0:
            p[i], p[i + 1], p[i + 2], p[i + 3] = int(colour[0] + .5), int(colour[1] + .5), int(colour[2] + .5), 255
            return
        da = p[i + 3] / 255.0
        oa = alpha + da * (1.0 - alpha)
        keep = da * (1.0 - alpha)
        p[i] = int((colour[0] * alpha + p[i] * keep) / oa + .5)
        p[i + 1] = int((colour[1] * alpha + p[i + 1] * keep) / oa + .5)
        p[i + 2] = int((colour[2] * alpha + p[i + 2] * keep) / oa + .5)
        p[i + 3] = int(oa * 255.0 + .5)

    def shape(self, sdf, colour, box=None, alpha=1.0, soft=0.0):
        """Paints a shape; colour is (r, g, b) or a function (x, y) -> (r, g, b). soft > 0 blurs the
        edge over that many pixels (shadows, glows)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        paint = colour if callable(colour) else (lambda _x, _y, c=colour: c)
        for y in range(y0, y1):
            fy = y + 0.5
            for x in range(x0, x1):
                d = sdf(x + 0.5, fy)
                if soft > 0.0:
                    if d >= soft:
                        continue
                    t = min(1.0, (soft - d) / (2.0 * soft))
                    cover = t * t * (3.0 - 2.0 * t)
                else:
                    if d >= 0.5:
                        continue
                    cover = min(1.0, 0.5 - d)
                self.blend(x, y, paint(x, y), cover * alpha)

    # Fast fills for large opaque backgrounds.
    def diagonal_gradient(self, stops, slope):
        """Opaque gradient along x + slope * y: every row is a slice of one long ramp."""
        length = self.w + (self.h - 1) * slope
        lut = bytearray()
        for i in range(length):
            c = ramp(stops, i / (length - 1.0))
            lut += bytes((int(c[0] + .5), int(c[1] + .5), int(c[2] + .5), 255))
        row = self.w * 4
        for y in range(self.h):
            start = y * slope * 4
            self.px[y * row:(y + 1) * row] = lut[start:start + row]

    def fill_rows(self, y0, y1, colour):
        row = bytes((colour[0], colour[1], colour[2], 255)) * self.w
        for y in range(max(0, y0), min(self.h, y1)):
            self.px[y * self.w * 4:(y + 1) * self.w * 4] = row

    def disc(self, cx, cy, r, colour, alpha):
        """A flat anti-aliased disc over an opaque background: whole inner spans are blended by
        byte tables, only the rim pixel by pixel."""
        tables = [bytes(int(v * (1.0 - alpha) + c * alpha + .5) for v in range(256)) for c in colour]
        for y in range(max(0, int(cy - r - 1)), min(self.h, int(cy + r + 2))):
            dy = y + 0.5 - cy
            if abs(dy) >= r + 0.5:
                continue
            outer = math.sqrt((r + 0.5) ** 2 - dy * dy)
            inner = math.sqrt((r - 0.5) ** 2 - dy * dy) if abs(dy) < r - 0.5 else -1.0
            xa = max(0, int(math.floor(cx - outer)))
            xb = min(self.w, int(math.ceil(cx + outer)))
            ia, ib = (int(math.ceil(cx - inner - 0.5)), int(math.floor(cx + inner - 0.5)) + 1) if inner > 0 else (0, 0)
            ia, ib = max(ia, xa), min(ib, xb)
            if ib > ia:
                base = (y * self.w + ia) * 4
                seg = self.px[base:base + (ib - ia) * 4]
                for k in range(3):
                    seg[k::4] = seg[k::4].translate(tables[k])
                self.px[base:base + (ib - ia) * 4] = seg
            for x in range(xa, xb):
                if ia <= x < ib:
                    continue
                cover = 0.5 - (math.hypot(x + 0.5 - cx, dy) - r)
                if cover > 0:
                    self.blend(x, y, colour, min(1.0, cover) * alpha)

    def glow(self, cx, cy, r, colour, strength, steps=40):
        """A soft radial glow made of stacked faint discs."""
        for i in range(steps):
            self.disc(cx, cy, r * (1.0 - i / float(steps)), colour, strength / steps)

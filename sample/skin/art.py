"""The sample skin's images: one violet-to-blue brand look drawn from shapes and gradients."""
import math
import random

from raster import (Canvas, capsule, circle, intersect, mix, polygon, ramp, ring, rrect, subtract,
                    union)

HEADER_STOPS = [(0.0, (20, 14, 58)), (0.38, (52, 32, 140)), (0.72, (96, 66, 220)), (1.0, (64, 128, 246))]
BRAND_LEFT, BRAND_RIGHT = (124, 84, 255), (70, 120, 255)
WHITE = (255, 255, 255)
SHADOW = (20, 10, 60)


def clamp01(t):
    return 0.0 if t < 0.0 else 1.0 if t > 1.0 else t


def horizontal(left, right, x0, x1):
    return lambda x, y: mix(left, right, clamp01((x - x0) / float(x1 - x0)))


def diagonal(c0, c1, x0, y0, size):
    return lambda x, y: mix(c0, c1, clamp01(((x - x0) + (y - y0)) / (2.0 * size)))


def header(width, height, wave_back, wave_front, glows, seed):
    """Brand gradient with soft glows and sparkles, closed by two waves into a white body."""
    c = Canvas(width, height)
    c.diagonal_gradient(HEADER_STOPS, 1)
    for cx, cy, r, colour, strength in glows:
        c.glow(cx, cy, r, colour, strength)
    c.disc(width - 70, wave_front[0] - 80, 120, WHITE, 0.05)
    c.disc(50, 30, 90, WHITE, 0.04)
    rng = random.Random(seed)
    for _ in range(30):
        x, y = rng.uniform(10, width - 10), rng.uniform(44, wave_back[0] - 20)
        r = rng.uniform(0.8, 2.2)
        c.shape(circle(x, y, r), WHITE, (x - 4, y - 4, x + 4, y + 4), alpha=rng.uniform(0.25, 0.8))
    body = int(wave_front[0] + wave_front[1]) + 2
    for (base, amp, waves, phase), alpha in ((wave_back, 0.22), (wave_front, 1.0)):
        edge = [base + amp * math.sin(2 * math.pi * waves * (x + 0.5) / width + phase) for x in range(width)]
        for y in range(int(base - amp) - 1, body):
            fy = y + 0.5
            for x in range(width):
                cover = fy - edge[x] + 0.5
                if cover > 0:
                    c.blend(x, y, WHITE, min(1.0, cover) * alpha)
    c.fill_rows(body, height, WHITE)
    return c


def install_background():
    glows = [(720, 70, 300, (186, 104, 255), 0.40), (130, 300, 260, (56, 189, 248), 0.22),
             (450, 170, 200, (255, 255, 255), 0.06)]
    return header(900, 600, (300, 13, 1.3, 0.6), (326, 10, 1.0, 2.2), glows, 7)


def uninstall_background():
    glows = [(540, 30, 220, (186, 104, 255), 0.40), (100, 140, 180, (56, 189, 248), 0.20)]
    return header(664, 500, (120, 9, 1.2, 0.4), (138, 7, 1.0, 2.0), glows, 11)


def msg_background():
    c = Canvas(320, 190)
    c.diagonal_gradient(HEADER_STOPS, 1)
    c.glow(280, 0, 90, (186, 104, 255), 0.35)
    c.fill_rows(36, 190, WHITE)
    return c


def badge(c, cx, cy, r, c0, c1):
    c.shape(circle(cx, cy + 6, r - 2), SHADOW, (cx - r - 12, cy - r, cx + r + 12, cy + r + 16), alpha=0.45, soft=8)
    fill = diagonal(c0, c1, cx - r, cy - r, r)
    c.shape(circle(cx, cy, r), fill, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))
    c.shape(intersect(circle(cx, cy, r), circle(cx, cy - 26, r + 2)), WHITE,
            (cx - r, cy - r, cx + r, cy), alpha=0.16)
    c.shape(ring(cx, cy, r - 0.8, 1.4), WHITE, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), alpha=0.35)
    return fill


def icon(kind):
    c = Canvas(84, 84)
    cx, cy = 42.0, 40.0
    colours = {"game": ((255, 122, 89), (236, 64, 142)), "wegame": ((45, 212, 191), (14, 148, 210)),
               "shop": ((255, 200, 70), (255, 120, 40)), "steam": ((96, 165, 250), (99, 88, 255))}
    fill = badge(c, cx, cy, 30, *colours[kind])
    box = (cx - 24, cy - 24, cx + 24, cy + 24)
    if kind == "game":
        body = union(capsule(cx - 10, cy - 2, cx + 10, cy - 2, 10),
                     capsule(cx - 12, cy + 1, cx - 15, cy + 9, 6.5), capsule(cx + 12, cy + 1, cx + 15, cy + 9, 6.5))
        c.shape(body, WHITE, box)
        c.shape(union(rrect(cx - 17, cy - 3.6, cx - 7, cy - 0.4, 1), rrect(cx - 13.6, cy - 7, cx - 10.4, cy + 3, 1)),
                fill, box)
        for dx, dy in ((8, -5), (12.5, -1)):
            c.shape(circle(cx + dx, cy + dy, 2.2), fill, box)
    elif kind == "wegame":
        bubble = union(rrect(cx - 17, cy - 14, cx + 17, cy + 9, 8),
                       polygon([(cx - 9, cy + 6), (cx - 13, cy + 16), (cx + 1, cy + 8)]))
        c.shape(bubble, WHITE, box)
        for dx in (-8, 0, 8):
            c.shape(circle(cx + dx, cy - 2.5, 2.7), fill, box)
    elif kind == "shop":
        handle = intersect(ring(cx, cy - 6, 7.5, 3.2), lambda x, y: y - (cy - 4))
        c.shape(union(rrect(cx - 15, cy - 6, cx + 15, cy + 16, 4.5), handle), WHITE, box)
        for dx in (-7.5, 7.5):
            c.shape(circle(cx + dx, cy - 1, 1.9), fill, box)
        c.shape(capsule(cx - 6, cy + 7, cx + 6, cy + 7, 1.3), fill, box)
    else:
        points = []
        for i in range(10):
            a = -math.pi / 2 + i * math.pi / 5
            rad = 14.0 if i % 2 == 0 else 6.2
            points.append((cx + rad * math.cos(a), cy + 1.5 + rad * math.sin(a)))
        star = polygon(points)
        c.shape(lambda x, y: star(x, y) - 1.2, WHITE, box)
    return c


def logo(size):
    c = Canvas(size, size)
    s = size / 24.0
    square = rrect(0.5 * s, 0.5 * s, 23.5 * s, 23.5 * s, 6.5 * s)
    c.shape(square, diagonal(BRAND_LEFT, BRAND_RIGHT, 0, 0, size / 2.0))
    c.shape(subtract(square, rrect(1.5 * s, 1.5 * s, 22.5 * s, 22.5 * s, 5.5 * s)), WHITE, alpha=0.45)
    play = polygon([(8.6 * s, 6.8 * s), (17.8 * s, 12 * s), (8.6 * s, 17.2 * s)])
    c.shape(lambda x, y: play(x, y) - 1.1 * s, WHITE)
    c.shape(circle(18.4 * s, 5.6 * s, 1.9 * s), (120, 230, 255))
    return c


def title_button(kind, state, dark=False):
    c = Canvas(32, 32)
    if state != "normal":
        if kind == "close":
            colour = (239, 68, 88) if state == "hot" else (200, 44, 66)
            c.shape(rrect(2, 2, 30, 30, 8), colour)
        else:
            c.shape(rrect(2, 2, 30, 30, 8), WHITE, alpha=0.16 if state == "hot" else 0.28)
    glyph = WHITE
    if kind == "min":
        c.shape(capsule(10.5, 16, 21.5, 16, 0.85), glyph)
    else:
        c.shape(union(capsule(11, 11, 21, 21, 0.85), capsule(21, 11, 11, 21, 0.85)), glyph)
    return c


def primary_button(width, height, state, shadow=True):
    c = Canvas(width, height)
    inset = 6 if shadow else 1
    bottom = height - 11 if shadow else height - 1
    top = 3 if shadow else 1
    r = (bottom - top) / 2.0
    pill = rrect(inset, top, width - inset, bottom, r)
    if state == "disabled":
        c.shape(pill, (203, 207, 221))
        return c
    tint = {"normal": (None, 0), "hot": (WHITE, 0.14), "pushed": ((0, 0, 0), 0.14)}[state]
    left, right = BRAND_LEFT, BRAND_RIGHT
    if tint[0] is not None:
        left, right = mix(left, tint[0], tint[1]), mix(right, tint[0], tint[1])
    if shadow:
        lift = 3 if state == "pushed" else 6
        c.shape(rrect(inset + 8, top + lift, width - inset - 8, bottom + lift, r), (96, 64, 235),
                (0, 0, width, height), alpha=0.30 if state == "pushed" else 0.42, soft=7)
    c.shape(pill, horizontal(left, right, inset, width - inset))
    return c


OUTLINE = {"normal": ((255, 255, 255), (204, 200, 230)), "hot": ((246, 243, 255), (150, 126, 255)),
           "pushed": ((234, 229, 255), (124, 92, 255)), "disabled": ((245, 246, 249), (226, 228, 235))}


def outline_button(width, height, state, radius=None, shadow=True):
    c = Canvas(width, height)
    inset = 6 if shadow else 1
    top = 3 if shadow else 1
    bottom = height - 11 if shadow else height - 1
    r = radius if radius is not None else (bottom - top) / 2.0
    fill, border = OUTLINE[state]
    c.shape(rrect(inset - 0.5, top - 0.5, width - inset + 0.5, bottom + 0.5, r + 0.5), border)
    c.shape(rrect(inset + 1, top + 1, width - inset - 1, bottom - 1, max(0.5, r - 1)), fill)
    return c


EDIT = {"readonly": ((246, 247, 251), (222, 224, 234)), "normal": ((255, 255, 255), (214, 217, 228)),
        "hot": ((255, 255, 255), (166, 148, 255)), "focused": ((255, 255, 255), (124, 92, 255)),
        "disabled": ((244, 245, 248), (232, 234, 240))}


def edit_frame(state):
    c = Canvas(40, 34, (255, 255, 255, 255))
    fill, border = EDIT[state]
    c.shape(rrect(0.5, 0.5, 39.5, 33.5, 6), border)
    c.shape(rrect(1.6, 1.6, 38.4, 32.4, 5), fill)
    return c


def check_box():
    """Normal look at 0..16, selected look at 20..36."""
    c = Canvas(36, 16)
    c.shape(rrect(1, 1, 15, 15, 4), (178, 182, 200), (0, 0, 16, 16))
    c.shape(rrect(2.2, 2.2, 13.8, 13.8, 3), WHITE, (0, 0, 16, 16))
    c.shape(rrect(21, 1, 35, 15, 4), diagonal(BRAND_LEFT, BRAND_RIGHT, 21, 1, 7), (20, 0, 36, 16))
    tick = union(capsule(24.6, 8.2, 27.2, 10.8, 1.0), capsule(27.2, 10.8, 31.6, 5.6, 1.0))
    c.shape(tick, WHITE, (20, 0, 36, 16))
    return c


def reason_option():
    """Selected look at 0..14, normal look at 24..38, hot look at 48..62."""
    c = Canvas(62, 14)
    violet = (116, 86, 255)
    c.shape(circle(7, 7, 6.4), WHITE, (0, 0, 14, 14))
    c.shape(ring(7, 7, 5.8, 1.4), violet, (0, 0, 14, 14))
    c.shape(circle(7, 7, 3.0), violet, (0, 0, 14, 14))
    for x0, colour in ((24, (184, 188, 204)), (48, (160, 140, 255))):
        c.shape(circle(x0 + 7, 7, 6.4), WHITE, (x0, 0, x0 + 14, 14))
        c.shape(ring(x0 + 7, 7, 5.9, 1.2), colour, (x0, 0, x0 + 14, 14))
    return c


def progress_bar(width, fore):
    """A 10-pixel bar at the bottom of a 40-pixel strip; the strip's upper part holds the text."""
    c = Canvas(width, 40)
    bar = rrect(0, 30, width, 40, 5)
    if fore:
        c.shape(bar, horizontal(BRAND_LEFT, BRAND_RIGHT, 0, width), (0, 30, width, 40))
        c.shape(intersect(bar, lambda x, y: y - 34), WHITE, (0, 30, width, 35), alpha=0.18)
    else:
        c.shape(bar, (233, 231, 245), (0, 30, width, 40))
    return c


def done_mark(size):
    c = Canvas(size, size)
    m = size / 2.0
    c.shape(circle(m, m, m - 4), (52, 211, 153), alpha=0.30, soft=3)
    c.shape(circle(m, m, m - 6), diagonal((74, 222, 160), (16, 175, 129), 6, 6, m - 6))
    k = (m - 6) / 20.0
    tick = union(capsule(m - 8 * k, m + 0.5 * k, m - 2.5 * k, m + 6 * k, 2.0 * k),
                 capsule(m - 2.5 * k, m + 6 * k, m + 8.5 * k, m - 6 * k, 2.0 * k))
    c.shape(tick, WHITE)
    return c


def warning_mark():
    c = Canvas(36, 36)
    c.shape(circle(18, 18, 16.5), diagonal((255, 196, 80), (255, 138, 36), 1.5, 1.5, 16.5))
    c.shape(capsule(18, 10, 18, 20, 2.1), WHITE)
    c.shape(circle(18, 26, 2.3), WHITE)
    return c


def images():
    yield "bg.png", install_background()
    yield "uninst_bg.png", uninstall_background()
    yield "msg_bg.png", msg_background()
    for name in ("game", "wegame", "shop", "steam"):
        yield "icon_%s.png" % name, icon(name)
    yield "logo.png", logo(24)
    yield "logo_big.png", logo(64)
    for kind in ("min", "close"):
        for state in ("normal", "hot", "pushed"):
            yield "title_%s_%s.png" % (kind, state), title_button(kind, state)
    for state in ("normal", "hot", "pushed", "disabled"):
        yield "btn_primary_%s.png" % state, primary_button(260, 60, state)
        yield "btn_secondary_%s.png" % state, outline_button(180, 60, state)
        yield "btn_small_%s.png" % state, primary_button(104, 34, state, shadow=False)
        yield "btn_small_outline_%s.png" % state, outline_button(104, 34, state, shadow=False)
        yield "btn_browse_%s.png" % state, outline_button(72, 34, state, radius=6, shadow=False)
    for state in EDIT:
        yield "edit_%s.png" % state, edit_frame(state)
    yield "check.png", check_box()
    yield "opt.png", reason_option()
    yield "progress_bg.png", progress_bar(640, False)
    yield "progress_fg.png", progress_bar(640, True)
    yield "done.png", done_mark(48)
    yield "warning.png", warning_mark()

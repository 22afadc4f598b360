#!/usr/bin/env python3
"""Draws the toolbar's button bitmaps: one strip of 50 images per set, in the set's colours,
as 8-bit BMP files whose first colour, magenta (255, 0, 255), is where the toolbar's own
background shows.

usage: make_toolbar.py OUT_DIR   writes tb703.bmp ... tb709.bmp

Each glyph is a list of shapes in a unit square (u to the right, v down) centred in the image;
a pixel's colour is the share of 3 x 3 sample points that each shape colour covers (the last
shape that covers a point wins), blended toward the set's usual background at the edges."""
import math
import os
import struct
import sys

SAMPLES = 3
KEY = (255, 0, 255)

# ---- shapes: each is (role, test(u, v) -> bool); role 'f' glyph, 'a' accent, 'b' cut out ----


def rect(x0, y0, x1, y1):
    return lambda u, v: x0 <= u <= x1 and y0 <= v <= y1


def circle(cx, cy, r):
    return lambda u, v: (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def ring(cx, cy, r, w, a0=None, a1=None):
    """A ring of width w around radius r; with a0, a1 (degrees, clockwise from 3 o'clock) only
    that arc."""
    def test(u, v):
        d = math.hypot(u - cx, v - cy)
        if abs(d - r) > w / 2:
            return False
        if a0 is None:
            return True
        a = math.degrees(math.atan2(v - cy, u - cx)) % 360
        lo, hi = a0 % 360, a1 % 360
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
    return test


def line(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    n = dx * dx + dy * dy or 1e-9

    def test(u, v):
        t = max(0.0, min(1.0, ((u - x0) * dx + (v - y0) * dy) / n))
        return (u - x0 - t * dx) ** 2 + (v - y0 - t * dy) ** 2 <= (w / 2) ** 2
    return test


def poly(*pts):
    def test(u, v):
        inside = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > v) != (yj > v) and u < (xj - xi) * (v - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside
    return test


def outline(x0, y0, x1, y1, w):
    return [rect(x0, y0, x1, y0 + w), rect(x0, y1 - w, x1, y1), rect(x0, y0, x0 + w, y1),
            rect(x1 - w, y0, x1, y1)]


def arrow_head(x, y, direction, size=0.16):
    """A filled triangle pointing left, right, up or down with its tip at (x, y)."""
    s = size
    return {'right': poly((x, y), (x - s, y - s), (x - s, y + s)),
            'left': poly((x, y), (x + s, y - s), (x + s, y + s)),
            'up': poly((x, y), (x - s, y + s), (x + s, y + s)),
            'down': poly((x, y), (x - s, y - s), (x + s, y - s))}[direction]


def folder():
    return [poly((0.1, 0.24), (0.4, 0.24), (0.47, 0.32), (0.1, 0.32)), rect(0.1, 0.3, 0.9, 0.8)]


def speaker():
    return [rect(0.12, 0.38, 0.28, 0.62), poly((0.26, 0.38), (0.48, 0.18), (0.48, 0.82),
                                                (0.26, 0.62))]


def rows(x1=0.62):
    return [rect(0.14, y, x1, y + 0.09) for y in (0.2, 0.455, 0.71)]


def F(*shapes):
    out = []
    for s in shapes:
        out.extend(('f', x) for x in (s if isinstance(s, list) else [s]))
    return out


def A(*shapes):
    return [('a', x) for s in shapes for x in (s if isinstance(s, list) else [s])]


def B(*shapes):
    return [('b', x) for s in shapes for x in (s if isinstance(s, list) else [s])]


def gear():
    teeth = [line(0.5 + 0.2 * math.cos(k * math.pi / 4), 0.5 + 0.2 * math.sin(k * math.pi / 4),
                  0.5 + 0.36 * math.cos(k * math.pi / 4), 0.5 + 0.36 * math.sin(k * math.pi / 4),
                  0.13) for k in range(8)]
    return F(teeth, circle(0.5, 0.5, 0.26)) + B(circle(0.5, 0.5, 0.1))


def loop(one=False):
    """Two arrows chasing each other round a rectangle."""
    g = F(line(0.2, 0.3, 0.72, 0.3, 0.09), line(0.2, 0.3, 0.2, 0.54, 0.09),
          line(0.8, 0.7, 0.28, 0.7, 0.09), line(0.8, 0.7, 0.8, 0.46, 0.09)) + A(
        arrow_head(0.88, 0.3, 'right', 0.14), arrow_head(0.12, 0.7, 'left', 0.14))
    if one:
        g += A(rect(0.45, 0.4, 0.55, 0.6))
    return g


def shuffle(role):
    shapes = [line(0.12, 0.3, 0.36, 0.3, 0.09), line(0.36, 0.3, 0.62, 0.7, 0.09),
              line(0.62, 0.7, 0.74, 0.7, 0.09), arrow_head(0.9, 0.7, 'right', 0.14),
              line(0.12, 0.7, 0.36, 0.7, 0.09), line(0.36, 0.7, 0.62, 0.3, 0.09),
              line(0.62, 0.3, 0.74, 0.3, 0.09), arrow_head(0.9, 0.3, 'right', 0.14)]
    return F(shapes) if role == 'f' else A(shapes)


def window_with(n):
    dots = [circle(0.5 + (i - (n - 1) / 2) * 0.2, 0.58, 0.07) for i in range(n)]
    return F(outline(0.1, 0.18, 0.9, 0.82, 0.07), rect(0.1, 0.18, 0.9, 0.34)) + A(dots)


def clock_back():
    return (F(ring(0.52, 0.52, 0.3, 0.09, 200, 160), line(0.52, 0.52, 0.52, 0.34, 0.08),
              line(0.52, 0.52, 0.66, 0.6, 0.08)) + A(arrow_head(0.2, 0.52, 'down', 0.13)))


GLYPHS = {
    0: F(rect(0.24, 0.24, 0.76, 0.76)),                                       # stop / resume
    1: A(poly((0.28, 0.16), (0.28, 0.84), (0.84, 0.5))),                       # play
    2: F(rect(0.18, 0.2, 0.29, 0.8), poly((0.82, 0.2), (0.82, 0.8), (0.32, 0.5))),
    3: F(rect(0.71, 0.2, 0.82, 0.8), poly((0.18, 0.2), (0.18, 0.8), (0.68, 0.5))),
    4: F(folder()) + B(line(0.28, 0.56, 0.6, 0.56, 0.16), arrow_head(0.8, 0.56, 'right', 0.2))
       + A(line(0.3, 0.56, 0.6, 0.56, 0.08), arrow_head(0.76, 0.56, 'right', 0.13)),
    5: F(folder()) + B(line(0.4, 0.56, 0.72, 0.56, 0.16), arrow_head(0.2, 0.56, 'left', 0.2))
       + A(line(0.4, 0.56, 0.7, 0.56, 0.08), arrow_head(0.24, 0.56, 'left', 0.13)),
    6: F(rows()) + A(ring(0.7, 0.5, 0.25, 0.08, 270, 90), arrow_head(0.6, 0.75, 'left', 0.12)),
    7: F(rows()) + A(ring(0.7, 0.5, 0.25, 0.08, 270, 90), arrow_head(0.6, 0.25, 'left', 0.12)),
    8: F(line(0.14, 0.3, 0.7, 0.3, 0.1), line(0.7, 0.3, 0.7, 0.66, 0.1))
       + A(arrow_head(0.7, 0.86, 'down', 0.16)),                              # play on
    9: loop(),                                                                 # repeat list
    10: loop(one=True),                                                        # repeat track
    11: F(poly((0.18, 0.24), (0.18, 0.76), (0.56, 0.5))) + A(rect(0.64, 0.24, 0.78, 0.76)),
    12: F(outline(0.1, 0.2, 0.9, 0.8, 0.07)) + A(rect(0.2, 0.32, 0.58, 0.48)),  # compact
    13: F(rect(0.14, 0.14, 0.4, 0.3), line(0.27, 0.3, 0.27, 0.75, 0.07),
          line(0.27, 0.46, 0.5, 0.46, 0.07), line(0.27, 0.75, 0.5, 0.75, 0.07),
          rect(0.5, 0.38, 0.88, 0.54), rect(0.5, 0.67, 0.88, 0.83)),          # tree
    14: gear(),
    15: shuffle('f'),
    16: shuffle('a'),
    17: F(ring(0.5, 0.5, 0.29, 0.1, 320, 250)) + A(arrow_head(0.74, 0.34, 'up', 0.15)),
    18: F(rows(0.56)) + A(circle(0.72, 0.74, 0.11), rect(0.77, 0.22, 0.84, 0.74),
                          poly((0.84, 0.22), (0.92, 0.3), (0.84, 0.36))),    # play list
    19: F(poly((0.5, 0.12), (0.1, 0.5), (0.9, 0.5)), rect(0.22, 0.46, 0.78, 0.86))
        + B(rect(0.43, 0.6, 0.57, 0.86)),                                     # home
    20: F(ring(0.5, 0.5, 0.32, 0.08)) + A(line(0.5, 0.5, 0.5, 0.28, 0.08),
                                          line(0.5, 0.5, 0.68, 0.5, 0.08)),  # scan
    21: F(rect(0.16, 0.22, 0.84, 0.32), rect(0.16, 0.45, 0.84, 0.55), rect(0.16, 0.68, 0.84, 0.78)),
    22: A(poly(*[(0.5 + (0.4 if k % 2 == 0 else 0.17) * math.cos(math.radians(-90 + 36 * k)),
                  0.53 + (0.4 if k % 2 == 0 else 0.17) * math.sin(math.radians(-90 + 36 * k)))
                 for k in range(10)])),                                       # bookmarks
    23: F(outline(0.52, 0.18, 0.9, 0.82, 0.08)) + A(line(0.1, 0.5, 0.5, 0.5, 0.1),
                                                    arrow_head(0.68, 0.5, 'right', 0.17)),
    24: F(ring(0.42, 0.42, 0.22, 0.1), line(0.58, 0.58, 0.84, 0.84, 0.14)),  # find
    25: F(poly((0.1, 0.22), (0.38, 0.22), (0.45, 0.3), (0.78, 0.3), (0.78, 0.44), (0.1, 0.44)),
          rect(0.1, 0.3, 0.2, 0.8)) + A(poly((0.24, 0.44), (0.94, 0.44), (0.8, 0.8), (0.1, 0.8))),
    26: F(rect(0.12, 0.3, 0.18, 0.7), rect(0.26, 0.3, 0.32, 0.7))
        + A(poly((0.42, 0.2), (0.42, 0.8), (0.88, 0.5))),                     # intro scan
    27: F(ring(0.5, 0.54, 0.3, 0.1, 300, 240), line(0.5, 0.14, 0.5, 0.5, 0.1)),  # quit next
    28: F(outline(0.08, 0.16, 0.92, 0.74, 0.07), rect(0.38, 0.78, 0.62, 0.86))
        + A(rect(0.28, 0.28, 0.72, 0.37), rect(0.45, 0.28, 0.55, 0.64)),      # Big view
    29: A(circle(0.35, 0.4, 0.17), circle(0.65, 0.4, 0.17),
          poly((0.19, 0.47), (0.81, 0.47), (0.5, 0.84))),                     # heart
    30: F(outline(0.2, 0.1, 0.8, 0.9, 0.07), rect(0.32, 0.3, 0.68, 0.36),
          rect(0.32, 0.47, 0.68, 0.53), rect(0.32, 0.64, 0.58, 0.7)),         # log
    31: F(outline(0.1, 0.18, 0.9, 0.82, 0.07)) + A(poly((0.17, 0.75), (0.42, 0.42), (0.6, 0.62),
                                                        (0.7, 0.52), (0.83, 0.75)),
                                                   circle(0.68, 0.34, 0.07)),  # picture
    32: F(speaker()) + A(line(0.6, 0.36, 0.86, 0.64, 0.09), line(0.6, 0.64, 0.86, 0.36, 0.09)),
    33: F(speaker(), ring(0.48, 0.5, 0.2, 0.08, 300, 60), ring(0.48, 0.5, 0.36, 0.08, 300, 60)),
    34: F(ring(0.5, 0.5, 0.36, 0.08)) + A(circle(0.5, 0.31, 0.065), rect(0.45, 0.43, 0.55, 0.74)),
    35: window_with(1),
    36: window_with(2),
    37: window_with(3),
    38: clock_back(),                                                          # track history
    39: F(folder()) + B(circle(0.62, 0.6, 0.27)) + A(ring(0.62, 0.6, 0.18, 0.08, 200, 150),
                                                   line(0.62, 0.6, 0.62, 0.48, 0.07)),
    40: A(circle(0.5, 0.5, 0.09)) + F(ring(0.5, 0.5, 0.22, 0.08, 135, 225),
                                      ring(0.5, 0.5, 0.22, 0.08, 315, 45),
                                      ring(0.5, 0.5, 0.38, 0.08, 135, 225),
                                      ring(0.5, 0.5, 0.38, 0.08, 315, 45)),  # web server
    41: F(rect(0.12, 0.5, 0.26, 0.86), rect(0.33, 0.34, 0.47, 0.86), rect(0.54, 0.42, 0.68, 0.86),
          rect(0.75, 0.3, 0.89, 0.86)) + A(rect(0.08, 0.16, 0.92, 0.22)),     # Enhancer 2
    42: F(rect(0.16, 0.58, 0.32, 0.86), rect(0.42, 0.4, 0.58, 0.86))
        + A(rect(0.68, 0.18, 0.84, 0.86)),                                    # Enhancer 1
    43: F(ring(0.5, 0.5, 0.33, 0.09)) + A(circle(0.5, 0.5, 0.14)),          # mono
}

# The sets: resource -> (image width, height, glyph colour, accent, usual background).
SETS = {
    703: (30, 24, (214, 214, 214), (250, 150, 29), (48, 48, 48)),     # "n": dark themes
    704: (30, 24, (248, 248, 248), (255, 226, 140), (40, 90, 150)),   # "m": coloured windows
    705: (40, 32, (214, 214, 214), (250, 150, 29), (48, 48, 48)),     # "l": dark themes, large
    706: (30, 24, (174, 204, 236), (128, 255, 0), (16, 30, 46)),      # "g": deep blue
    707: (20, 16, (64, 64, 64), (29, 120, 220), (240, 240, 240)),     # small, system colours
    708: (30, 24, (56, 56, 56), (29, 120, 220), (255, 255, 255)),     # "d": paper
    709: (40, 32, (56, 56, 56), (29, 120, 220), (255, 255, 255)),     # "k": paper, large
}
IMAGES = 50


def coverage(glyph, w, h):
    """Per pixel, the shares (glyph, accent) of its samples, rows top-down."""
    side = h
    off = (w - side) / 2
    out = []
    for y in range(h):
        row = []
        for x in range(w):
            f = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (x + (sx + 0.5) / SAMPLES - off) / side
                    v = (y + (sy + 0.5) / SAMPLES) / side
                    role = None
                    for r, test in glyph:
                        if test(u, v):
                            role = r
                    if role == 'f':
                        f += 1
                    elif role == 'a':
                        a += 1
            n = SAMPLES * SAMPLES
            row.append((f / n, a / n))
        out.append(row)
    return out


def colour(share, fg, accent, back):
    f, a = share
    b = 1 - f - a
    if b > 0.8:
        return KEY
    return tuple(int(round(fg[i] * f + accent[i] * a + back[i] * b)) for i in range(3))


def write_bmp(path, w, h, pixels):
    """8-bit palette BMP, bottom-up; pixels are rows top-down of (r, g, b). The key colour is
    entry 0 and the first pixel of the file (the bottom-left corner, empty in every set)."""
    palette = [KEY] + sorted({p for row in pixels for p in row} - {KEY})
    if len(palette) > 256:
        raise SystemExit('make_toolbar: %s needs %d colours' % (path, len(palette)))
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        data += bytes(index[p] for p in row) + b'\0' * (stride - w)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(data), 2835, 2835, len(palette),
                       0)
    with open(path + '.tmp', 'wb') as f:
        f.write(header + info + table + data)
    os.replace(path + '.tmp', path)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    cache = {}
    for size in {(s[0], s[1]) for s in SETS.values()}:
        cache[size] = {i: coverage(g, *size) for i, g in GLYPHS.items()}
    for res, (w, h, fg, accent, back) in SETS.items():
        strip = [[KEY] * (w * IMAGES) for _ in range(h)]
        for i, cov in cache[(w, h)].items():
            for y in range(h):
                for x in range(w):
                    strip[y][i * w + x] = colour(cov[y][x], fg, accent, back)
        write_bmp(os.path.join(out_dir, 'tb%d.bmp' % res), w * IMAGES, h, strip)
    return 0


if __name__ == '__main__':
    sys.exit(main())

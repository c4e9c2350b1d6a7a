#!/usr/bin/env python3
"""Draws every picture the menu shell shows, as 24-bit BMP files.

The window's client area is exactly one picture, so all files share one
size. Only the standard library is used (CI runs this on a bare Debian) and
nothing depends on time, locale or hash seeds: two runs give the same bytes.
Floating point is limited to + - * / and sqrt, which IEEE 754 rounds the same
way everywhere, so the output does not depend on the platform's libm.

usage: make_pictures.py OUTDIR [--title-only] [-v]
"""
import argparse
import hashlib
import math
import os
import struct
import sys

W, H = 549, 330
ROW_BYTES = (W * 3 + 3) & ~3
IMAGE_BYTES = ROW_BYTES * H
FILE_BYTES = 54 + IMAGE_BYTES
assert FILE_BYTES == 543894

# ---------------------------------------------------------------- font ----
# One glyph a line: the character, then its rows ('#' ink, '.' blank, '_' a
# blank row). The cell is 10 rows: row 0 holds accents, rows 1-7 the capital
# height, rows 8-9 the descenders. Rows start at row 1 unless the first token
# is '^' (start at the accent row) or 'x' (start at the x-height, row 3).
FONT_TABLE = r"""
A .###. #...# #...# ##### #...# #...# #...#
B ####. #...# #...# ####. #...# #...# ####.
C .###. #...# #.... #.... #.... #...# .###.
D ####. #...# #...# #...# #...# #...# ####.
E ##### #.... #.... ####. #.... #.... #####
F ##### #.... #.... ####. #.... #.... #....
G .###. #...# #.... #.### #...# #...# .####
H #...# #...# #...# ##### #...# #...# #...#
I ### .#. .#. .#. .#. .#. ###
J ..### ...#. ...#. ...#. ...#. #..#. .##..
K #...# #..#. #.#.. ##... #.#.. #..#. #...#
L #.... #.... #.... #.... #.... #.... #####
M #...# ##.## #.#.# #.#.# #...# #...# #...#
N #...# #...# ##..# #.#.# #..## #...# #...#
O .###. #...# #...# #...# #...# #...# .###.
P ####. #...# #...# ####. #.... #.... #....
Q .###. #...# #...# #...# #.#.# #..#. .##.#
R ####. #...# #...# ####. #.#.. #..#. #...#
S .#### #.... #.... .###. ....# ....# ####.
T ##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
U #...# #...# #...# #...# #...# #...# .###.
V #...# #...# #...# #...# #...# .#.#. ..#..
W #...# #...# #...# #.#.# #.#.# #.#.# .#.#.
X #...# #...# .#.#. ..#.. .#.#. #...# #...#
Y #...# #...# .#.#. ..#.. ..#.. ..#.. ..#..
Z ##### ....# ...#. ..#.. .#... #.... #####
a x .###. ....# .#### #...# .####
b #.... #.... ####. #...# #...# #...# ####.
c x .###. #.... #.... #.... .###.
d ....# ....# .#### #...# #...# #...# .####
e x .###. #...# ##### #.... .###.
f ..## .#.. ###. .#.. .#.. .#.. .#..
g x .#### #...# #...# #...# .#### ....# .###.
h #.... #.... #.##. ##..# #...# #...# #...#
i .#. _ ##. .#. .#. .#. ###
j ..# _ .## ..# ..# ..# ..# #.# .#.
k #... #... #..# #.#. ##.. #.#. #..#
l ##. .#. .#. .#. .#. .#. ###
m x ####. #.#.# #.#.# #.#.# #.#.#
n x #.##. ##..# #...# #...# #...#
o x .###. #...# #...# #...# .###.
p x ####. #...# #...# #...# ####. #.... #....
q x .#### #...# #...# #...# .#### ....# ....#
r x #.##. ##..# #.... #.... #....
s x .#### #.... .###. ....# ####.
t .#.. .#.. #### .#.. .#.. .#.. ..##
u x #...# #...# #...# #..## .##.#
v x #...# #...# #...# .#.#. ..#..
w x #...# #...# #.#.# #.#.# .#.#.
x x #...# .#.#. ..#.. .#.#. #...#
y x #...# #...# #...# #...# .#### ....# .###.
z x ##### ...#. ..#.. .#... #####
0 .###. #...# #..## #.#.# ##..# #...# .###.
1 ..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.
2 .###. #...# ....# ...#. ..#.. .#... #####
3 ##### ...#. ..#.. ...#. ....# #...# .###.
4 ...#. ..##. .#.#. #..#. ##### ...#. ...#.
5 ##### #.... ####. ....# ....# #...# .###.
6 ..##. .#... #.... ####. #...# #...# .###.
7 ##### ....# ...#. ..#.. .#... .#... .#...
8 .###. #...# #...# .###. #...# #...# .###.
9 .###. #...# #...# .#### ....# ...#. .##..
. _ _ _ _ _ ## ##
, _ _ _ _ _ .# .# #.
: _ _ ## ## _ ## ##
; _ _ .# .# _ .# .# #.
! # # # # # _ #
? .###. #...# ....# ...#. ..#.. _ ..#..
- _ _ _ #### _ _ _
— _ _ _ ###### _ _ _
+ _ ..#.. ..#.. ##### ..#.. ..#.. _
= _ _ ##### _ ##### _ _
( ..# .#. #.. #.. #.. .#. ..#
) #.. .#. ..# ..# ..# .#. #..
/ ....# ...#. ...#. ..#.. .#... .#... #....
' # # _ _ _ _ _
" #.# #.# _ _ _ _ _
« _ ..#.# .#.#. #.#.. .#.#. ..#.# _
» _ #.#.. .#.#. ..#.# .#.#. #.#.. _
→ _ ...#.. ....#. ###### ....#. ...#.. _
… _ _ _ _ _ _ #.#.#
Б ##### #.... #.... ####. #...# #...# ####.
Г ##### #.... #.... #.... #.... #.... #....
Д .#### .#..# .#..# .#..# .#..# ##### #...#
Ж #.#.# #.#.# #.#.# .###. #.#.# #.#.# #.#.#
З .###. #...# ....# ..##. ....# #...# .###.
И #...# #...# #..## #.#.# ##..# #...# #...#
Й ^ .###. #...# #...# #..## #.#.# ##..# #...# #...#
Л ..### .#..# .#..# .#..# .#..# .#..# #...#
П ##### #...# #...# #...# #...# #...# #...#
У #...# #...# #...# .#### ....# #...# .###.
Ф ..#.. .###. #.#.# #.#.# #.#.# .###. ..#..
Ц #..#. #..#. #..#. #..#. #..#. #..#. ##### ....#
Ч #...# #...# #...# .#### ....# ....# ....#
Ш #.#.# #.#.# #.#.# #.#.# #.#.# #.#.# #####
Щ #.#.#. #.#.#. #.#.#. #.#.#. #.#.#. #.#.#. ###### .....#
Ъ ##... .#... .#... .###. .#..# .#..# .###.
Ы #...# #...# #...# ##..# #.#.# #.#.# ##..#
Ь #.... #.... #.... ####. #...# #...# ####.
Э .###. #...# ....# .#### ....# #...# .###.
Ю #..#. #.#.# #.#.# ###.# #.#.# #.#.# #..#.
Я .#### #...# #...# .#### ..#.# .#..# #...#
б ..### .#... #.... ####. #...# #...# .###.
в x ####. #...# ####. #...# ####.
г x #### #... #... #... #...
д x .###. .#.#. .#.#. .#.#. ##### #...#
ж x #.#.# #.#.# .###. #.#.# #.#.#
з x ####. ....# .###. ....# ####.
и x #...# #..## #.#.# ##..# #...#
й ^ _ #...# .###. #...# #..## #.#.# ##..# #...#
к x #..# #.#. ##.. #.#. #..#
л x ..### .#..# .#..# .#..# #...#
м x #...# ##.## #.#.# #...# #...#
н x #...# #...# ##### #...# #...#
п x ##### #...# #...# #...# #...#
т x ##### ..#.. ..#.. ..#.. ..#..
ф ^ _ _ ..#.. .###. #.#.# #.#.# #.#.# .###. ..#..
ц x #..#. #..#. #..#. #..#. ##### ....#
ч x #...# #...# .#### ....# ....#
ш x #.#.# #.#.# #.#.# #.#.# #####
щ x #.#.#. #.#.#. #.#.#. #.#.#. ###### .....#
ъ x ##... .#... .###. .#..# .###.
ы x #...# #...# ##..# #.#.# ##..#
ь x #.... #.... ####. #...# ####.
э x ###. ...# .### ...# ###.
ю x #..#. #.#.# ###.# #.#.# #..#.
я x .#### #...# .#### .#..# #...#
ё ^ _ .#.#. _ .###. #...# ##### #.... .###.
Ё ^ .#.#. ##### #.... #.... ####. #.... #.... #####
"""
# Cyrillic letters drawn exactly like their Latin twins.
TWINS = "АA ВB ЕE КK МM НH ОO РP СC ТT ХX аa еe оo рp сc уy хx"


def load_font():
    font = {' ': (3, [0] * 10)}
    for line in FONT_TABLE.strip().splitlines():
        key, *rows = line.split()
        top = 1
        if rows[0] in ('^', 'x'):
            top = 0 if rows[0] == '^' else 3
            rows = rows[1:]
        width = max(len(r) for r in rows)
        bits = [0] * 10
        for i, r in enumerate(rows):
            bits[top + i] = sum(1 << x for x, ch in enumerate(r) if ch == '#')
        font[key] = (width, bits)
    for pair in TWINS.split():
        font[pair[0]] = font[pair[1]]
    return font


FONT = load_font()


def text_width(s, scale=2):
    return (sum(FONT[ch][0] + 1 for ch in s) - 1) * scale


# ------------------------------------------------------------ bit masks ----
# A mask is a coverage map sampled s x s times per pixel, kept as one Python
# int per sample row (bit x = sample column x). Whole-row bit operations keep
# shape filling, erosion and glyph scaling fast in pure Python.
class Mask:
    def __init__(self, w, h, s):
        self.w, self.h, self.s = w, h, s
        self.rows = [0] * h

    def poly(self, pts):
        """Even-odd fill of a polygon given in sample coordinates."""
        n = len(pts)
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            yc = y + 0.5
            xs = []
            for i in range(n):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
                if (y0 <= yc) != (y1 <= yc):
                    xs.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                self.span(y, a, b)

    def ellipse(self, cx, cy, rx, ry):
        for y in range(max(0, int(cy - ry)), min(self.h, int(cy + ry) + 1)):
            k = (y + 0.5 - cy) / ry
            t = 1.0 - k * k
            if t > 0:
                d = rx * math.sqrt(t)
                self.span(y, cx - d, cx + d)

    def span(self, y, a, b):
        x0, x1 = max(0, int(a + 0.5)), min(self.w, int(b + 0.5))
        if x1 > x0:
            self.rows[y] |= ((1 << (x1 - x0)) - 1) << x0

    def eroded(self, r, grow=False):
        """Shrinks (or with grow, widens) the shape by about r samples,
        alternating square and cross steps so corners stay roundish."""
        out = Mask(self.w, self.h, self.s)
        rows, full = list(self.rows), (1 << self.w) - 1
        op = (lambda a, b: a | b) if grow else (lambda a, b: a & b)
        for k in range(r):
            hor = [op(op(v, v >> 1), (v << 1) & full) for v in rows]
            src = hor if k % 2 == 0 else rows
            n = len(rows)
            rows = [op(op(hor[i], src[i - 1] if i else 0),
                       src[i + 1] if i + 1 < n else 0) for i in range(n)]
        out.rows = rows
        return out

    def padded(self, px):
        """The same shape with px empty pixels added on every side."""
        p = px * self.s
        out = Mask(self.w + 2 * p, self.h + 2 * p, self.s)
        out.rows = [0] * p + [v << p for v in self.rows] + [0] * p
        return out


_SPREAD = {}


def spread(v, n, nbytes):
    """Moves bit i of v to bit i*n."""
    tbl = _SPREAD.get(n)
    if tbl is None:
        tbl = _SPREAD[n] = [sum(1 << (i * n) for i in range(8) if b >> i & 1)
                            .to_bytes(n, 'little') for b in range(256)]
    return int.from_bytes(b''.join(tbl[b] for b in v.to_bytes(nbytes, 'little')),
                          'little')


def scale2x(rows, w):
    """Doubles a 1-bit image, rounding off stair steps (the Scale2x rule)."""
    full, nb, out = (1 << w) - 1, (w + 7) // 8, []
    for i, p in enumerate(rows):
        a = rows[i - 1] if i else 0
        d = rows[i + 1] if i + 1 < len(rows) else 0
        c, b = (p << 1) & full, p >> 1
        e = []
        for x, y, z, t in ((c, a, d, b), (a, b, c, d), (d, c, b, a), (b, d, a, c)):
            cond = ~(x ^ y) & (x ^ z) & (y ^ t) & full
            e.append((cond & y) | (~cond & p))
        out.append(spread(e[0], 2, nb) | spread(e[1], 2, nb) << 1)
        out.append(spread(e[2], 2, nb) | spread(e[3], 2, nb) << 1)
    return out, 2 * w


def text_mask(s, scale, ss):
    """Renders a string as a mask at `scale` pixels per font pixel."""
    rows, x = [0] * 10, 0
    for ch in s:
        gw, bits = FONT[ch]
        for i in range(10):
            rows[i] |= bits[i] << x
        x += gw + 1
    w, f, total = max(1, x - 1), 1, scale * ss
    while total % (2 * f) == 0:
        rows, w = scale2x(rows, w)
        f *= 2
    n = total // f
    if n > 1:
        nb, ones = (w + 7) // 8, (1 << n) - 1
        rows = [r for r in rows for _ in range(n)]
        rows = [spread(r, n, nb) * ones for r in rows]
        w *= n
    m = Mask(w, len(rows), ss)
    m.rows = rows
    return m


# ---------------------------------------------------------------- canvas ----
def mix(c0, c1, t):
    return tuple(int(a + (b - a) * t + 0.5) for a, b in zip(c0, c1))


class Canvas:
    """Top-down BGR pixels; converted to a bottom-up BMP only on save."""

    def __init__(self, stops):
        self.buf = bytearray(W * H * 3)
        self.vgradient(0, 0, W, H, stops)
        self._tables = {}

    def vgradient(self, x, y, w, h, stops):
        """Vertical gradient through colour stops [(pos 0..1, rgb), ...]."""
        for j in range(h):
            t = j / max(1, h - 1)
            for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
                if t <= p1:
                    self.rect(x, y + j, w, 1, mix(c0, c1, (t - p0) / (p1 - p0)))
                    break

    def rect(self, x, y, w, h, rgb, alpha=1.0):
        x0, y0, x1, y1 = max(0, x), max(0, y), min(W, x + w), min(H, y + h)
        if x1 <= x0 or y1 <= y0:
            return
        for yy in range(y0, y1):
            self.run(yy, x0, x1 - x0, rgb, alpha)

    def frame(self, x, y, w, h, rgb, t=1):
        self.rect(x, y, w, t, rgb)
        self.rect(x, y + h - t, w, t, rgb)
        self.rect(x, y, t, h, rgb)
        self.rect(x + w - t, y, t, h, rgb)

    def run(self, y, x, n, rgb, alpha=1.0):
        i = (y * W + x) * 3
        bgr = rgb[::-1]
        if alpha >= 1.0:
            self.buf[i:i + 3 * n] = bytes(bgr) * n
            return
        a = int(alpha * 256 + 0.5)
        seg = self.buf[i:i + 3 * n]
        for k in range(3):
            key = (bgr[k], a)
            tbl = self._tables.get(key)
            if tbl is None:
                tbl = self._tables[key] = bytes(
                    (v * (256 - a) + bgr[k] * a) >> 8 for v in range(256))
            seg[k::3] = seg[k::3].translate(tbl)
        self.buf[i:i + 3 * n] = seg

    def mask(self, m, ox, oy, rgb, alpha=1.0):
        s = m.s
        if s == 1:
            for j, v in enumerate(m.rows):
                y = oy + j
                if not v or not 0 <= y < H:
                    continue
                col = rgb(y) if callable(rgb) else rgb
                x = 0
                while v:
                    low = (v & -v).bit_length() - 1
                    v >>= low
                    x += low
                    n = (v ^ (v + 1)).bit_length() - 1
                    a, b = max(0, ox + x), min(W, ox + x + n)
                    if b > a:
                        self.run(y, a, b - a, col, alpha)
                    v >>= n
                    x += n
            return
        blk, full = (1 << s) - 1, s * s
        for j in range(0, (m.h + s - 1) // s):
            y = oy + j
            sub = m.rows[j * s:(j + 1) * s]
            orr, andr = 0, -1 if len(sub) == s else 0
            for r in sub:
                orr |= r
                andr &= r
            if not orr or not 0 <= y < H:
                continue
            col = rgb(y) if callable(rgb) else rgb
            lo = ((orr & -orr).bit_length() - 1) // s
            for x in range(lo, (orr.bit_length() + s - 1) // s):
                sh = x * s
                if not (orr >> sh) & blk or not 0 <= ox + x < W:
                    continue
                if (andr >> sh) & blk == blk:
                    cov = full
                else:
                    cov = sum(((r >> sh) & blk).bit_count() for r in sub)
                self.run(y, ox + x, 1, col, alpha * cov / full)

    def text(self, x, y, s, rgb, scale=2, align='left', shadow=None):
        """Draws s with its capital top at y; returns the width in pixels."""
        w = text_width(s, scale)
        if align == 'center':
            x -= w // 2
        elif align == 'right':
            x -= w
        # Headings get 2x2 antialiasing; body text stays crisp 1-bit.
        m = text_mask(s, scale, 2 if scale >= 3 else 1)
        if shadow:
            d = max(1, scale // 2)
            self.mask(m, x + d, y - scale + d, shadow, 0.6)
        self.mask(m, x, y - scale, rgb)
        return w

    def banner(self, x, y, s, top, bottom, edge, scale=4):
        """Large centred text: dark rim, drop shadow and a vertical
        two-colour fill, for titles over busy backgrounds."""
        pad = 2
        m = text_mask(s, scale, 2).padded(pad)
        rim = m.eroded(3, grow=True)
        x0, y0 = x - text_width(s, scale) // 2 - pad, y - scale - pad
        cap = 7 * scale

        def fill(yy):
            return mix(top, bottom, min(1.0, max(0.0, (yy - y) / cap)))
        self.mask(rim, x0 + 3, y0 + 3, (0, 0, 0), 0.45)
        self.mask(rim, x0, y0, edge)
        self.mask(m, x0, y0, fill)

    def save(self, path, marker):
        # Marker: an 8x8 block of a colour no other picture uses.
        self.rect(0, 0, 8, 8, marker)
        pad = b'\0' * (ROW_BYTES - W * 3)
        body = b''.join(bytes(self.buf[y * W * 3:(y + 1) * W * 3]) + pad
                        for y in range(H - 1, -1, -1))
        head = struct.pack('<2sIHHI', b'BM', FILE_BYTES, 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, IMAGE_BYTES,
                           2835, 2835, 0, 0)
        data = head + info + body
        assert len(data) == FILE_BYTES, (path, len(data))
        with open(path, 'wb') as f:
            f.write(data)


# ---------------------------------------------------------------- pieces ----
# Pieces in a unit square, y pointing down, standing on y = 0.92. Each has
# silhouette shapes ('p' polygon, 'e' ellipse cx cy rx ry) and detail strokes
# that are painted in the outline colour over the body.
def _box(x0, y0, x1, y1):
    return ('p', [(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


_BASE = [('p', [(0.20, 0.92), (0.80, 0.92), (0.80, 0.87), (0.74, 0.80),
                (0.26, 0.80), (0.20, 0.87)])]
PIECES = {
    'p': (_BASE + [('e', 0.5, 0.28, 0.125, 0.125), ('e', 0.5, 0.45, 0.15, 0.045),
                   ('p', [(0.44, 0.44), (0.56, 0.44), (0.68, 0.81), (0.32, 0.81)])],
          []),
    'r': (_BASE + [('p', [(0.33, 0.34), (0.67, 0.34), (0.64, 0.81), (0.36, 0.81)]),
                   _box(0.26, 0.22, 0.74, 0.36), _box(0.26, 0.12, 0.36, 0.23),
                   _box(0.45, 0.12, 0.55, 0.23), _box(0.64, 0.12, 0.74, 0.23),
                   _box(0.30, 0.70, 0.70, 0.81)],
          [_box(0.30, 0.34, 0.70, 0.37), _box(0.33, 0.69, 0.67, 0.71)]),
    'n': (_BASE + [('p', [(0.27, 0.81), (0.77, 0.81), (0.77, 0.56), (0.71, 0.36),
                          (0.60, 0.23), (0.53, 0.19), (0.49, 0.09), (0.44, 0.19),
                          (0.35, 0.25), (0.23, 0.44), (0.19, 0.54), (0.25, 0.61),
                          (0.34, 0.57), (0.45, 0.50), (0.48, 0.53), (0.37, 0.66),
                          (0.31, 0.74)])],
          [('e', 0.44, 0.31, 0.035, 0.035),
           ('p', [(0.21, 0.53), (0.26, 0.51), (0.27, 0.54), (0.22, 0.56)])]),
    'b': (_BASE + [('p', [(0.42, 0.60), (0.58, 0.60), (0.67, 0.81), (0.33, 0.81)]),
                   ('e', 0.5, 0.62, 0.17, 0.045), ('e', 0.5, 0.44, 0.155, 0.19),
                   ('p', [(0.38, 0.36), (0.5, 0.19), (0.62, 0.36)]),
                   ('e', 0.5, 0.15, 0.055, 0.055)],
          [('p', [(0.47, 0.44), (0.51, 0.46), (0.61, 0.33), (0.57, 0.31)])]),
    'q': (_BASE + [('p', [(0.34, 0.62), (0.16, 0.28), (0.34, 0.44), (0.36, 0.20),
                          (0.44, 0.42), (0.50, 0.15), (0.56, 0.42), (0.64, 0.20),
                          (0.66, 0.44), (0.84, 0.28), (0.66, 0.62)]),
                   ('p', [(0.36, 0.60), (0.64, 0.60), (0.70, 0.81), (0.30, 0.81)]),
                   ('e', 0.16, 0.26, 0.055, 0.055), ('e', 0.36, 0.18, 0.055, 0.055),
                   ('e', 0.50, 0.13, 0.055, 0.055), ('e', 0.64, 0.18, 0.055, 0.055),
                   ('e', 0.84, 0.26, 0.055, 0.055), ('e', 0.5, 0.62, 0.19, 0.045)],
          [_box(0.34, 0.66, 0.66, 0.68)]),
    'k': (_BASE + [('p', [(0.36, 0.56), (0.64, 0.56), (0.70, 0.81), (0.30, 0.81)]),
                   ('e', 0.35, 0.45, 0.16, 0.14), ('e', 0.65, 0.45, 0.16, 0.14),
                   ('p', [(0.22, 0.48), (0.78, 0.48), (0.66, 0.62), (0.34, 0.62)]),
                   ('e', 0.5, 0.35, 0.07, 0.08),
                   _box(0.46, 0.07, 0.54, 0.32), _box(0.39, 0.13, 0.61, 0.20),
                   ('e', 0.5, 0.62, 0.19, 0.045)],
          [_box(0.49, 0.36, 0.51, 0.58), _box(0.34, 0.66, 0.66, 0.68)]),
}
_PIECE_CACHE = {}


def piece_masks(kind, size):
    """Silhouette, body and detail masks of a piece `size` pixels tall."""
    key = (kind, size)
    if key not in _PIECE_CACHE:
        ss, body, details = 4, *PIECES[kind]
        n = size * ss
        out = []
        for shapes in (body, details):
            m = Mask(n, n, ss)
            for sh in shapes:
                if sh[0] == 'p':
                    m.poly([(x * n, y * n) for x, y in sh[1]])
                else:
                    m.ellipse(sh[1] * n, sh[2] * n, sh[3] * n, sh[4] * n)
            out.append(m)
        stroke = max(3, (n + 10) // 22)
        _PIECE_CACHE[key] = (out[0], out[0].eroded(stroke), out[1])
    return _PIECE_CACHE[key]


WHITE_PIECE = ((252, 250, 242), (28, 26, 24), (28, 26, 24))
BLACK_PIECE = ((58, 56, 62), (12, 12, 14), (205, 200, 190))


def draw_piece(c, ch, x, y, size):
    """Piece letter ch (upper case white) with its square's top-left at x, y."""
    fill, line, detail = WHITE_PIECE if ch.isupper() else BLACK_PIECE
    sil, body, det = piece_masks(ch.lower(), size)
    c.mask(sil, x, y, line)
    c.mask(body, x, y, fill)
    c.mask(det, x, y, detail)


# ------------------------------------------------------------- common art ----
LIGHT_SQ, DARK_SQ = (240, 217, 181), (181, 136, 99)
INK, PAPER = (40, 34, 30), (250, 244, 228)
GOLD, CREAM = (246, 204, 96), (255, 244, 214)
FILES = 'abcdefgh'


def diagram(c, x, y, q, position, labels=True):
    """A flat 8x8 board, White at the bottom; position maps 'e4' -> 'K'."""
    c.rect(x - 4, y - 4, 8 * q + 8, 8 * q + 8, (70, 46, 30))
    c.frame(x - 1, y - 1, 8 * q + 2, 8 * q + 2, (30, 20, 14))
    for r in range(8):
        for f in range(8):
            c.rect(x + f * q, y + r * q, q, q, LIGHT_SQ if (r + f) % 2 == 0 else DARK_SQ)
    for sq, ch in sorted(position.items()):
        f, r = FILES.index(sq[0]), int(sq[1])
        draw_piece(c, ch, x + f * q, y + (8 - r) * q, q)
    if labels:
        for i in range(8):
            c.text(x + i * q + q // 2, y + 8 * q + 7, FILES[i], INK, 1, 'center')
            c.text(x - 8, y + i * q + q // 2 - 3, str(8 - i), INK, 1, 'center')


def random_position(seed, extra):
    """A sparse legal-looking position derived only from the seed text."""
    stream = hashlib.sha256(seed.encode()).digest() * 4
    pos, taken, k = {}, set(), 0

    def pick(ok):
        nonlocal k
        while True:
            sq = stream[k] % 64
            k += 1
            f, r = sq % 8, sq // 8 + 1
            if sq not in taken and ok(f, r):
                taken.add(sq)
                return f, r

    wk = pick(lambda f, r: True)
    bk = pick(lambda f, r: max(abs(f - wk[0]), abs(r - wk[1])) > 2)
    pos[FILES[wk[0]] + str(wk[1])], pos[FILES[bk[0]] + str(bk[1])] = 'K', 'k'
    for i in range(extra):
        ch = 'QRBNPPRBNPqrbnpprbnp'[stream[k] % 20]
        k += 1
        f, r = pick(lambda f, r: ch.lower() != 'p' or 1 < r < 8)
        pos[FILES[f] + str(r)] = ch
    return pos


def page_frame(c, heading, right, band, accent):
    """Header band with heading and page label over a paper sheet."""
    c.vgradient(0, 0, W, 52, [(0, mix(band, (0, 0, 0), -0.25)), (1, band)])
    c.rect(0, 52, W, 3, accent)
    c.rect(14, 66, W - 28, H - 80, (0, 0, 0), 0.18)
    c.rect(10, 62, W - 28, H - 80, PAPER)
    c.frame(10, 62, W - 28, H - 80, mix(accent, INK, 0.5))
    c.text(20, 14, heading, CREAM, 3, shadow=(0, 0, 0))
    if right:
        c.text(W - 20, 22, right, CREAM, 2, 'right', shadow=(0, 0, 0))


def lines(c, x, y, rows, rgb=INK, step=21, limit=W - 24):
    for i, s in enumerate(rows):
        if s:
            assert x + text_width(s) <= limit, s
            c.text(x, y + i * step, s, rgb)


# -------------------------------------------------------------- pictures ----
TITLE, SUBTITLE = 'Шахматная тактика', 'задачник'


def pic_title():
    c = Canvas([(0, (8, 12, 36)), (0.5, (34, 40, 96)), (1, (86, 54, 96))])
    # The board turned by a yaw angle under a camera pitched down. Both
    # angles are given by exact cos/sin pairs (3-4-5 triangles), so no libm
    # call can change a pixel between machines.
    ya, yb = 0.96, 0.28
    pa, pb = 0.8, 0.6
    cam_h, zc, focal, cx, cy = 7.0, 9.6, 580.0, W / 2 - 6, 250.0

    def proj(u, v, lift=0.0):
        x = (u - 4) * ya - (v - 4) * yb
        z = zc + (u - 4) * yb + (v - 4) * ya
        depth = (cam_h - lift) * pb + z * pa
        up = (lift - cam_h) * pa + z * pb
        return cx + focal * x / depth, cy - focal * up / depth, depth

    def quad(mask, pts):
        mask.poly([(px * 4, py * 4) for px, py, _ in pts])

    def board_poly(lo, hi, lift=0.0):
        return [proj(u, v, lift) for u, v in ((lo, lo), (hi, lo), (hi, hi), (lo, hi))]

    layers = [(board_poly(-0.45, 8.45, -0.4), (52, 30, 18)),  # side faces
              (board_poly(-0.45, 8.45), (124, 78, 44)),       # wooden rim
              (board_poly(-0.1, 8.1), (70, 42, 24)),          # inlay line
              (board_poly(0, 8), LIGHT_SQ)]
    for f in range(8):
        for r in range(8):
            if (f + r) % 2 == 0:
                layers.append(([proj(f, r), proj(f + 1, r), proj(f + 1, r + 1),
                                proj(f, r + 1)], DARK_SQ))
    # Dark squares share one mask so their antialiased edges meet cleanly.
    for pts, rgb in layers[:4]:
        m = Mask(W * 4, H * 4, 4)
        quad(m, pts)
        c.mask(m, 0, 0, rgb)
    dark = Mask(W * 4, H * 4, 4)
    for pts, _ in layers[4:]:
        quad(dark, pts)
    c.mask(dark, 0, 0, DARK_SQ)
    men = [('K', 6, 1), ('R', 0, 2), ('N', 2, 3), ('P', 5, 2), ('P', 6, 2),
           ('k', 6, 6), ('q', 1, 5), ('p', 5, 5), ('b', 3, 6)]
    placed = sorted((-proj(f + 0.5, r + 0.5)[2], ch, f, r) for ch, f, r in men)
    for _, ch, f, r in placed:
        px, py, depth = proj(f + 0.5, r + 0.5)
        size = int(focal * 1.15 / depth)
        sh = Mask(size * 4, size // 2 * 4, 4)
        sh.ellipse(size * 2, size, size * 1.35, size * 0.5)
        c.mask(sh, int(px - size / 2), int(py - size / 4), (20, 10, 0), 0.4)
        draw_piece(c, ch, int(px - size / 2 + 0.5), int(py - size * 0.9 + 0.5), size)
    c.banner(W // 2, 18, TITLE, (255, 236, 150), (222, 150, 40), (54, 24, 8))
    c.text(W // 2, 68, SUBTITLE, CREAM, 3, 'center', shadow=(0, 0, 0))
    c.text(W - 8, H - 12, 'версия 1.0', CREAM, 1, 'right', shadow=(0, 0, 0))
    return c


CHAPTERS = ['Двойной удар', 'Связка', 'Вскрытое нападение', 'Отвлечение',
            'Завлечение', 'Перекрытие', 'Уничтожение защиты', 'Мат в 2 хода',
            'Превращение пешки']
THEMES = CHAPTERS + ['Сквозной удар', 'Промежуточный ход', 'Освобождение поля',
                     'Слабость 8-й линии', 'Перегрузка', 'Вечный шах', 'Пат',
                     'Мат в 1 ход', 'Блокада', 'Рентген', 'Жертва ферзя']


def pic_book():
    c = Canvas([(0, (64, 40, 26)), (1, (120, 76, 44))])
    c.rect(24, 16, W - 48, H - 32, (0, 0, 0), 0.3)
    c.rect(18, 10, W - 48, H - 32, PAPER)
    c.frame(24, 16, W - 60, H - 44, (150, 110, 60), 2)
    c.frame(29, 21, W - 70, H - 54, (150, 110, 60))
    c.text(W // 2 - 6, 32, 'Учебник', (120, 40, 24), 4, 'center', shadow=(200, 180, 150))
    c.text(W // 2 - 6, 74, TITLE, INK, 2, 'center')
    diagram(c, 48, 112, 20, random_position('book', 6), labels=False)
    c.text(236, 108, 'Содержание', (120, 40, 24), 2)
    for i, ch in enumerate(CHAPTERS):
        c.text(236, 134 + i * 18, f'{i + 1}. {ch}', INK, 2)
    return c


def pic_page(n):
    c = Canvas([(0, (200, 190, 170)), (1, (150, 136, 112))])
    page_frame(c, 'Учебник', f'Страница {n}', (46, 86, 60), (210, 170, 80))
    pos = random_position(f'page {n}', 3 + n % 5)
    diagram(c, 38, 80, 25, pos)
    theme = THEMES[(n - 2) % len(THEMES)]
    white = n % 3 != 0
    x = 268
    c.text(x, 78, f'Задача {n - 1}', (120, 40, 24), 3)
    c.rect(x, 113, 14, 14, (252, 250, 242) if white else (30, 30, 30))
    c.frame(x, 113, 14, 14, INK)
    c.text(x + 22, 113, 'Ход белых' if white else 'Ход чёрных', INK)
    lines(c, x, 142, ['Тема:', theme, '',
                      'Белые начинают' if white else 'Чёрные начинают',
                      'и выигрывают.' if n % 4 else 'и ставят мат.'], step=20)
    c.rect(x, 248, W - 24 - x - 8, 1, (200, 180, 150))
    note = ['Решение — на', 'следующей странице.'] if n < 20 else \
        ['Это последняя', 'страница учебника.']
    lines(c, x, 258, note, (120, 108, 96), 20)
    return c


HELP_PAGES = [
    ('Общие сведения', ['Программа — задачник по шахматной',
                        'тактике. В окне видна одна картинка.',
                        'Команды собраны в меню вверху окна:',
                        '«Программы», «Установки» и «Справка».',
                        'Кнопки со стрелками листают учебник',
                        'и справку вперёд и назад.']),
    ('Меню «Программы»', ['Программы → Выбрать программу',
                          'открывает список курсов. Выберите',
                          'курс и нажмите «OK».',
                          'Пока курс запускается, на экране',
                          'картинка «Запуск программы...».']),
    ('Курсы Тактика-1...9', ['Девять курсов идут от простого',
                             'к сложному. Тактика-1 учит двойному',
                             'удару и связке, Тактика-9 — сложным',
                             'комбинациям с жертвами.',
                             'Каждый курс — 100 задач.']),
    ('Практика, Шах и мат', ['Практика: задачи из всех курсов',
                              'вперемешку, без подсказок.',
                              'Шах и мат: задачи на мат в 1-3 хода.',
                              'Тактика: сборник комбинаций из',
                              'партий, с разбором каждой.']),
    ('Установки → Язык', ['Выберите язык меню и картинок:',
                          'русский или английский.',
                          'Картинка в окне сразу покажет',
                          'выбранный язык. Выбор сохранится',
                          'до следующего запуска.']),
    ('Установки → Картинки', ['Включает и выключает картинки',
                              'учебника на главном экране.',
                              'Без картинок окно показывает',
                              'только титульный лист.']),
    ('Учебник и стрелки', ['Учебник открывается с титульного',
                           'листа. Стрелка вправо — следующая',
                           'страница, стрелка влево — предыдущая.',
                           'В справке стрелки работают так же.',
                           'На первой странице стрелка влево',
                           'возвращает к титульному листу.']),
    ('Меню «Справка»', ['Справка → Содержание открывает',
                        'эти страницы.',
                        'Справка → О программе показывает',
                        'версию и авторов.',
                        'Выход из программы — кнопка',
                        'закрытия окна.']),
]
HELP_BAND, HELP_ACCENT = (34, 52, 104), (120, 170, 230)


def menu_strip(c, x, y, active):
    """A sketch of the window's menu bar with one entry highlighted."""
    names = ['Программы', 'Установки', 'Справка']
    w = sum(text_width(n) + 18 for n in names) - 2
    c.rect(x, y, w, 22, (226, 226, 226))
    c.frame(x, y, w, 22, (140, 140, 140))
    tx = x + 8
    for i, name in enumerate(names):
        if i == active:
            c.rect(tx - 4, y + 2, text_width(name) + 8, 18, HELP_BAND)
        tx += c.text(tx, y + 4, name, CREAM if i == active else (20, 20, 20)) + 18


def pic_help_index():
    c = Canvas([(0, (190, 200, 220)), (1, (130, 146, 180))])
    page_frame(c, 'Справка', 'Содержание', HELP_BAND, HELP_ACCENT)
    c.text(30, 78, 'Разделы справки:', (24, 40, 90), 2)
    for i, (head, _) in enumerate(HELP_PAGES):
        y = 104 + i * 24
        x = 40 + c.text(40, y, f'{i + 1}. {head}', INK, 2) + 8
        for dx in range(x, W - 40 - text_width(f'стр. {i + 1}') - 8, 6):
            c.rect(dx, y + 12, 2, 2, (150, 160, 180))
        c.text(W - 40, y, f'стр. {i + 1}', (90, 100, 120), 2, 'right')
    return c


def pic_help(n):
    c = Canvas([(0, (190, 200, 220)), (1, (130, 146, 180))])
    page_frame(c, 'Справка', f'Страница {n} из 8', HELP_BAND, HELP_ACCENT)
    head, body = HELP_PAGES[n - 1]
    sil = piece_masks('n', 110)[0]
    c.mask(sil, W - 140, H - 134, HELP_BAND, 0.08)
    c.text(26, 76, head, (24, 40, 90), 3)
    active = {2: 0, 3: 0, 4: 0, 5: 1, 6: 1, 8: 2}.get(n)
    top = 112
    if active is not None:
        menu_strip(c, 26, 110, active)
        top = 144
    lines(c, 26, top, body, step=22)
    if n == 7:
        for i, d in enumerate((-1, 1)):
            bx = W - 120 + i * 50
            c.rect(bx, 112, 36, 26, (226, 226, 226))
            c.frame(bx, 112, 36, 26, (120, 120, 120))
            tri = Mask(36 * 4, 26 * 4, 4)
            tri.poly([((18 - 7 * d) * 4, 6 * 4), ((18 + 8 * d) * 4, 13 * 4),
                      ((18 - 7 * d) * 4, 20 * 4)])
            c.mask(tri, bx, 112, HELP_BAND)
    return c


def pic_about():
    c = Canvas([(0, (60, 14, 30)), (1, (140, 40, 56))])
    c.rect(40, 30, W - 80, H - 60, (0, 0, 0), 0.35)
    c.frame(40, 30, W - 80, H - 60, GOLD)
    c.text(W // 2, 46, 'О программе', CREAM, 3, 'center', shadow=(0, 0, 0))
    c.text(W // 2, 92, TITLE, GOLD, 3, 'center', shadow=(0, 0, 0))
    c.text(W // 2, 122, 'Задачник по шахматной тактике', CREAM, 2, 'center')
    c.text(W // 2, 148, 'Версия 1.0', CREAM, 2, 'center')
    c.rect(W // 2 - 120, 174, 240, 1, GOLD)
    c.text(W // 2, 188, 'Авторы: Н. Ладейкин, О. Пешкова', CREAM, 2, 'center')
    c.text(W // 2, 212, 'Художник: Е. Слонова', CREAM, 2, 'center')
    for i, ch in enumerate('RNBqkBNR'):
        draw_piece(c, ch, W // 2 - 176 + i * 44, 234, 44)
    return c


def pic_launch():
    c = Canvas([(0, (8, 20, 40)), (1, (24, 60, 96))])
    q = 30
    for r in range(4):
        for f in range(18):
            if (r + f) % 2 == 0:
                c.rect(f * q + 4, 200 + r * q, q, q, (255, 255, 255), 0.07 + 0.03 * r)
    diagram(c, 40, 60, 16, {'e1': 'K', 'd8': 'q', 'f3': 'N', 'g8': 'k', 'b2': 'P'},
            labels=False)
    c.text(220, 84, 'Запуск программы...', CREAM, 3, shadow=(0, 0, 0))
    c.text(220, 124, 'Пожалуйста, подождите.', (190, 210, 230), 2)
    for i in range(10):
        c.rect(220 + i * 28, 160, 22, 14, GOLD if i < 6 else (60, 80, 110))
    return c


def pic_language(russian):
    c = Canvas([(0, (30, 70, 50)), (1, (70, 120, 80))])
    c.rect(60, 70, W - 120, 190, (0, 0, 0), 0.3)
    c.frame(60, 70, W - 120, 190, GOLD, 2)
    badge = 'RU' if russian else 'EN'
    c.rect(84, 110, 110, 110, CREAM)
    c.frame(84, 110, 110, 110, INK, 3)
    c.text(139, 148, badge, (120, 40, 24), 5, 'center')
    if russian:
        head, rows = 'Язык: русский', ['Меню и картинки', 'на русском языке.']
    else:
        head, rows = 'Language: English', ['Menus and pictures', 'in English.']
    c.text(W // 2, 30, head, CREAM, 3, 'center', shadow=(0, 0, 0))
    lines(c, 220, 122, rows, CREAM, 26)
    for i, ch in enumerate('KqNr'):
        draw_piece(c, ch, 222 + i * 48, 184, 44)
    return c


# ------------------------------------------------------------------ main ----
def picture_list():
    """(file name, drawing function) in a fixed order; order sets markers."""
    out = [('title.bmp', pic_title), ('Book.bmp', pic_book)]
    out += [(f'Pict{n:02d}.bmp', lambda n=n: pic_page(n)) for n in range(2, 21)]
    out += [('Help.bmp', pic_help_index)]
    out += [(f'Help{n:02d}.bmp', lambda n=n: pic_help(n)) for n in range(1, 9)]
    out += [('About.bmp', pic_about), ('PictZEL.bmp', pic_launch),
            ('PictNR.bmp', lambda: pic_language(True)),
            ('PictNE.bmp', lambda: pic_language(False))]
    return out


def marker(i):
    return ((37 * i + 200) % 256, (91 * i + 20) % 256, (i * 7 + 3) % 256)


def main(argv=None):
    ap = argparse.ArgumentParser(description='Writes the menu pictures as BMP.')
    ap.add_argument('outdir')
    ap.add_argument('--title-only', action='store_true')
    ap.add_argument('-v', '--verbose', action='store_true')
    args = ap.parse_args(argv)
    pics = picture_list()
    assert len({marker(i) for i in range(len(pics))}) == len(pics)
    os.makedirs(args.outdir, exist_ok=True)
    for i, (name, draw) in enumerate(pics):
        if args.title_only and name != 'title.bmp':
            continue
        path = os.path.join(args.outdir, name)
        draw().save(path, marker(i))
        if args.verbose:
            print(path)
    return 0


if __name__ == '__main__':
    sys.exit(main())

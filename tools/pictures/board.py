"""Chessmen and boards: the flat diagram of a textbook page and the board in
perspective on the title screen. The men are the chess glyphs of a font,
drawn four times larger and reduced, so that their edges stay smooth.
"""
from PIL import Image, ImageDraw

from typeset import font

LIGHT_SQ, DARK_SQ = (240, 217, 181), (181, 136, 99)
FRAME = (78, 52, 34)
FILES = 'abcdefgh'
SCALE = 4

_men = {}


def _glyph(ch, size):
    """The glyph's coverage, centred on a size x size square at SCALE."""
    n = size * SCALE
    m = Image.new('L', (n, n), 0)
    ImageDraw.Draw(m).text((n / 2, n * 0.53), ch, font=font('men', round(n * 0.86)),
                           fill=255, anchor='mm')
    return m


def _silhouette(size, kind):
    """The man's outline filled: the solid (black) glyph with its inner
    details closed, by filling the outside from a corner and inverting."""
    m = _glyph(chr(0x265A + 'kqrbnp'.index(kind)), size)
    solid = m.point(lambda v: 255 if v >= 96 else 0)
    ImageDraw.floodfill(solid, (0, 0), 128)
    return solid.point(lambda v: 0 if v == 128 else 255)


def man(letter, size):
    """An RGBA picture of the man for a FEN letter (upper case white), size
    pixels square. White men are white with a dark outline, black men dark
    with light detail lines."""
    key = (letter, size)
    if key in _men:
        return _men[key]
    kind = letter.lower()
    n = size * SCALE
    ink = (24, 22, 20)
    body = (255, 255, 255) if letter.isupper() else (238, 232, 220)
    img = Image.new('RGBA', (n, n), ink + (0,))
    img.paste(body + (255,), (0, 0), _silhouette(size, kind))
    idx = 'kqrbnp'.index(kind)
    lines = _glyph(chr((0x2654 if letter.isupper() else 0x265A) + idx), size)
    img.paste(ink + (255,), (0, 0), lines)
    # Reduced premultiplied, so the transparent border adds no dark fringe.
    out = img.convert('RGBa').resize((size, size), Image.LANCZOS).convert('RGBA')
    _men[key] = out
    return out


def diagram(img, x, y, q, pieces, coordinates=True):
    """A board with White at the bottom, its top-left square at (x, y), q
    pixels a square; pieces maps 'e4' to a FEN letter."""
    d = ImageDraw.Draw(img)
    d.rectangle([x - 3, y - 3, x + 8 * q + 2, y + 8 * q + 2], fill=FRAME)
    for r in range(8):
        for f in range(8):
            colour = LIGHT_SQ if (r + f) % 2 == 0 else DARK_SQ
            d.rectangle([x + f * q, y + r * q, x + f * q + q - 1, y + r * q + q - 1], fill=colour)
    for square, letter in sorted(pieces.items()):
        f, r = FILES.index(square[0]), int(square[1])
        m = man(letter, q)
        img.paste(m, (x + f * q, y + (8 - r) * q), m)
    if coordinates:
        label = font('sans', 11)
        for i in range(8):
            d.text((x + i * q + q / 2, y + 8 * q + 5), FILES[i], font=label,
                   fill=(90, 80, 70), anchor='mt')
            d.text((x - 8, y + i * q + q / 2), str(8 - i), font=label,
                   fill=(90, 80, 70), anchor='rm')


# --------------------------------------------------- the board in depth ----
class Camera:
    """A board turned by a yaw angle, seen from a camera pitched down. The
    angles come as exact cosine and sine pairs (3-4-5 triangles)."""

    def __init__(self, cx, cy, focal=580.0, height=7.0, distance=9.6):
        self.cx, self.cy, self.focal = cx, cy, focal
        self.height, self.distance = height, distance
        self.ya, self.yb = 0.96, 0.28
        self.pa, self.pb = 0.8, 0.6

    def project(self, u, v, lift=0.0):
        """Board coordinates (0..8, a1 corner at 0, 0) to (x, y, depth)."""
        x = (u - 4) * self.ya - (v - 4) * self.yb
        z = self.distance + (u - 4) * self.yb + (v - 4) * self.ya
        depth = (self.height - lift) * self.pb + z * self.pa
        up = (lift - self.height) * self.pa + z * self.pb
        return self.cx + self.focal * x / depth, self.cy - self.focal * up / depth, depth


def board_in_depth(img, cam, men):
    """Draws the board and men (letter, file 0-7, rank 0-7) over img."""
    w, h = img.size
    big = Image.new('RGBA', (w * SCALE, h * SCALE), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)

    def poly(points, colour):
        d.polygon([(px * SCALE, py * SCALE) for px, py, _ in points], fill=colour)

    def square(lo, hi, lift=0.0):
        return [cam.project(u, v, lift) for u, v in ((lo, lo), (hi, lo), (hi, hi), (lo, hi))]

    poly(square(-0.45, 8.45, -0.4), (52, 30, 18, 255))   # the sides
    poly(square(-0.45, 8.45), (124, 78, 44, 255))         # the wooden rim
    poly(square(-0.1, 8.1), (70, 42, 24, 255))            # the inlay
    poly(square(0, 8), LIGHT_SQ + (255,))
    for f in range(8):
        for r in range(8):
            if (f + r) % 2 == 0:
                poly([cam.project(f, r), cam.project(f + 1, r), cam.project(f + 1, r + 1),
                      cam.project(f, r + 1)], DARK_SQ + (255,))
    small = big.convert('RGBa').resize((w, h), Image.LANCZOS).convert('RGBA')
    img.paste(small, (0, 0), small)

    shade = Image.new('RGBA', (w * SCALE, h * SCALE), (0, 0, 0, 0))
    sd = ImageDraw.Draw(shade)
    placed = sorted((-cam.project(f + 0.5, r + 0.5)[2], letter, f, r) for letter, f, r in men)
    for _, letter, f, r in placed:
        px, py, depth = cam.project(f + 0.5, r + 0.5)
        size = round(cam.focal * 1.2 / depth)
        sd.ellipse([(px - size * 0.36) * SCALE, (py - size * 0.1) * SCALE,
                    (px + size * 0.42) * SCALE, (py + size * 0.14) * SCALE], fill=(20, 10, 0, 90))
    shade = shade.convert('RGBa').resize((w, h), Image.LANCZOS).convert('RGBA')
    img.paste(shade, (0, 0), shade)
    for _, letter, f, r in placed:
        px, py, depth = cam.project(f + 0.5, r + 0.5)
        size = round(cam.focal * 1.2 / depth)
        m = man(letter, size)
        img.paste(m, (round(px - size / 2), round(py - size * 0.92)), m)

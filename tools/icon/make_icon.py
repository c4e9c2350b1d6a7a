#!/usr/bin/python3
"""Draws the program's icon, a black knight on a chessboard square, and writes
it as one .ico file with every size Windows asks for; optionally also the
installer's side picture with the same knight on a board.

    make_icon.py OUTPUT.ico [WIZARD.bmp]

The small sizes are stored as classic 32-bit BMP entries with their AND mask
and only 256 px as PNG: older Windows versions and Wine read BMP entries in
every place, PNG only for the large size. Pillow 9.4 writes either all BMP or
all PNG, so the icon directory is assembled here. The output depends only on
this script, Pillow and the font: the same inputs give the same bytes.
"""

import io
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256  # entries this wide and wider are PNG
# FreeSerif has the chess figures (U+2654-U+265F).
FONT = "/usr/share/fonts/truetype/freefont/FreeSerif.ttf"
KNIGHT = "\u265e"
SUPERSAMPLE = 4  # drawn this much larger, then reduced: smooth edges

LIGHT = (238, 216, 176, 255)
DARK = (181, 136, 99, 255)
FRAME = (92, 58, 33, 255)
INK = (24, 24, 24, 255)
HALO = (255, 255, 255, 255)


def draw_tile(size):
    """The icon at `size` pixels. Up to 24 px one light square with a frame and
    a knight filling it, so the figure stays readable; from 32 px a 2x2 board
    corner with a white-edged knight."""
    big = size * SUPERSAMPLE
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    frame = max(SUPERSAMPLE, big // 24)
    d.rectangle([0, 0, big - 1, big - 1], fill=FRAME)
    inner = [frame, frame, big - 1 - frame, big - 1 - frame]
    detailed = size >= 32
    if detailed:
        half = big // 2
        d.rectangle(inner, fill=LIGHT)
        d.rectangle([half, frame, big - 1 - frame, half - 1], fill=DARK)
        d.rectangle([frame, half, half - 1, big - 1 - frame], fill=DARK)
    else:
        d.rectangle(inner, fill=LIGHT)

    halo = big // 28 if detailed else 0
    target = (big - 2 * frame) * (0.86 if detailed else 0.94)
    font = fit_font(target, halo)
    left, top, right, bottom = d.textbbox((0, 0), KNIGHT, font=font, stroke_width=halo)
    x = (big - (right - left)) / 2 - left
    y = (big - (bottom - top)) / 2 - top
    d.text((x, y), KNIGHT, font=font, fill=INK, stroke_width=halo, stroke_fill=HALO)
    return im.resize((size, size), Image.Resampling.LANCZOS)


def fit_font(height, stroke):
    """The largest font whose knight, with its edge, is at most `height` tall."""
    points = int(height * 2)  # a figure is smaller than its em
    while points > 4:
        font = ImageFont.truetype(FONT, points)
        left, top, right, bottom = font.getbbox(KNIGHT, stroke_width=stroke)
        if max(bottom - top, right - left) <= height:
            return font
        points -= 1
    raise SystemExit(f"{FONT}: no knight glyph fits {height} px")


def bmp_entry(im):
    """A classic icon image: BITMAPINFOHEADER with the doubled height, BGRA
    rows bottom-up, then the 1-bit AND mask (set where fully transparent)."""
    w, h = im.size
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = im.load()
    colour = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = pixels[x, y]
            colour += bytes((b, g, r, a))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(mask_row)
        for x in range(w):
            if pixels[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def png_entry(im):
    out = io.BytesIO()
    im.save(out, format="PNG", optimize=True)
    return out.getvalue()


def ico_bytes(images):
    """ICONDIR, one ICONDIRENTRY per image (0 stands for 256), then the data."""
    data = [png_entry(im) if im.width >= PNG_FROM else bmp_entry(im) for im in images]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for im, blob in zip(images, data):
        side = im.width if im.width < 256 else 0
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return directory + b"".join(data)


WIZARD_SIZE = (164, 314)  # the side picture of the installer's first and last page
WIZARD_SQUARE = 41


def draw_wizard():
    """A board in the installer's colours with the large icon on it."""
    width, height = WIZARD_SIZE
    im = Image.new("RGB", WIZARD_SIZE, LIGHT[:3])
    d = ImageDraw.Draw(im)
    for row in range(0, height // WIZARD_SQUARE + 1):
        for column in range(0, width // WIZARD_SQUARE + 1):
            if (row + column) % 2:
                x, y = column * WIZARD_SQUARE, row * WIZARD_SQUARE
                d.rectangle([x, y, x + WIZARD_SQUARE - 1, y + WIZARD_SQUARE - 1], fill=DARK[:3])
    tile = draw_tile(128)
    im.paste(tile, ((width - 128) // 2, 60), tile)
    return im


def main(argv):
    if len(argv) not in (2, 3):
        raise SystemExit(f"usage: {argv[0]} OUTPUT.ico [WIZARD.bmp]")
    with open(argv[1], "wb") as out:
        out.write(ico_bytes([draw_tile(size) for size in SIZES]))
    if len(argv) == 3:
        draw_wizard().save(argv[2], format="BMP")


if __name__ == "__main__":
    main(sys.argv)

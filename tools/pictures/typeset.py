"""Text on the pictures: the fonts, the inline marks of the content sources,
line breaking by the rules of Russian typesetting, and the check that a text
fits its box. A text that does not fit raises DoesNotFit; nothing is clipped.
"""
import io
import os
import re
from dataclasses import dataclass

from PIL import ImageFont

W, H = 549, 330            # the window's client area: every picture
BMP_BYTES = 543_894         # 54 header bytes + 330 rows of 1,648 bytes

FONT_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'fonts.txt')


class DoesNotFit(Exception):
    """A text is larger than its box; the message says by how much."""


def font_paths():
    """Role -> font file, from fonts.txt (the build depends on the same list)."""
    paths = {}
    with open(FONT_LIST, encoding='utf-8') as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith('#'):
                role, path = line.split(None, 1)
                paths[role] = path
    return paths


_paths = {}
_fonts = {}


def font(role, size):
    # The basic layout engine: the same glyph positions whether or not the
    # machine's Pillow was built with a shaping library.
    if not _paths:
        _paths.update(font_paths())
    key = (role, size)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(_paths[role], size,
                                         layout_engine=ImageFont.Layout.BASIC)
    return _fonts[key]


def save_bmp(img, path):
    """Writes img as the 24-bit BMP the window loads, 549 x 330."""
    if img.size != (W, H) or img.mode != 'RGB':
        raise ValueError(f'{path}: a picture is {W}x{H} RGB, not {img.size} {img.mode}')
    buf = io.BytesIO()
    img.save(buf, 'BMP')
    data = buf.getvalue()
    if len(data) != BMP_BYTES:
        raise ValueError(f'{path}: {len(data)} bytes instead of {BMP_BYTES}')
    with open(path, 'wb') as f:
        f.write(data)


# ------------------------------------------------------------ rich text ----
# A character carries its font role ('body', 'bold', 'mono') and whether it is
# an access key, drawn underlined.
@dataclass(frozen=True)
class Char:
    ch: str
    role: str = 'body'
    key: bool = False


ROLES = {'body': 'sans', 'bold': 'sans-bold', 'mono': 'mono'}


def marks(text, role='body'):
    """The characters of a source paragraph. Inside «…» an "&" marks the next
    letter as the access key, as in the shell's captions; `name` is a file
    name, set in the monospaced font without the backquotes."""
    text = text.replace(' - ', ' — ')
    out, quoted, code, key = [], False, False, False
    for ch in text:
        if ch == '`':
            code = not code
            continue
        if quoted and ch == '&' and not key:
            key = True
            continue
        if ch == '«':
            quoted = True
        elif ch == '»':
            quoted = False
        out.append(Char(ch, 'mono' if code else role, key))
        key = False
    return out


def plain(chars):
    return ''.join(c.ch for c in chars)


def runs(chars):
    """Consecutive characters of one role, as (role, text, key offsets)."""
    out = []
    for c in chars:
        if not out or out[-1][0] != c.role:
            out.append((c.role, '', []))
        role, text, keys = out[-1]
        if c.key:
            keys.append(len(text))
        out[-1] = (role, text + c.ch, keys)
    return out


class Style:
    """One text size: the fonts of the roles and the line pitch."""

    def __init__(self, size, colour=(34, 32, 30), body='sans'):
        self.size = size
        self.leading = round(size * 1.36)
        self.colour = colour
        self.fonts = {r: font(f, size) for r, f in dict(ROLES, body=body).items()}
        self.space = self.fonts['body'].getlength(' ')

    def width(self, chars):
        return sum(self.fonts[r].getlength(t) for r, t, _ in runs(chars))

    def draw(self, draw, x, baseline, chars, colour=None):
        """Draws chars with their baseline at y; returns the width."""
        colour = colour or self.colour
        x0 = x
        for role, text, keys in runs(chars):
            f = self.fonts[role]
            draw.text((x, baseline), text, font=f, fill=colour, anchor='ls')
            for k in keys:
                left = x + f.getlength(text[:k])
                right = left + f.getlength(text[k])
                y = baseline + max(2, self.size // 6)
                draw.line([(round(left), y), (round(right) - 1, y)], fill=colour)
            x += f.getlength(text)
        return x - x0


# ------------------------------------------------------------ line breaks ----
_SHORT_WORD = re.compile(r'^[«(„"]*[А-Яа-яЁёA-Za-z0-9]{1,2}$')
_MOVE_NUMBER = re.compile(r'^\d+\.+$')
_HANGING = {'—', '–', '→'}


def words(chars):
    out, cur = [], []
    for c in chars:
        if c.ch == ' ' and c.role != 'mono':
            if cur:
                out.append(cur)
            cur = []
        else:
            cur.append(c)
    if cur:
        out.append(cur)
    return out


def units(chars):
    """Words grouped as they must stay on one line: a word of one or two
    letters or digits (a preposition, a conjunction, a number) with the word
    after it, a move number with its move, and a dash or an arrow with the
    word before it."""
    ws = words(chars)
    groups = []
    for i, w in enumerate(ws):
        text = plain(w)
        joined = bool(groups) and (
            text in _HANGING or
            _SHORT_WORD.match(plain(ws[i - 1])) or
            _MOVE_NUMBER.match(plain(ws[i - 1])))
        if joined:
            groups[-1].append(w)
        else:
            groups.append([w])
    return groups


def join(ws):
    out = []
    for w in ws:
        if out:
            out.append(Char(' ', w[0].role))
        out.extend(w)
    return out


def break_lines(chars, width, style):
    """Greedy filling; raises DoesNotFit for a group wider than the column."""
    lines, cur = [], []
    for group in units(chars):
        g = join(group)
        if style.width(g) > width:
            raise DoesNotFit(f'"{plain(g)}" is {style.width(g):.0f} px wide, '
                             f'the column {width} px')
        trial = join(cur + group)
        if cur and style.width(trial) > width:
            lines.append(join(cur))
            cur = list(group)
        else:
            cur = cur + group
    if cur:
        lines.append(join(cur))
    return lines


@dataclass
class Block:
    """Paragraphs broken into lines for a column of one width."""
    style: Style
    paragraphs: list   # of lists of lines
    gap: int

    @property
    def height(self):
        n = sum(len(p) for p in self.paragraphs)
        return n * self.style.leading + max(0, len(self.paragraphs) - 1) * self.gap

    def draw(self, draw, x, top, colour=None):
        """Draws from top (the top of the first line box); returns the bottom."""
        y = top
        for p in self.paragraphs:
            for line in p:
                self.style.draw(draw, x, y + self.style.size, line, colour)
                y += self.style.leading
            y += self.gap
        return y - self.gap


def block(paragraphs, width, style, gap=None):
    """paragraphs: lists of Char. gap defaults to half a line."""
    gap = style.leading // 2 if gap is None else gap
    return Block(style, [break_lines(p, width, style) for p in paragraphs], gap)


def fit(paragraphs, width, height, sizes=(13, 12)):
    """The paragraphs at the largest body size whose lines fill no more than
    height; DoesNotFit names the smallest size tried."""
    err = None
    for size in sizes:
        try:
            b = block(paragraphs, width, Style(size))
        except DoesNotFit as e:
            err = e
            continue
        if b.height <= height:
            return b
        err = DoesNotFit(f'{b.height} px of text at {size} px, the box has {height} px')
    raise err


def one_line(chars, width, style, what):
    w = style.width(chars)
    if w > width:
        raise DoesNotFit(f'{what} "{plain(chars)}" is {w:.0f} px wide, the room {width:.0f} px')
    return chars

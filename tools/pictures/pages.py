"""The pages of the textbook and the help, and their two title pictures with
the contents, laid out from the entries of the content sources.

The shell's buttons lie over the picture's lower corners: the textbook's
back, forward and Practice buttons over the left one, the help's arrows over
the right one. Nothing is drawn there, so the buttons stand on plain paper.
"""
import contextlib
import re
from dataclasses import dataclass

from PIL import Image, ImageDraw

from board import diagram, man
from typeset import H, W, DoesNotFit, Style, block, break_lines, fit, marks, one_line

PAPER = (250, 247, 240)
CREAM = (255, 246, 222)


@dataclass(frozen=True)
class Theme:
    band: tuple      # the heading band
    accent: tuple    # the line under the band, numbers, labels
    keep_clear: tuple  # (left, top, right, bottom) under the shell's buttons


TEXTBOOK = Theme((38, 76, 58), (196, 150, 62), (0, 292, 140, H))
HELP = Theme((36, 58, 108), (70, 120, 190), (484, 300, W, H))

BAND = 40          # height of the heading band
MARGIN = 28        # left and right margin of the text
TOP = 54           # the first line box under the band
BODY_SIZES = (13, 12)


class EntryDoesNotFit(Exception):
    def __init__(self, entry, detail):
        which = 'the title page' if entry.number is None else f'page {entry.number}'
        super().__init__(f'{entry.path}:{entry.line}: text of {which} does not fit ({detail})')


@contextlib.contextmanager
def text_of(entry):
    """Reports a text that does not fit at the entry it comes from."""
    try:
        yield
    except DoesNotFit as e:
        raise EntryDoesNotFit(entry, e) from None


def bottom_limit(theme, left, right):
    """The lowest y a column from left to right may reach."""
    kl, kt, kr, _ = theme.keep_clear
    return kt - 4 if left < kr and right > kl else H - 10


def sheet(theme, title, label):
    """Paper with the heading band: the title left, a small label right."""
    img = Image.new('RGB', (W, H), PAPER)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, W - 1, BAND - 1], fill=theme.band)
    d.rectangle([0, BAND, W - 1, BAND + 2], fill=theme.accent)
    small = Style(12)
    label_chars = marks(label)
    label_w = small.width(label_chars)
    small.draw(d, W - MARGIN - label_w, 26, label_chars, (214, 222, 214))
    heading = Style(19, CREAM, body='sans-bold')
    room = W - 2 * MARGIN - label_w - 16
    heading.draw(d, MARGIN, 28, one_line(marks(title), room, heading, 'the title'))
    return img, d


def page_label(entry, last):
    return f'стр. {entry.number} из {last}'


def textbook_page(entry, last, size):
    with text_of(entry):
        img, d = sheet(TEXTBOOK, entry.title, page_label(entry, last))
        if not entry.pieces:
            left, right = MARGIN, W - MARGIN
            body = fit(paragraphs(entry), right - left, bottom_limit(TEXTBOOK, left, right) - TOP,
                       (size,))
            body.draw(d, left, TOP)
            return img
        diagram(img, 30, 52, 28, entry.pieces)
        left, right = 268, W - MARGIN + 9
        y = side_to_move(img, d, left, 52, entry.side_to_move)
        bottom = bottom_limit(TEXTBOOK, left, right)
        if entry.moves_text:
            bottom = moves_box(d, entry, left, right, bottom) - 8
        body = fit(paragraphs(entry), right - left, bottom - y, (size,))
        body.draw(d, left, y)
        return img


def in_one_size(entries, draw):
    """The largest body size at which every entry fits, so that a whole book
    is set in one size. Fails with the first entry that does not fit even
    at the smallest size."""
    for size in BODY_SIZES:
        try:
            for e in entries:
                draw(e, size)
            return size
        except EntryDoesNotFit as e:
            error = e
    raise error


def paragraphs(entry):
    return [marks(p) for p in entry.paragraphs]


def side_to_move(img, d, x, top, side):
    """"Ход белых" or "Ход чёрных" beside a king of that colour; returns
    the y under it."""
    king = man('K' if side == 'w' else 'k', 22)
    img.paste(king, (x - 3, top - 2), king)
    s = Style(14)
    s.draw(d, x + 22, top + 15, marks('Ход белых' if side == 'w' else 'Ход чёрных', 'bold'))
    return top + 27


def moves_box(d, entry, left, right, bottom):
    """The moves line on a tinted band at the column's foot; returns its top."""
    label = 'Решение:' if entry.claim and entry.claim[0] != 'none' else 'Продолжение:'
    s = Style(13)
    # A line breaks only before a move number: a move stays whole.
    moves = re.sub(r' (?!\d+\.)', '\u00a0', f'{label} {entry.moves_text}')
    chars = marks(moves, 'bold')
    lines = break_lines(chars, right - left - 14, s)
    top = bottom - len(lines) * s.leading - 10
    d.rectangle([left, top, right, bottom], fill=(243, 234, 214))
    d.rectangle([left, top, left + 2, bottom], fill=TEXTBOOK.accent)
    y = top + 5 + s.size
    for line in lines:
        s.draw(d, left + 10, y, line, (120, 44, 24))
        y += s.leading
    return top


def title_page(book, theme, label):
    """The title entry's heading and text over the contents, made from the
    pages' titles: one column, or two when they do not fit in one."""
    entry = book.title
    with text_of(entry):
        img, d = sheet(theme, entry.title, label)
        left, right = MARGIN, W - MARGIN
        bottom = bottom_limit(theme, left, right)
        for size in BODY_SIZES:
            s = Style(size)
            step = s.leading + 1
            intro = block(paragraphs(entry), right - left, s)
            head_top = TOP + (intro.height + 6 if entry.paragraphs else 0)
            rows_top = head_top + 26
            columns = 1 if rows_top + len(book.pages) * step <= bottom else 2
            per_column = -(-len(book.pages) // columns)
            if rows_top + per_column * step <= bottom:
                break
        else:
            raise DoesNotFit(f'the contents need {rows_top + per_column * step - bottom} px '
                             'more than the picture has')
        intro.draw(d, left, TOP)
        heading = Style(15)
        heading.draw(d, left, head_top + 16, marks('Содержание', 'bold'), theme.band)
        d.line([(left, head_top + 21), (right, head_top + 21)], fill=theme.accent)
    if columns == 1:
        # A faint knight fills the empty half beside a single column.
        knight = man('N', 150)
        knight.putalpha(knight.getchannel('A').point(lambda a: a * 10 // 100))
        img.paste(knight, (W - MARGIN - 170, rows_top - 10), knight)
    col_w = (right - left - 24 * (columns - 1)) // columns
    for i, page in enumerate(book.pages):
        col, row = divmod(i, per_column)
        x, y = left + col * (col_w + 24), rows_top + row * step + s.size + 2
        number = marks(str(page.number), 'bold')
        s.draw(d, x + 18 - s.width(number), y, number, theme.accent)
        with text_of(page):
            s.draw(d, x + 26, y, one_line(marks(page.title), col_w - 26, s, 'the title'))
    return img


def pages_count(n):
    if n % 10 == 1 and n % 100 != 11:
        return f'{n} страница'
    if 2 <= n % 10 <= 4 and not 12 <= n % 100 <= 14:
        return f'{n} страницы'
    return f'{n} страниц'


def book_title(book):
    return title_page(book, TEXTBOOK, pages_count(len(book.pages)))


def help_title(book):
    return title_page(book, HELP, pages_count(len(book.pages)))


def help_page(entry, last, size):
    with text_of(entry):
        img, d = sheet(HELP, entry.title, page_label(entry, last))
        left, right = MARGIN, W - MARGIN
        body = fit(paragraphs(entry), right - left, bottom_limit(HELP, left, right) - TOP, (size,))
        body.draw(d, left, TOP)
        return img

#!/usr/bin/env python3
"""Draws every picture the menu shell shows, as 549 x 330 24-bit BMP files:
the title screen, the textbook and help pages from the content sources, the
about, launch and language pictures.

A content source with an error, or a text that does not fit its picture,
stops the build with the file and the line: nothing is clipped. Two runs give
the same bytes: the fonts are fixed by path and nothing depends on time.

usage: make_pictures.py OUTDIR --version X.Y --product NAME --authors NAMES
                        [--textbook FILE] [--help-source FILE]
                        [--only NAME ...]
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path[:0] = [HERE, os.path.join(ROOT, 'tools', 'content')]

import pages  # noqa: E402
import screens  # noqa: E402
import source  # noqa: E402
from typeset import DoesNotFit, save_bmp  # noqa: E402


def pictures(textbook, help_text, product, authors, version):
    """(file name, drawing function) of every picture, in a fixed order."""
    out = [('title.bmp', lambda: screens.title(product, version)),
           ('Book.bmp', lambda: pages.book_title(textbook))]
    out += book_pages(textbook, 'Pict', pages.textbook_page)
    out += [('Help.bmp', lambda: pages.help_title(help_text))]
    out += book_pages(help_text, 'Help', pages.help_page)
    out += [('About.bmp', lambda: screens.about(product, authors, version)),
            ('PictZEL.bmp', screens.launch),
            ('PictNR.bmp', screens.language_russian),
            ('PictNE.bmp', screens.language_english)]
    return out


def book_pages(book, prefix, layout):
    """The pages of a book, all set in the one size at which all fit."""
    last = max(p.number for p in book.pages)

    def draw(page, size):
        return layout(page, last, size)
    size = pages.in_one_size(book.pages, draw)
    return [(f'{prefix}{p.number:02d}.bmp', lambda p=p: draw(p, size)) for p in book.pages]


def main(argv=None):
    ap = argparse.ArgumentParser(description='Draws the pictures of the menu shell.')
    ap.add_argument('outdir')
    ap.add_argument('--version', required=True, help='the product version, e.g. 1.0')
    ap.add_argument('--product', required=True, help="the product's name")
    ap.add_argument('--authors', required=True, help='the authors, as in the window caption')
    ap.add_argument('--textbook', default=os.path.join(ROOT, 'content', 'textbook.txt'))
    ap.add_argument('--help-source', default=os.path.join(ROOT, 'content', 'help.txt'))
    ap.add_argument('--only', nargs='+', metavar='NAME', help='draw only these pictures')
    args = ap.parse_args(argv)
    try:
        todo = pictures(source.load(args.textbook, 'textbook'),
                        source.load(args.help_source, 'help'), args.product, args.authors,
                        args.version)
        if args.only:
            unknown = set(args.only) - {name for name, _ in todo}
            if unknown:
                ap.error(f'no such picture: {", ".join(sorted(unknown))}')
            todo = [(name, draw) for name, draw in todo if name in args.only]
        os.makedirs(args.outdir, exist_ok=True)
        for name, draw in todo:
            try:
                img = draw()
            except DoesNotFit as e:
                raise DoesNotFit(f'{name}: text does not fit ({e})') from None
            save_bmp(img, os.path.join(args.outdir, name))
    except (source.SourceError, pages.EntryDoesNotFit, DoesNotFit) as e:
        print(e, file=sys.stderr)
        return 1
    except OSError as e:
        print(f'{e.filename}: {e.strerror}', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())

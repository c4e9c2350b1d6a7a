#!/usr/bin/env python3
"""The pictures as the window and the build rely on them: the size and depth
the window loads, the same bytes from every build, a build that stops on a
text too long for its page, and plain paper under the shell's buttons."""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.join(HERE, 'make_pictures.py')
sys.path.insert(0, HERE)
import make_pictures  # noqa: E402,F401  (puts the content tools on the path)
import pages  # noqa: E402
import source  # noqa: E402

NAMES = (['title.bmp', 'Book.bmp', 'Help.bmp', 'About.bmp', 'PictZEL.bmp', 'PictNR.bmp',
          'PictNE.bmp'] + [f'Pict{n:02d}.bmp' for n in range(2, 21)]
         + [f'Help{n:02d}.bmp' for n in range(1, 9)])
# Under the back, forward and Practice buttons; under the help arrows.
TEXTBOOK_BUTTONS = (0, 292, 140, 330)
HELP_BUTTONS = (484, 300, 549, 330)


def run(outdir, *args):
    return subprocess.run([sys.executable, TOOL, outdir, '--version', '7.3.1',
                           '--product', 'Проверка', '--authors', 'А. Б. Проверкин', *args],
                          capture_output=True, text=True, timeout=120)


def textbook_source(folder, texts=None, titles=None):
    """A textbook with every page the shell has: pages 2, 3 and 4 with a
    diagram, the others text only. texts and titles replace a page's own."""
    texts, titles = texts or {}, titles or {}
    out = ['[title]', 'title: Проверочный учебник', 'text: Вступление.', '']
    for n in range(2, 21):
        out += [f'[page {n}]', f'title: {titles.get(n, f"Страница {n}")}']
        if n in (2, 3, 4):
            out += ['fen: 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1', 'moves: Ra8', 'claim: mate 1']
        out += [f'text: {texts.get(n, "Короткий текст страницы.")}', '']
    path = os.path.join(folder, 'textbook.txt')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(out))
    return path


SENTENCE = 'Слабость последней горизонтали — частая тема в партиях и задачах.'.split()


def filler(words):
    return ' '.join((SENTENCE * (words // len(SENTENCE) + 1))[:words])


def zone_is_paper(img, zone):
    """Every pixel under zone has the picture's most common colour, the paper."""
    paper = max(img.getcolors(549 * 330))[1]
    return {c for _, c in img.crop(zone).getcolors(549 * 330)} == {paper}


class ThePictureSet(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.first = os.path.join(cls.tmp.name, 'first')
        cls.second = os.path.join(cls.tmp.name, 'second')
        for folder in (cls.first, cls.second):
            r = run(folder)
            if r.returncode:
                raise AssertionError(r.stderr)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_every_picture_is_a_549_by_330_bmp_of_24_bits(self):
        self.assertEqual(sorted(os.listdir(self.first)), sorted(NAMES))
        for name in NAMES:
            with self.subTest(name):
                with open(os.path.join(self.first, name), 'rb') as f:
                    data = f.read()
                self.assertEqual(len(data), 543_894)
                magic, size, offset = struct.unpack_from('<2sI4xI', data)
                width, height, planes, bits, compression = struct.unpack_from('<iiHHI', data, 18)
                self.assertEqual((magic, size, offset), (b'BM', 543_894, 54))
                self.assertEqual((width, height, planes, bits, compression), (549, 330, 1, 24, 0))

    def test_two_builds_give_the_same_bytes(self):
        for name in NAMES:
            with self.subTest(name):
                with open(os.path.join(self.first, name), 'rb') as a, \
                        open(os.path.join(self.second, name), 'rb') as b:
                    self.assertTrue(a.read() == b.read())

    def test_the_buttons_stand_on_plain_paper(self):
        zones = {'Book.bmp': TEXTBOOK_BUTTONS, 'Help.bmp': HELP_BUTTONS}
        zones.update({f'Pict{n:02d}.bmp': TEXTBOOK_BUTTONS for n in range(2, 21)})
        zones.update({f'Help{n:02d}.bmp': HELP_BUTTONS for n in range(1, 9)})
        for name, zone in zones.items():
            with self.subTest(name):
                with Image.open(os.path.join(self.first, name)) as img:
                    self.assertTrue(zone_is_paper(img.convert('RGB'), zone))


class AFullPage(unittest.TestCase):
    """The longest text that still fits never reaches under the buttons."""

    def longest_fitting(self, draw):
        lo, hi = 1, 300      # words; 300 never fit
        while hi - lo > 1:
            mid = (lo + hi) // 2
            try:
                draw(filler(mid))
                lo = mid
            except pages.EntryDoesNotFit:
                hi = mid
        return draw(filler(lo))

    def test_textbook_pages_with_and_without_a_diagram(self):
        with tempfile.TemporaryDirectory() as tmp:
            for n in (2, 5):
                for size in pages.BODY_SIZES:
                    def draw(text, n=n, size=size):
                        book = source.load(textbook_source(tmp, {n: text}), 'textbook')
                        return pages.textbook_page(book.pages[n - 2], 20, size)
                    with self.subTest(page=n, size=size):
                        self.assertTrue(zone_is_paper(self.longest_fitting(draw), TEXTBOOK_BUTTONS))

    def test_help_pages(self):
        for size in pages.BODY_SIZES:
            def draw(text, size=size):
                with tempfile.NamedTemporaryFile('w', suffix='.txt', encoding='utf-8') as f:
                    f.write('[title]\ntitle: Справка\n')
                    for n in range(1, 9):
                        f.write(f'[page {n}]\ntitle: Раздел {n}\ntext: {text}\n')
                    f.flush()
                    return pages.help_page(source.load(f.name, 'help').pages[0], 8, size)
            with self.subTest(size=size):
                self.assertTrue(zone_is_paper(self.longest_fitting(draw), HELP_BUTTONS))


class TheWholeBook(unittest.TestCase):
    def test_is_set_in_the_size_its_longest_page_needs(self):
        with tempfile.TemporaryDirectory() as tmp:
            pictures = []
            for long_page in (False, True):
                # Page 7's text fits only in the smaller size; page 8 is the same in both runs.
                texts = {7: filler(138)} if long_page else {}
                out = os.path.join(tmp, str(long_page))
                r = run(out, '--textbook', textbook_source(tmp, texts), '--only', 'Pict08.bmp')
                self.assertEqual(r.returncode, 0, r.stderr)
                with open(os.path.join(out, 'Pict08.bmp'), 'rb') as f:
                    pictures.append(f.read())
            self.assertNotEqual(pictures[0], pictures[1])


class ATextThatDoesNotFit(unittest.TestCase):
    """stops the build with the file and the line of its entry."""

    def assertStopsAt(self, result, path, page, entry_line):
        self.assertEqual(result.returncode, 1)
        m = re.match(rf'{re.escape(path)}:(\d+): text of page {page} does not fit \(.+\)$',
                     result.stderr.strip())
        self.assertTrue(m, result.stderr)
        self.assertEqual(int(m.group(1)), entry_line)

    def entry_line(self, path, page):
        with open(path, encoding='utf-8') as f:
            return next(i for i, line in enumerate(f, 1) if line.strip() == f'[page {page}]')

    def test_too_long_a_text_beside_the_diagram(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = textbook_source(tmp, {3: filler(300)})
            r = run(os.path.join(tmp, 'out'), '--textbook', path, '--only', 'Pict03.bmp')
            self.assertStopsAt(r, path, 3, self.entry_line(path, 3))

    def test_a_word_wider_than_the_column(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = textbook_source(tmp, {6: 'Слово ' + 'о' * 90})
            r = run(os.path.join(tmp, 'out'), '--textbook', path, '--only', 'Pict06.bmp')
            self.assertStopsAt(r, path, 6, self.entry_line(path, 6))

    def test_a_page_title_too_long_for_the_contents(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = textbook_source(tmp, titles={9: 'Очень длинное название страницы учебника'})
            r = run(os.path.join(tmp, 'out'), '--textbook', path, '--only', 'Book.bmp')
            self.assertStopsAt(r, path, 9, self.entry_line(path, 9))

    def test_a_source_error_stops_with_its_file_and_line(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = textbook_source(tmp)
            with open(path, encoding='utf-8') as f:
                text = f.read().replace('moves: Ra8', 'moves: Ra2', 1)
            with open(path, 'w', encoding='utf-8') as f:
                f.write(text)
            r = run(os.path.join(tmp, 'out'), '--textbook', path, '--only', 'title.bmp')
            self.assertEqual(r.returncode, 1)
            self.assertRegex(r.stderr, rf'^{re.escape(path)}:\d+: ')
            self.assertFalse(os.path.exists(os.path.join(tmp, 'out', 'title.bmp')))


if __name__ == '__main__':
    unittest.main()

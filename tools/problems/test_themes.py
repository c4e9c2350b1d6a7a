#!/usr/bin/env python3
"""Themes, checked against the textbook: each page's example must carry the
page's theme (test_difficulty.py rates the examples)."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import source  # noqa: E402
import themes  # noqa: E402

TEXTBOOK = os.path.join(pool.ROOT, "content", "textbook.txt")

# page: (tokens it must have, tokens it must not have)
EXPECTED = {
    2: ({"mate", "mate-in-1", "back-rank-mate"}, {"sacrifice", "material"}),
    3: ({"material", "hanging-piece"}, {"quiet-move", "fork"}),
    4: ({"double-attack"}, {"fork"}),          # a queen's double attack is no knight fork
    5: ({"fork"}, {"double-attack", "sacrifice"}),
    6: ({"pin", "quiet-move"}, {"skewer"}),
    7: ({"skewer"}, {"pin"}),
    8: ({"discovered-attack"}, {"discovered-check"}),
    9: ({"discovered-check"}, {"double-check"}),
    10: ({"mate-in-3", "double-check", "discovered-check", "sacrifice"}, set()),
    11: ({"mate-in-2", "back-rank-mate"}, {"sacrifice"}),   # a rook traded, not given
    12: ({"mate-in-2", "removal-of-the-defender"}, set()),
    13: ({"deflection", "back-rank-mate", "sacrifice"}, {"attraction"}),
    14: ({"attraction", "smothered-mate", "sacrifice"}, {"back-rank-mate"}),
    15: ({"promotion"}, set()),
    16: ({"sacrifice", "quiet-move"}, {"promotion"}),
}


def examples():
    """Each textbook page with a claim, its line cut to end on the solver's move."""
    for page in source.load(TEXTBOOK, "textbook").pages:
        if page.fen and page.claim and page.claim[0] != "none":
            moves = page.uci if len(page.uci) % 2 else page.uci[:-1]
            yield page, moves


class TextbookThemes(unittest.TestCase):
    def test_each_page_carries_its_theme(self):
        pages = {page.number: (page, moves) for page, moves in examples()}
        for number, (must, must_not) in EXPECTED.items():
            page, moves = pages[number]
            with self.subTest(page=number, title=page.title):
                found = set(themes.tag(page.fen, moves))
                self.assertLessEqual(must, found)
                self.assertFalse(must_not & found, f"unexpected {must_not & found}")

    def test_tokens_are_known_and_ordered(self):
        for page, moves in examples():
            found = themes.tag(page.fen, moves)
            self.assertEqual(list(found), [t for t in themes.TOKENS if t in found])


class Patterns(unittest.TestCase):
    def test_a_defended_piece_is_not_hanging(self):
        # The bishop on g4 is guarded by the pawn on h5: taking it is no gift.
        fen = "r2q1rk1/ppp2pp1/2np4/2b1p2p/4P1b1/1BNP4/PPP2PPP/R1BQ1RK1 w - - 0 1"
        self.assertNotIn("hanging-piece", themes.tag(fen, ["d1g4"]))

    def test_a_double_attack_on_defended_bishops_is_no_fork(self):
        # Ne4 hits the bishops d6 and f6, but the pawns c7 and g7 guard them.
        fen = "4k3/2p3p1/3b1b2/8/8/8/3N4/4K3 w - - 0 1"
        self.assertFalse({"fork", "double-attack"} & set(themes.tag(fen, ["d2e4"])))
        # Without the pawns, and with a bishop taken afterwards, it is a fork.
        fen = "4k3/8/3b1b2/8/8/8/3N4/4K3 w - - 0 1"
        self.assertIn("fork", themes.tag(fen, ["d2e4", "e8e7", "e4d6"]))

    def test_material_counts_the_recapture_of_the_last_move(self):
        # Qxd5 takes a pawn, but the queen is lost to the pawn on c6 at once.
        line = themes.Line("4k3/8/2p5/3p4/8/8/8/3QK3 w - - 0 1", ["d1d5"])
        self.assertEqual(themes.material_gain(line), 1 - 9)


if __name__ == "__main__":
    unittest.main()

#!/usr/bin/env python3
"""Themes and difficulty, checked against the textbook: each page's example
must carry the page's theme, and every example must come out easy."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import difficulty  # noqa: E402
import engine  # noqa: E402
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


class WithEngine(unittest.TestCase):
    """One engine for the cases of a class."""

    @classmethod
    def setUpClass(cls):
        cls.engine = engine.Engine(hash_mb=16)

    @classmethod
    def tearDownClass(cls):
        cls.engine.quit()


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


class FirstSight(WithEngine):
    """The features that tell one-move problems apart."""

    def test_a_loose_queen_stands_out_and_a_quiet_key_does_not(self):
        # Rxd5 takes a loose queen: a whole unit of win chances above the rest.
        queen = "3k4/8/8/3q4/8/8/8/3RK3 w - - 0 1"
        self.assertGreater(difficulty.first_sight(self.engine, queen, "d1d5"), 1.0)
        # The textbook's pawn breakthrough (page 16) shows nothing at one ply.
        pages = {page.number: (page, moves) for page, moves in examples()}
        page, moves = pages[16]
        self.assertLess(difficulty.first_sight(self.engine, page.fen, moves[0]), 0.2)

    def test_the_other_checks_and_captures_are_counted(self):
        # Rxd5 is the key and the only check or capture there is.
        self.assertEqual(difficulty.choices("4k3/8/8/3q4/8/8/8/3RK3 w - - 0 1", "d1d5"), 0)
        # A second rook adds Rh8+; the key itself never counts.
        self.assertEqual(difficulty.choices("4k3/8/8/3q4/8/8/8/3RK2R w - - 0 1", "d1d5"), 1)
        self.assertEqual(difficulty.choices("4k3/8/8/3q4/8/8/8/3RK2R w - - 0 1", "h1h8"), 1)

    def test_a_hidden_key_and_more_choices_rate_higher_within_bounds(self):
        plain = difficulty.Features(1, 50, False, False, 0, margin=1.5, choices=0)
        self.assertEqual(difficulty.rating(plain), difficulty.LOWEST)
        hidden = difficulty.rating(difficulty.Features(1, 50, False, False, 0, margin=0.0))
        half = difficulty.rating(difficulty.Features(1, 50, False, False, 0, margin=0.5))
        self.assertGreater(hidden, half)
        self.assertGreater(half, difficulty.LOWEST)
        many = [difficulty.rating(difficulty.Features(1, 50, False, False, 0, margin=1.5,
                                                      choices=n)) for n in (2, 8, 30)]
        self.assertLess(many[0], many[1])
        self.assertEqual(many[1], many[2], "choices beyond the cap add nothing")


class TextbookDifficulty(WithEngine):
    def test_every_textbook_example_is_easy(self):
        for page, moves in examples():
            with self.subTest(page=page.number, title=page.title):
                tags = themes.tag(page.fen, moves)
                features = difficulty.features(self.engine, page.fen, moves, tags)
                rating = difficulty.rating(features)
                self.assertLessEqual(rating, difficulty.EASY, f"{features}")

    def test_a_deeper_combination_rates_above_a_plain_capture(self):
        # The measure must rank, not only bound: the three-move mate with a
        # queen sacrifice (page 10) above taking a loose bishop (page 3).
        pages = {page.number: (page, moves) for page, moves in examples()}
        rated = {}
        for number in (3, 10):
            page, moves = pages[number]
            rated[number] = difficulty.rate(self.engine, page.fen, moves,
                                            themes.tag(page.fen, moves))
        self.assertGreater(rated[10], rated[3] + 300)


if __name__ == "__main__":
    unittest.main()

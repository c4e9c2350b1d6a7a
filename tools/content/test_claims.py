#!/usr/bin/env python3
"""A claim the rules allow but the engine refutes must fail the page check."""
import dataclasses
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_textbook  # noqa: E402
import engine  # noqa: E402
import source  # noqa: E402

# The win checks search shallower here: the positions are simple and the
# point is what a wrong claim produces, not the depth.
os.environ.setdefault("ZEL_ENGINE_DEPTH", "12")

BACK_RANK = "6k1/5ppp/p7/8/8/8/5PPP/3R2K1 w - - 0 1"     # Лd8# at once
TWO_ROOKS = "6k1/5ppp/8/8/8/8/5PPP/RR4K1 w - - 0 1"     # Лa8# and Лb8# both mate
LOOSE_BISHOP = "r2q1rk1/ppp2ppp/2np4/2b1p3/4P1b1/1BNP4/PPP2PPP/R1BQ1RK1 w - - 0 1"
# Two loose knights, each the mirror image of the other: no move is two pawns
# better than the second best.
TWIN_KNIGHTS = "4k3/pp4pp/8/8/1n4n1/8/P6P/1R2K1R1 w - - 0 1"


def page(fen, moves, claim):
    rest = "".join(f"[page {n}]\ntitle: P{n}\n" for n in range(3, 21))
    return (f"[title]\ntitle: T\n[page 2]\ntitle: Claim\nfen: {fen}\nmoves: {moves}\n"
            f"claim: {claim}\n" + rest)


class Claims(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.engine = engine.Engine()

    @classmethod
    def tearDownClass(cls):
        cls.engine.quit()

    def entry(self, fen, moves, claim):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8") as f:
            f.write(page(fen, moves, claim))
        self.addCleanup(os.unlink, f.name)
        return source.load(f.name, "textbook").pages[0]

    def refuted(self, fen, moves, claim, message):
        entry = self.entry(fen, moves, claim)
        with self.assertRaisesRegex(check_textbook.CheckFailure, message):
            check_textbook.check_page(entry, self.engine)

    def test_true_claims_pass(self):
        said = check_textbook.check_page(self.entry(BACK_RANK, "1. Лd8#", "mate 1"), self.engine)
        self.assertIn("Лd8# mate 1", said)
        said = check_textbook.check_page(self.entry(LOOSE_BISHOP, "1. Ф:g4", "win"), self.engine)
        self.assertIn("Ф:g4", said)

    def test_wrong_mate_claims(self):
        self.refuted(BACK_RANK, "1. Kf1 a5 2. Rd8#", "mate 2",
                     r"^page 2 \(Claim\): the claim is mate in 2 but the engine says mate 1")
        self.refuted(TWO_ROOKS, "1. Ra8#", "mate 1", r"Лb8# mates in 1 as well")

    def test_wrong_win_claims(self):
        self.refuted(LOOSE_BISHOP, "1. h3", "win", r"the engine's best move is Ф:g4, not h3")
        self.refuted(TWIN_KNIGHTS, "1. Л:b4", "win",
                     r"only -?\d+ centipawns better than|the engine's best move is Л:g4")

    def test_layout_limits(self):
        long_title = dataclasses.replace(self.entry(BACK_RANK, "1. Лd8#", "mate 1"), title="Т" * 29)
        with self.assertRaisesRegex(check_textbook.CheckFailure, "29 characters"):
            check_textbook.check_page(long_title, self.engine)
        self.refuted("4k3/8/8/8/8/8/8/R3K3 w - - 0 1", "Ra2 Kd8 Rb2 Ke8 Rc2 Kd8 Rd2+ Ke8",
                     "none", "8 plies, more than 7")


class Driver(unittest.TestCase):
    def test_an_engine_that_never_answers_fails_instead_of_hanging(self):
        # cat echoes "uci" back but never says "uciok".
        with self.assertRaisesRegex(engine.EngineError, "no answer within 1 s"):
            engine.Engine("/bin/cat", timeout=1)

    def test_a_missing_engine_is_named(self):
        with self.assertRaisesRegex(engine.EngineError, "cannot start the engine /nonexistent/sf"):
            engine.Engine("/nonexistent/sf")


if __name__ == "__main__":
    unittest.main()

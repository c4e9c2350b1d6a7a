#!/usr/bin/env python3
"""The engine's rules of a valid problem: each rule must reject what it is
there to reject, name itself and the move, and let a true problem through."""
import os
import sys
import unittest
from unittest import mock

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rules  # noqa: E402  (puts tools/content on the path)
import engine  # noqa: E402

# Rd8# at once, and every other move loses to Black's extra queen.
MATE_IN_ONE = "6k1/5ppp/8/8/8/8/q4PPP/3R2K1 w - - 0 1"
# Rd8# too, but a rook up against a pawn every other move keeps a won game.
MATE_OR_WIN = "6k1/5ppp/p7/8/8/8/5PPP/3R2K1 w - - 0 1"
# Two loose knights, each the mirror image of the other.
TWIN_KNIGHTS = "4k3/pp4pp/8/8/1n4n1/8/P6P/1R2K1R1 w - - 0 1"
# The textbook's smothered mate: Qg8+ mates in two, Nf7+ mates more slowly.
SMOTHERED = "r2r3k/pp4pp/1q2Q2N/8/8/8/PPP2PPP/6K1 w - - 0 1"
# The textbook's knight fork, with equal material: Ne7+ wins the queen.
FORK = "r1b2rk1/pp3ppp/2q5/3N4/8/8/PPP2PPP/R2Q1RK1 w - - 0 1"
# A mined problem: Bxf2+ Rxf2 uncovers the queen's attack and Qxc4 wins it.
MINED = "r2r2k1/p1q2ppp/np2pn2/2b5/2Q1P3/P4N2/1P1B1PPP/RN3RK1 b - - 2 15"
MINED_LINE = ("c5f2", "f1f2", "c7c4")


class Rules(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.engine = engine.Engine(hash_mb=rules.HASH_MB)
        cls.judge = rules.Judge(cls.engine, rules.CHECK_NODES)

    @classmethod
    def tearDownClass(cls):
        cls.engine.quit()

    def rejected(self, rule, fen, moves=None, message=""):
        with self.assertRaises(rules.Rejected) as caught:
            if moves is None:
                self.judge.build(fen)
            else:
                self.judge.check(fen, moves)
        self.assertEqual(caught.exception.rule, rule, str(caught.exception))
        self.assertRegex(str(caught.exception), message)

    def test_a_mined_problem_is_found_again_and_passes(self):
        verdict = self.judge.build(MINED)
        self.assertEqual(verdict.moves, MINED_LINE)
        self.assertFalse(verdict.mate)
        self.judge.check(MINED, MINED_LINE)
        verdict = self.judge.build(MATE_IN_ONE)
        self.assertEqual((verdict.moves, verdict.mate), (("d1d8",), True))

    def test_only_one_good_move(self):
        self.rejected("not-unique", TWIN_KNIGHTS, None, r"^solver move 1: \w+ \(\+\d+ cp\) is "
                      r"nearly as good as \w+ \(\+\d+ cp\): win chances differ by 0\.\d\d")
        self.rejected("not-unique", MATE_OR_WIN, None, "besides the mate, a move keeps win chances")
        # A slower mate beside the fast one spoils a mate problem.
        self.rejected("second-mate", SMOTHERED, None, r"h6f7 \(mate \d\)")

    def test_the_given_line_must_be_the_engines(self):
        self.rejected("not-best", MATE_IN_ONE, ["d1d7"], "d1d7 does not mate, d1d8 does")
        self.rejected("not-best", MINED, ["c5f2", "f1f2", "d8d2"],
                      "solver move 2: the engine's only good move is c7c4, not d8d2")
        # White's king steps aside instead of taking the bishop: 76 cp worse.
        self.rejected("weak-defence", MINED, ["c5f2", "g1h1", "c7c4"],
                      r"defender move 1: g1h1 \(-\d+ cp\) is weaker than the engine's f1f2")
        self.rejected("illegal", MINED, ["c5f2", "f1f2"], "ends on a move of the defender")
        self.rejected("illegal", MINED, ["c5f2", "f1f2", "c7c3"], "move 3 'c7c3' is not legal")

    def test_a_combination_not_a_count(self):
        # Ne7+ wins +400 or so with material level; with the bar above that,
        # the same position is no combination but a count of material.
        with mock.patch.object(rules, "COMBINATION_CP", 1000), \
                mock.patch.object(rules, "UNIQUE_GAP", 0.3):
            self.rejected("not-combination", FORK, None, "not down material")

    def test_lines_stop_at_five_solver_moves(self):
        with mock.patch.object(rules, "MAX_SOLVER_MOVES", 1):
            self.assertEqual(self.judge.build(MINED).moves, MINED_LINE[:1])
            self.rejected("long-mate", SMOTHERED, None, "mate in 2, which ends after solver move 1")


class WinChances(unittest.TestCase):
    def test_the_public_scale(self):
        line = lambda kind, value: engine.Line(1, 1, kind, value, ("e2e4",))  # noqa: E731
        self.assertAlmostEqual(rules.win_chances(line("cp", 0)), 0.0)
        self.assertAlmostEqual(rules.win_chances(line("cp", 200)), 0.3521, places=3)
        self.assertAlmostEqual(rules.win_chances(line("cp", -200)), -0.3521, places=3)
        self.assertEqual(rules.win_chances(line("mate", 3)), 1.0)
        self.assertEqual(rules.win_chances(line("mate", -1)), -1.0)


if __name__ == "__main__":
    unittest.main()

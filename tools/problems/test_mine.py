#!/usr/bin/env python3
"""The miner's promise: a mined problem's source line leads back to its position."""
import os
import sys
import tempfile
import unittest
from collections import Counter
from unittest import mock

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mine  # noqa: E402
import pool  # noqa: E402
import rules  # noqa: E402
import chess  # noqa: E402
import engine  # noqa: E402

# "mined seed=4 ply=28 mistake=c1c4": the queen steps onto c4, where the
# bishop check on f2 uncovers Black's queen against it.
SEED, PLY, MISTAKE = 4, 28, "c1c4"
PROBLEM_FEN = "r2r2k1/p1q2ppp/np2pn2/2b5/2Q1P3/P4N2/1P1B1PPP/RN3RK1 b - - 2 15"


class Replay(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.engine = engine.Engine(hash_mb=rules.HASH_MB)

    @classmethod
    def tearDownClass(cls):
        cls.engine.quit()

    def test_the_source_line_replays_to_the_problem(self):
        seen = {}

        def record(ply, played, pos, lines, move):
            seen[ply] = pos

        miner = mine.Miner(self.engine, os.devnull, Counter())
        with mock.patch.object(mine, "MAX_PLIES", PLY + 1):
            miner.play(SEED, record)
        before = seen[PLY]
        self.assertEqual(before.push(before.move_from_uci(MISTAKE)).fen(), PROBLEM_FEN)

    def test_a_game_is_the_same_whatever_the_probes_find(self):
        # The probes write problems (or not) but must never change the game.
        miner = mine.Miner(self.engine, os.devnull, Counter())
        with mock.patch.object(mine, "MAX_PLIES", 20):
            quiet = miner.play(SEED)
            with tempfile.TemporaryDirectory() as d:
                miner.pool_path = os.path.join(d, "pool.txt")
                probed = miner.play(SEED, lambda ply, played, pos, lines, move: miner.probe(
                    SEED, ply, played, pos, lines[1], move))
        self.assertEqual(quiet, probed)
        self.assertEqual(len(quiet), 20)


# White to move, and Black threatens Rd1 mate: a sharp position for White's
# mistakes. The starting position threatens nothing.
BACK_RANK_THREAT = "3r2k1/5ppp/8/8/8/8/R4PPP/6K1 w - - 0 1"


class Probing(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.engine = engine.Engine(hash_mb=rules.HASH_MB)
        cls.miner = mine.Miner(cls.engine, os.devnull, Counter())

    @classmethod
    def tearDownClass(cls):
        cls.engine.quit()

    def widths(self, fen):
        pos = chess.parse_fen(fen)
        with mock.patch.object(mine, "START", fen):
            return [len(lines) for _, lines in self.miner.shallow_lines((), pos)]

    def test_a_threat_makes_a_position_sharp_and_widens_the_search(self):
        self.assertTrue(self.miner.threat(chess.parse_fen(BACK_RANK_THREAT)))
        self.assertFalse(self.miner.threat(chess.parse_fen(mine.START)))
        self.assertEqual(self.widths(mine.START), [mine.MISTAKE_LINES] * 2)
        self.assertEqual(self.widths(BACK_RANK_THREAT), [mine.SHARP_LINES] * 2)

    def test_of_a_positions_lines_a_mate_comes_first_then_the_longest(self):
        verdict = lambda n, mate: rules.Verdict(("e2e4",) * (2 * n - 1), mate)  # noqa: E731
        built = [("a", "", verdict(1, False)), ("b", "", verdict(2, False)),
                 ("c", "", verdict(1, True)), ("d", "", verdict(2, False)),
                 ("e", "", verdict(3, True))]
        self.assertEqual([b[0] for b in mine.best_first(built)], ["e", "c", "b", "d", "a"])

    def test_a_game_move_that_hands_over_a_mate_is_a_problem_with_that_move_as_its_source(self):
        before = chess.parse_fen(BACK_RANK_THREAT)
        after = before.push(before.move_from_uci("a2a3"))   # the rook leaves the back rank
        search = lambda fen: engine.Engine.best_lines(  # noqa: E731
            self.engine.go(fen, nodes=20_000, multipv=3))
        with tempfile.TemporaryDirectory() as d:
            miner = mine.Miner(self.engine, os.path.join(d, "pool.txt"), Counter())
            problem = miner.probe_game_move(7, 40, ("a2a3",), (before, search(before.fen())[1]),
                                            after, search(after.fen()))
        self.assertIsNotNone(problem)
        self.assertEqual(problem.moves, ("d8d1",))
        self.assertEqual(problem.source, "mined seed=7 ply=40 mistake=a2a3")
        # A game move that leaves nothing to find is no candidate at all.
        quiet = before.push(before.move_from_uci("g2g3"))
        self.assertIsNone(miner.probe_game_move(7, 40, ("g2g3",), (before, search(before.fen())[1]),
                                                quiet, search(quiet.fen())))

    def test_a_run_of_a_shape_keeps_only_lines_of_that_shape(self):
        one, longer = rules.Verdict(("e2e4",), False), rules.Verdict(("e2e4",) * 3, False)
        mate = rules.Verdict(("e2e4",), True)
        kept = {shape: [mine.Miner(self.engine, os.devnull, Counter(), shape=shape).wanted(v)
                        for v in (one, longer, mate)] for shape in mine.SHAPES}
        self.assertEqual(kept, {"all": [True, True, True], "longer": [False, True, True],
                                "mates": [False, False, True]})


if __name__ == "__main__":
    unittest.main()

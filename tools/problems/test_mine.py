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

        def record(ply, played, pos, best, move):
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
                probed = miner.play(SEED, lambda *a: miner.probe(SEED, *a))
        self.assertEqual(quiet, probed)
        self.assertEqual(len(quiet), 20)


if __name__ == "__main__":
    unittest.main()

#!/usr/bin/env python3
"""The engine comparison's own logic: reading perft output and problem files,
and following a difference down to the move that causes it."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_perft  # noqa: E402
import positions  # noqa: E402


class Divide(unittest.TestCase):
    def test_reads_moves_and_skips_everything_else(self):
        lines = ["info string NNUE evaluation using nn.nnue enabled", "a2a3: 380", "e7e8q: 1",
                 "", "Nodes searched: 381"]
        self.assertEqual(check_perft.parse_divide(lines), {"a2a3": 380, "e7e8q": 1})

    def test_first_difference(self):
        same = {"a2a3": 1, "b2b3": 2}
        self.assertIsNone(check_perft.first_difference(same, dict(same)))
        self.assertEqual(check_perft.first_difference({"b2b3": 2, "a2a3": 1}, {"a2a3": 1, "b2b3": 3}),
                         ("b2b3", 2, 3))
        self.assertEqual(check_perft.first_difference({"a2a3": 1}, {"a2a3": 1, "e1g1": 1}),
                         ("e1g1", None, 1))


class FakeComparison(check_perft.Comparison):
    """Two move trees given as {moves played: divide}; they differ below e2e4 d7d5."""
    def __init__(self):
        super().__init__("zel_perft", engine=None)
        self.tree = {(): {"e2e4": 30, "d2d4": 20}, ("e2e4",): {"d7d5": 10, "e7e5": 20},
                     ("e2e4", "d7d5"): {"e4d5": 1, "e4e5": 1}}

    def divide(self, moves, depth, extra):
        counts = dict(self.tree[tuple(moves)])
        if extra and tuple(moves[:2]) == ("e2e4", "d7d5"):
            counts["e1e2"] = 1      # only "ours" sees this move
        if extra and moves[:1] == ["e2e4"] and len(moves) == 1:
            counts["d7d5"] += 1
        if extra and not moves:
            counts["e2e4"] += 1
        return counts

    def ours(self, fen, moves, depth):
        return self.divide(moves, depth, extra=True)

    def theirs(self, fen, moves, depth):
        return self.divide(moves, depth, extra=False)


class Chase(unittest.TestCase):
    def test_names_the_deepest_differing_move(self):
        self.assertEqual(FakeComparison().fault("fen", 3),
                         "after e2e4 d7d5, e1e2: zel_perft 1, stockfish None (depth 1)")


class Problems(unittest.TestCase):
    def write(self, text):
        f = tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8")
        f.write(text)
        f.close()
        self.addCleanup(os.unlink, f.name)
        return f.name

    def test_missing_file_gives_none(self):
        self.assertEqual(positions.read_problems("/nonexistent/problems.txt"), [])

    def test_entries_by_id_or_line(self):
        path = self.write("# pool\n\nid: g0001\nfen: 8/8/8/8/8/8/8/K1k5 w - - 0 1\nmoves: a1a2\n\n\n"
                          "fen: 4k3/8/8/8/8/8/8/4K3 b - - 0 1\n")
        found = positions.read_problems(path)
        self.assertEqual([(p.name, p.fen, p.depth) for p in found],
                         [("g0001", "8/8/8/8/8/8/8/K1k5 w - - 0 1", 3),
                          ("entry at line 8", "4k3/8/8/8/8/8/8/4K3 b - - 0 1", 3)])

    def test_faults_name_the_line(self):
        with self.assertRaisesRegex(positions.ProblemsError, r":3: the entry has no 'fen:'"):
            positions.read_problems(self.write("fen: 8/8/8/8/8/8/8/K1k5 w - - 0 1\n\nid: g2\n"))
        with self.assertRaisesRegex(positions.ProblemsError, r":2: 'oops' is not"):
            positions.read_problems(self.write("id: g1\noops\n"))


if __name__ == "__main__":
    unittest.main()

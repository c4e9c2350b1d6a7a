"""Holds zel_perft's node counts against Debian's stockfish ("go perft") on
every position of positions.py, move by move. A difference is followed down
to the first position where the two disagree about a single move, and named
with the position, the moves leading to it and that move.

Usage: check_perft.py ZEL_PERFT PROBLEMS_TXT
"""
from __future__ import annotations

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "content"))
from engine import Engine, EngineError  # noqa: E402
from positions import all_positions  # noqa: E402


def parse_divide(lines) -> dict[str, int]:
    """The "e2e4: 20" lines of a perft output, as {move: nodes}."""
    counts = {}
    for line in lines:
        head, sep, tail = line.partition(":")
        if sep and " " not in head and not line.startswith("Nodes"):
            counts[head] = int(tail)
    return counts


def first_difference(ours: dict[str, int], theirs: dict[str, int]):
    """(move, our count, engine's count) of the first move, alphabetically,
    on which the two disagree (None for a move one side lacks), or None."""
    for move in sorted(set(ours) | set(theirs)):
        if ours.get(move) != theirs.get(move):
            return move, ours.get(move), theirs.get(move)
    return None


class Comparison:
    def __init__(self, zel_perft: str, engine: Engine):
        self.zel_perft = zel_perft
        self.engine = engine

    def ours(self, fen: str, moves: list[str], depth: int) -> dict[str, int]:
        run = subprocess.run([self.zel_perft, fen, str(depth), *moves],
                             capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            raise ValueError(run.stderr.strip() or f"zel_perft exited with {run.returncode}")
        return parse_divide(run.stdout.splitlines())

    def theirs(self, fen: str, moves: list[str], depth: int) -> dict[str, int]:
        self.engine.position(fen, moves)
        self.engine.send(f"go perft {depth}")
        return parse_divide(self.engine.read_until(lambda l: l.startswith("Nodes searched")))

    def fault(self, fen: str, depth: int, moves: list[str] | None = None) -> str | None:
        """Where the two first disagree below this position, or None."""
        moves = moves or []
        difference = first_difference(self.ours(fen, moves, depth), self.theirs(fen, moves, depth))
        if difference is None:
            return None
        move, ours, theirs = difference
        if ours is not None and theirs is not None and depth > 1:
            deeper = self.fault(fen, depth - 1, moves + [move])
            if deeper:
                return deeper
        after = f"after {' '.join(moves)}, " if moves else ""
        return f"{after}{move}: zel_perft {ours}, stockfish {theirs} (depth {depth})"


def main() -> int:
    zel_perft, problems = sys.argv[1], sys.argv[2]
    positions = all_positions(problems)
    failures = 0
    with Engine() as engine:
        comparison = Comparison(zel_perft, engine)
        for p in positions:
            try:
                fault = comparison.fault(p.fen, p.depth)
            except (ValueError, EngineError) as e:
                fault = str(e)
            if fault:
                failures += 1
                print(f"FAIL {p.name} ({p.fen}): {fault}")
    print(f"{len(positions) - failures} of {len(positions)} positions agree with stockfish"
          f"{'' if os.path.exists(problems) else f' ({problems} does not exist yet)'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Rates problems on people's scale: `FEN;moves` lines in, one rating a line out.

Each input line is the solver's position (FEN, the solver to move), a ';' and
the solution in coordinates (e2e4, e7e8q, castling as the king's move),
space-separated: the solver's move first, ending on a solver move.

The output has one line for each input line, in order: the rating as a whole
number, or "-" for a line that cannot be rated. Each such line is named on
standard error with its number and what is wrong with it, the other lines are
rated all the same, and the exit status is 1. Exit status 2: the engine or the
model failed, and nothing after that point was rated.

usage: rate.py < lines
"""
from __future__ import annotations

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import difficulty  # noqa: E402
import difficulty_model  # noqa: E402
import engine  # noqa: E402
import problem_line  # noqa: E402
import rules  # noqa: E402

UNRATED = "-"


def main(argv: list[str]) -> int:
    if len(argv) > 1:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    bad = 0
    try:
        model = difficulty_model.load()
        with engine.Engine(hash_mb=rules.HASH_MB) as eng:
            for number, text in enumerate(sys.stdin, start=1):
                try:
                    fen, moves, _ = problem_line.read(text)
                except problem_line.LineError as e:
                    print(f"line {number}: {e}", file=sys.stderr)
                    print(UNRATED, flush=True)
                    bad += 1
                    continue
                values = difficulty.features(eng, fen, moves)
                print(difficulty_model.rating(model, values), flush=True)
    except (engine.EngineError, difficulty_model.ModelError) as e:
        print(f"rate.py: {e}", file=sys.stderr)
        return 2
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

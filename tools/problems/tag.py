#!/usr/bin/env python3
"""Prints the theme tokens of problems read from standard input, one line each.

Each input line is one problem: `FEN;moves` or `FEN;moves;last`. FEN is the
solver's position, moves the solution in coordinates (space-separated, the
solver's move first, ending on a solver move), and last the opponent's move
that led to FEN, in coordinates, with "x" and the letter of the man it took
if it took one ("d8d1xr"; "d8d1x" when the man is not known). Without last,
the two rules that use it judge by the position alone (content/README.md).

Each output line holds that problem's tokens, space-separated in the pool's
order (empty when no theme applies). A line that cannot be read prints "?"
instead, so the output stays line for line with the input, and standard error
names its line number and what is wrong; the exit status is then 1.

usage: tag.py < problems.txt
"""
from __future__ import annotations

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402
import problem_line  # noqa: E402
import themes  # noqa: E402

UNREADABLE = "?"


def tag_line(text: str) -> tuple:
    """The tokens of one input line; raises ValueError saying what is wrong."""
    fen, moves, last = problem_line.read(text, with_last=True)
    try:
        return themes.tag(fen, moves, themes.Last.parse(last) if last is not None else None)
    except chess.ChessError as e:   # the last move does not lead to the position
        raise ValueError(str(e)) from None


def main(lines, out, err) -> int:
    status = 0
    for number, text in enumerate(lines, 1):
        try:
            out.write(" ".join(tag_line(text)) + "\n")
        except ValueError as e:
            out.write(UNREADABLE + "\n")
            err.write(f"line {number}: {e}\n")
            status = 1
    return status


if __name__ == "__main__":
    argparse.ArgumentParser(description=__doc__,
                            formatter_class=argparse.RawDescriptionHelpFormatter).parse_args()
    sys.exit(main(sys.stdin, sys.stdout, sys.stderr))

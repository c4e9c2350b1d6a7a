"""Reads the `FEN;moves` lines that rate.py and tag.py take on standard input.

One reader, so that a teacher's line is refused by both tools for the same
reasons and in the same words. FEN is the solver's position, the solver to
move; moves the solution in coordinates (e2e4, e7e8q, castling as the king's
move), space-separated, the solver's move first and last. tag.py also takes a
third field, the opponent's move that led to the position.
"""
from __future__ import annotations

import pool  # noqa: F401  (puts tools/content on the path)
import chess  # noqa: E402


class LineError(ValueError):
    """What is wrong with an input line, in words for its author."""


def read(text: str, *, with_last: bool = False) -> tuple[str, tuple, str | None]:
    """(fen, moves, last field or None) of one input line; raises LineError.

    The moves are checked to be legal one after the other from the position.
    """
    text = text.strip()
    expected = "FEN;moves or FEN;moves;last" if with_last else "FEN;moves"
    if not text:
        raise LineError(f"the line is empty, expected {expected}")
    fields = [f.strip() for f in text.split(";")]
    if len(fields) == 1:
        raise LineError(f"expected {expected}: there is no ';'")
    if len(fields) > (3 if with_last else 2):
        raise LineError(f"{len(fields)} fields separated by ';', expected {expected}")
    fen, moves = " ".join(fields[0].split()), tuple(fields[1].split())
    try:
        chess.parse_fen(fen)
    except chess.ChessError as e:
        raise LineError(f"the position is not legal: {e}") from None
    if not moves:
        raise LineError("no moves after the ';'")
    if len(moves) % 2 == 0:
        raise LineError(f"{len(moves)} moves end on a move of the defender; the solution "
                        "ends on a solver move (an odd number of moves)")
    try:
        pool.positions(fen, moves)
    except chess.ChessError as e:
        raise LineError(str(e)) from None
    return fen, moves, (fields[2] if len(fields) == 3 else None)

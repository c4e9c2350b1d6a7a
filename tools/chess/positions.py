"""The positions the chess core is held against: the well-known perft
positions, and every problem of content/problems.txt when that file exists.

problems.txt holds entries separated by blank lines, each a few "key: value"
lines ("#" starts a comment line); the key "fen" gives the position and "id"
its name.
"""
from __future__ import annotations

import os
from dataclasses import dataclass


@dataclass(frozen=True)
class Checked:
    name: str
    fen: str
    depth: int      # perft depth: the engine comparison's cost grows ~35x a ply


STANDARD = (
    Checked("start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5),
    Checked("Kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4),
    Checked("rook endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5),
    Checked("promotions and pins", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4),
    Checked("promotions and pins, mirrored",
            "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 4),
    Checked("promotion onto the back rank", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3),
    Checked("middlegame", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3),
    Checked("en passant would expose the king", "3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 5),
    Checked("en passant gives check", "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 5),
    Checked("castling gives check", "5k2/8/8/8/8/8/8/4K2R w K - 0 1", 5),
    Checked("castling rights lost by captures", "r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 3),
    Checked("promotion out of check", "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 5),
    Checked("underpromotion gives check", "8/P1k5/K7/8/8/8/8/8 w - - 0 1", 6),
    Checked("stalemate and mate", "8/k1P5/8/1K6/8/8/8/8 w - - 0 1", 6),
)

PROBLEM_DEPTH = 3


class ProblemsError(ValueError):
    pass


def read_problems(path: str) -> list[Checked]:
    """Every entry's position; an entry without "fen" stops with its line."""
    if not os.path.exists(path):
        return []
    found: list[Checked] = []
    entry: dict[str, str] = {}
    start = 0

    def close() -> None:
        if not entry:
            return
        if "fen" not in entry:
            raise ProblemsError(f"{path}:{start}: the entry has no 'fen:' line")
        found.append(Checked(entry.get("id", f"entry at line {start}"), entry["fen"], PROBLEM_DEPTH))
        entry.clear()

    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.strip()
            if not text:
                close()
                continue
            if text.startswith("#"):
                continue
            key, sep, value = text.partition(":")
            if not sep:
                raise ProblemsError(f"{path}:{number}: '{text}' is not a 'key: value' line")
            if not entry:
                start = number
            entry[key.strip()] = value.strip()
    close()
    return found


def all_positions(problems_path: str) -> list[Checked]:
    return list(STANDARD) + read_problems(problems_path)

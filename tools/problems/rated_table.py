"""The rated problems the difficulty measure is fitted to, and their features.

The ruler is a file of problems from the public puzzle site (CC0), each with
people's rating of it. Its problems are never ours: the pool's tests refuse
any pool position that stands in it. Its rows give the position before the
opponent's last move and a line that starts with that move; here a rated
problem is what the solver sees, as our problems are: the position after that
move and the solution after it.

rated_features.csv keeps, for each, the solver's position, the solution,
people's rating and the features of difficulty.py, so the fit and its tests
run without the engine and without the original file.
"""
from __future__ import annotations

import csv
import os
import sys
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "rated_features.csv")
HEAD = ("id", "rating", "fen", "moves")


class TableError(ValueError):
    pass


@dataclass(frozen=True)
class Rated:
    id: str
    rating: int
    fen: str              # the solver to move
    moves: tuple          # the solution, solver's move first
    features: dict | None = None


def read_site_file(path: str) -> list[Rated]:
    """The site's rows as problems: its first move played, the rest the solution."""
    found = []
    with open(path, newline="", encoding="utf-8") as f:
        for number, row in enumerate(csv.DictReader(f), start=2):
            try:
                line = row["Moves"].split()
                start = chess.parse_fen(row["FEN"])
                solver = start.push(start.move_from_uci(line[0]))
                found.append(Rated(row["PuzzleId"], int(row["Rating"]), solver.fen(),
                                   tuple(line[1:])))
            except (KeyError, IndexError, ValueError) as e:
                raise TableError(f"{path}:{number}: {e}") from None
    return found


def write(path: str, rows: list[Rated], names: tuple) -> None:
    with open(path, "w", newline="", encoding="utf-8") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(HEAD + names)
        for r in rows:
            out.writerow([r.id, r.rating, r.fen, " ".join(r.moves)]
                         + [repr(r.features[n]) for n in names])


def read(path: str = TABLE) -> tuple[list[Rated], tuple]:
    """The rows and the feature names, in the file's column order."""
    try:
        with open(path, newline="", encoding="utf-8") as f:
            table = csv.reader(f)
            head = tuple(next(table))
            if head[:len(HEAD)] != HEAD:
                raise TableError(f"{path}: the columns start {head[:len(HEAD)]}, not {HEAD}")
            names = head[len(HEAD):]
            rows = []
            for number, cells in enumerate(table, start=2):
                if len(cells) != len(head):
                    raise TableError(f"{path}:{number}: {len(cells)} cells, not {len(head)}")
                rows.append(Rated(cells[0], int(cells[1]), cells[2], tuple(cells[3].split()),
                                  {n: float(v) for n, v in zip(names, cells[len(HEAD):])}))
    except (OSError, StopIteration, ValueError) as e:
        if isinstance(e, TableError):
            raise
        raise TableError(f"{path}: {e}") from None
    return rows, names


def position_keys(path: str = TABLE) -> set[str]:
    return {pool.position_key(r.fen) for r in read(path)[0]}

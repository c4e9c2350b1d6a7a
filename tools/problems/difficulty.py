"""How hard a problem is, as a rating from engine features.

What a person finds hard is what the engine must work for: on a large public
puzzle site the nodes an engine needs to find a mate predicted how many people
solved it, and the average solution grows by about one ply for every 600
rating points. So the rating adds up:

- the length: each solver move after the first;
- the effort: log2 of the nodes after which the engine's best move is the key
  and it already sees the win, and keeps both to the end of its search;
- a quiet key move (no capture, check or promotion) and a sacrifice: moves
  people do not look at first;
- distractors: other moves that a shallow search ranks above the key;
- what a first look shows: how far the key stands out from the other moves
  at the engine's shallowest search (a queen left hanging stands out; a
  knight won only because the defender cannot take back does not), and how
  many other checks and captures there are to weigh against it. These tell
  apart the one-move problems, which the features above mostly leave at the
  floor.

The weights are in WEIGHTS; content/README.md says how they were set and what
they were checked against (the textbook's examples must come out easy).
"""
from __future__ import annotations

import math
import os
import sys
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402
import engine  # noqa: E402
import rules  # noqa: E402

EFFORT_NODES = 500_000     # the effort search; a key not seen by then counts as twice this
EFFORT_FLOOR = 100           # what the engine needs for even the plainest move
SHALLOW_DEPTH = 4
SHALLOW_LINES = 4           # a key outside these counts as this many distractors
FIRST_SIGHT_DEPTH = 1       # the first look: one ply and the captures after it
CHOICES_CAP = 8             # more checks and captures than this are no harder

WEIGHTS = {
    "base": 400,
    "per_move": 120,          # each solver move after the first
    "per_doubling": 35,       # each doubling of the effort above the floor
    "quiet": 70,
    "sacrifice": 70,
    "distractor": 35,         # each move a shallow search ranks above the key
    "hidden": 60,             # a key that does not stand out at first sight at all
    "choice": 8,              # each other check or capture the solver has
}
LOWEST, HIGHEST = 400, 2600
EASY = 1200                   # at most this: fit for the beginners' course


@dataclass(frozen=True)
class Features:
    solver_moves: int
    effort_nodes: int
    quiet: bool
    sacrifice: bool
    distractors: int
    margin: float = 2.0       # the key's win chances above the next move's at first sight
    choices: int = 0          # the solver's other checks and captures


def _sees_win(line: engine.Line, mate: bool) -> bool:
    if line.kind == "mate":
        return line.value > 0
    return not mate and line.value >= 200


def effort(eng: engine.Engine, fen: str, key: str) -> int:
    """Nodes after which the engine's best move stays the key and it sees the win.

    The win is what the whole search ends with: a mate if it ends seeing one
    (a line that only wins material on the way does not count), otherwise an
    advantage of two pawns.
    """
    infos = [l for l in eng.go(fen, nodes=EFFORT_NODES, multipv=1) if l.multipv == 1]
    if not infos:
        return 2 * EFFORT_NODES
    mate = infos[-1].kind == "mate" and infos[-1].value > 0
    found = None
    for line in infos:
        if line.pv[0] == key and _sees_win(line, mate):
            if found is None:
                found = line.nodes
        else:
            found = None
    return found if found is not None else 2 * EFFORT_NODES


def distractors(eng: engine.Engine, fen: str, key: str) -> int:
    """How many moves the shallow search ranks above the key (all it shows, if not the key)."""
    lines = engine.Engine.best_lines(eng.go(fen, depth=SHALLOW_DEPTH, multipv=SHALLOW_LINES))
    ranked = sorted(lines.values(), key=lambda l: -l.centipawns())
    for rank, line in enumerate(ranked):
        if line.pv[0] == key:
            return rank
    return len(ranked)


def first_sight(eng: engine.Engine, fen: str, key: str) -> float:
    """How far the key stands out at the shallowest search, in win chances (-2 to 2).

    The margin over the next best move when the key comes first; 0 when it
    does not (it is not seen at first sight); 2 when it is the only move.
    """
    lines = engine.Engine.best_lines(eng.go(fen, depth=FIRST_SIGHT_DEPTH, multipv=2))
    first, second = lines.get(1), lines.get(2)
    if first is None or first.pv[0] != key:
        return 0.0
    if second is None:
        return 2.0
    return round(rules.win_chances(first) - rules.win_chances(second), 3)


def choices(fen: str, key: str) -> int:
    """The solver's checks and captures other than the key: what a solver weighs first."""
    pos = chess.parse_fen(fen)
    return sum(1 for m in pos.legal_moves()
               if m.uci() != key and (pos.is_capture(m) or pos.push(m).in_check()))


def features(eng: engine.Engine, fen: str, moves, themes) -> Features:
    return Features(solver_moves=(len(moves) + 1) // 2,
                    effort_nodes=effort(eng, fen, moves[0]),
                    quiet="quiet-move" in themes, sacrifice="sacrifice" in themes,
                    distractors=distractors(eng, fen, moves[0]),
                    margin=first_sight(eng, fen, moves[0]),
                    choices=choices(fen, moves[0]))


def rating(f: Features) -> int:
    w = WEIGHTS
    doublings = math.log2(max(f.effort_nodes, EFFORT_FLOOR) / EFFORT_FLOOR)
    # A key that beats the next move by a whole unit of win chances at first
    # sight is there for anyone to see; below that it hides in proportion.
    hidden = min(1.0, max(0.0, 1.0 - f.margin))
    r = (w["base"] + w["per_move"] * (f.solver_moves - 1) + w["per_doubling"] * doublings
         + w["quiet"] * f.quiet + w["sacrifice"] * f.sacrifice + w["distractor"] * f.distractors
         + w["hidden"] * hidden + w["choice"] * min(f.choices, CHOICES_CAP))
    return int(min(HIGHEST, max(LOWEST, round(r / 10) * 10)))


def rate(eng: engine.Engine, fen: str, moves, themes) -> int:
    return rating(features(eng, fen, moves, themes))

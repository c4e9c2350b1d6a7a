"""How hard a problem is for people, as a rating on the public puzzle site's scale.

A problem rated R there is one that people of rating R solve about half the
time. Ours get that number from features of the solver's position and the
solution, read by our chess rules and by short engine searches, put through a
model fitted to a thousand problems people rated on that site
(difficulty_model.py evaluates it; calibrate.py fits it; content/README.md
gives the figures).

What the features measure is what a solver must weigh: how many moves the line
asks for, how many other checks and captures compete with each key, whether
the key is quiet, a retreat, or gives material away, and what the engine makes
of it at a glance (a search of depth 1 over every move) and with effort (the
nodes it needs before the key is its stable choice).

Every search runs on one thread from a cleared hash (rules.HASH_MB) to a fixed
depth or node count, so a problem gets the same features on every run.
"""
from __future__ import annotations

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402
import difficulty_model  # noqa: E402
import engine  # noqa: E402
import rules  # noqa: E402

EFFORT_NODES = 300_000         # the first move's effort search
LATER_EFFORT_NODES = 100_000   # each later solver move's
EFFORT_FLOOR = 100             # nodes the engine needs for even the plainest move
SIGHT_DEPTH = 1                # the first look: one ply and the captures after it
ALL_MOVES = 256                # lines for every legal move (a position has at most 218)
RIVAL_GAP = 0.2                # win chances within which another move rivals the key
DIGITS = 4                     # features are rounded so a stored table matches a fresh run

# The model's inputs, in its order. Sums and extremes run over the solver's
# moves; "key" is the first move. Where the solution mates, any mate is the
# solver's move (right_moves), as the solvers take any.
FEATURES = (
    ("solver_moves", "the solver's moves in the line"),
    ("mate", "1 if the line ends in mate"),
    ("men", "men on the board, kings included"),
    ("choices", "the solver's legal moves, summed over its moves"),
    ("other_checks", "checks other than the solution's move, summed"),
    ("other_captures", "captures other than the solution's move, summed"),
    ("key_capture", "1 if the key takes a man"),
    ("key_quiet", "1 if the key takes nothing, gives no check and does not promote"),
    ("key_man", "value of the man the key moves (pawns; the king 0)"),
    ("key_takes", "value of the man the key takes (pawns)"),
    ("key_distance", "squares the key moves, in king steps"),
    ("key_backward", "1 if the key moves towards the solver's own side"),
    ("king_room", "squares beside the defender's king free of its men and not attacked"),
    ("replies", "the defender's legal replies, on average over its moves"),
    ("sacrifice", "most material the solver is ever below its start (pawns)"),
    ("gain", "material won by the end of the line (pawns)"),
    ("quiet_moves", "solver moves that take nothing, check nothing, promote nothing"),
    ("sight", "the key's win chances at first look (-1 to 1)"),
    ("sight_margin", "the key's win chances at first look above the best other move's"),
    ("sight_rivals", f"other moves within {RIVAL_GAP} of the key's win chances at first look"),
    ("later_sight", "the lowest win chances of a later solver move at first look"),
    ("later_margin", "the lowest margin of a later solver move at first look"),
    ("effort", "log2 of the nodes after which the engine holds the key and sees the win"),
    ("later_effort", "the same for each later solver move, summed"),
    ("effort_max", "the largest of these efforts"),
    ("outlook", "win chances at the end of the key's effort search"),
)
FEATURE_NAMES = tuple(name for name, _ in FEATURES)


def _sees_win(line: engine.Line, mate: bool) -> bool:
    if line.kind == "mate":
        return line.value > 0
    return not mate and line.value >= rules.WIN_CP


def effort(infos: list[engine.Line], keys: set, limit: int) -> int:
    """Nodes after which the engine's best move stays among `keys` and it sees the win.

    The win is what the whole search ends with: a mate if it ends seeing one,
    otherwise +200 centipawns. A key not held to the end counts as twice the
    search's nodes.
    """
    infos = [line for line in infos if line.multipv == 1]
    mate = bool(infos) and infos[-1].kind == "mate" and infos[-1].value > 0
    found = None
    for line in infos:
        if line.pv[0] in keys and _sees_win(line, mate):
            found = line.nodes if found is None else found
        else:
            found = None
    return found if found is not None else 2 * limit


def first_sight(infos: list[engine.Line], keys: set) -> tuple[float, float, int]:
    """The key's win chances at first look, its margin over the best other move,
    and how many other moves come within RIVAL_GAP of it."""
    chances = {line.pv[0]: rules.win_chances(line)
               for line in engine.Engine.best_lines(infos).values()}
    mine = max((chances.pop(k) for k in keys if k in chances), default=None)
    if mine is None:              # never happens with a legal key; read as unseen
        return -1.0, -2.0, len(chances)
    best_other = max(chances.values(), default=-1.0)
    return mine, mine - best_other, sum(1 for c in chances.values() if c > mine - RIVAL_GAP)


def right_moves(fen: str, moves) -> list[set]:
    """What counts as the solver's move at each of its turns: the solution's
    move, or any mate where the solution mates, as the solvers accept any."""
    chain = pool.positions(fen, moves)
    right = [{moves[k]} for k in range(0, len(moves), 2)]
    if chain[-1].is_mate():
        last = chain[-2]
        right[-1] = {m.uci() for m in last.legal_moves() if last.push(m).is_mate()}
    return right


def _log_nodes(nodes: int) -> float:
    return math.log2(max(nodes, EFFORT_FLOOR))


def engine_features(eng: engine.Engine, fen: str, moves) -> dict[str, float]:
    sights, efforts = [], []
    outlook = 0.0
    for k, keys in zip(range(0, len(moves), 2), right_moves(fen, moves)):
        played = tuple(moves[:k])
        sights.append(first_sight(eng.go(fen, played, depth=SIGHT_DEPTH, multipv=ALL_MOVES), keys))
        limit = EFFORT_NODES if k == 0 else LATER_EFFORT_NODES
        infos = eng.go(fen, played, nodes=limit)
        efforts.append(_log_nodes(effort(infos, keys, limit)))
        if k == 0 and infos:
            outlook = rules.win_chances(infos[-1])
    later = sights[1:]
    return {
        "sight": sights[0][0], "sight_margin": sights[0][1], "sight_rivals": sights[0][2],
        "later_sight": min((s[0] for s in later), default=1.0),
        "later_margin": min((s[1] for s in later), default=2.0),
        "effort": efforts[0], "later_effort": sum(efforts[1:]), "effort_max": max(efforts),
        "outlook": outlook,
    }


def _king_room(pos: chess.Position, defender: str) -> int:
    king = pos.king_square(defender)
    solver = "w" if defender == "b" else "b"
    room = 0
    for df, dr in chess.KING_STEPS:
        f, r = king % 8 + df, king // 8 + dr
        if 0 <= f < 8 and 0 <= r < 8:
            man = pos.board[f + 8 * r]
            own = man is not None and (man.isupper() == (defender == "w"))
            room += not own and not pos.attackers(f + 8 * r, solver)
    return room


def _quiet(pos: chess.Position, move: chess.Move) -> bool:
    return not (pos.is_capture(move) or move.promotion or pos.push(move).in_check())


def line_features(fen: str, moves) -> dict[str, float]:
    """What our chess rules read from the position and the line alone."""
    chain = pool.positions(fen, moves)
    start = chain[0]
    solver, defender = start.turn, ("b" if start.turn == "w" else "w")
    key = start.move_from_uci(moves[0])
    choices = checks = captures = quiet = 0
    for k in range(0, len(moves), 2):
        pos = chain[k]
        for move in pos.legal_moves():
            choices += 1
            if move.uci() != moves[k]:
                captures += pos.is_capture(move)
                checks += pos.push(move).in_check()
        quiet += _quiet(pos, pos.move_from_uci(moves[k]))
    replies = [len(chain[k].legal_moves()) for k in range(1, len(moves), 2)]
    material = [rules.balance(pos, solver) - rules.balance(start, solver) for pos in chain]
    taken = start.board[key.to]
    forward = key.to // 8 - key.frm // 8
    return {
        "solver_moves": (len(moves) + 1) // 2,
        "mate": int(chain[-1].is_mate()),
        "men": sum(1 for man in start.board if man),
        "choices": choices, "other_checks": checks, "other_captures": captures,
        "key_capture": int(start.is_capture(key)),
        "key_quiet": int(_quiet(start, key)),
        "key_man": rules.VALUES[start.board[key.frm].upper()],
        "key_takes": rules.VALUES[taken.upper()] if taken else int(start.is_en_passant(key)),
        "key_distance": max(abs(key.to % 8 - key.frm % 8), abs(forward)),
        "key_backward": int(forward * (1 if solver == "w" else -1) < 0),
        "king_room": _king_room(start, defender),
        "replies": sum(replies) / len(replies) if replies else 0,
        "sacrifice": -min(material), "gain": material[-1],
        "quiet_moves": quiet,
    }


def features(eng: engine.Engine, fen: str, moves) -> dict[str, float]:
    """Every feature of the problem, in FEATURE_NAMES order, rounded to DIGITS."""
    found = line_features(fen, moves) | engine_features(eng, fen, moves)
    return {name: round(float(found[name]), DIGITS) for name in FEATURE_NAMES}


def rate(eng: engine.Engine, fen: str, moves, themes=()) -> int:
    """The problem's rating. `themes` is taken for the callers' sake and not
    read: the measure reads the line itself, so a change of the tagger never
    moves a rating."""
    return difficulty_model.rating(difficulty_model.load(), features(eng, fen, moves))

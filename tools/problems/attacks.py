"""What a man on the board attacks, guards and risks: the facts the theme rules ask.

Squares are numbered 0 (a1) to 63 (h8) and a man is its FEN letter, as in
tools/content/chess.py. Values are in pawns.
"""
from __future__ import annotations

import dataclasses
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402,F401  (puts tools/content on the path)
import chess  # noqa: E402

# The king outranks every other man, so that attacking it is always worth more.
VALUES = {"P": 1, "N": 3, "B": 3, "R": 5, "Q": 9, "K": 99}
LINE_KINDS = {"B": chess.BISHOP_DIRS, "R": chess.ROOK_DIRS,
              "Q": chess.ROOK_DIRS + chess.BISHOP_DIRS}


def kind(piece: str | None) -> str:
    """'P', 'N', 'B', 'R', 'Q', 'K', or '' for an empty square."""
    return piece.upper() if piece else ""


def value(piece: str | None) -> int:
    return VALUES[piece.upper()] if piece else 0


def colour(piece: str) -> str:
    return "w" if piece.isupper() else "b"


def other(side: str) -> str:
    return "b" if side == "w" else "w"


def material(pos: chess.Position, side: str) -> int:
    """Material of `side` minus the other's, the kings not counted."""
    total = 0
    for p in pos.board:
        if p and kind(p) != "K":
            total += value(p) if colour(p) == side else -value(p)
    return total


# ------------------------------------------------------------- lines ----
def _step(a: int, b: int) -> tuple[int, int] | None:
    """The one-square step from a towards b along a rank, file or diagonal."""
    df, dr = b % 8 - a % 8, b // 8 - a // 8
    if a == b or not (df == 0 or dr == 0 or abs(df) == abs(dr)):
        return None
    return (df > 0) - (df < 0), (dr > 0) - (dr < 0)


def _walk(sq: int, step: tuple[int, int]):
    """The squares from sq (not included) to the edge of the board, one step at a time."""
    f, r = sq % 8 + step[0], sq // 8 + step[1]
    while chess._on_board(f, r):
        yield f + 8 * r
        f, r = f + step[0], r + step[1]


def between(a: int, b: int) -> set[int]:
    """The squares strictly between a and b on their common line (none if not on one)."""
    step = _step(a, b)
    if step is None:
        return set()
    out = set()
    for sq in _walk(a, step):
        if sq == b:
            return out
        out.add(sq)
    return out


def whole_line(a: int, b: int) -> set[int]:
    """Every square of the line through a and b, from edge to edge."""
    step = _step(a, b)
    if step is None:
        return set()
    return {a} | set(_walk(a, step)) | set(_walk(a, (-step[0], -step[1])))


def attacks_from(pos: chess.Position, sq: int) -> set[int]:
    """The squares the man on sq attacks (a pawn: its two diagonals)."""
    p = pos.board[sq]
    f0, r0 = sq % 8, sq // 8
    if kind(p) == "P":
        dr = 1 if p.isupper() else -1
        return {f0 + df + 8 * (r0 + dr) for df in (-1, 1) if chess._on_board(f0 + df, r0 + dr)}
    if kind(p) in ("N", "K"):
        steps = chess.KNIGHT_STEPS if kind(p) == "N" else chess.KING_STEPS
        return {f0 + df + 8 * (r0 + dr) for df, dr in steps if chess._on_board(f0 + df, r0 + dr)}
    out = set()
    for step in LINE_KINDS[kind(p)]:
        for t in _walk(sq, step):
            out.add(t)
            if pos.board[t] is not None:
                break
    return out


def _without(pos: chess.Position, sq: int) -> chess.Position:
    board = list(pos.board)
    board[sq] = None
    return dataclasses.replace(pos, board=tuple(board))


# --------------------------------------------------- safety of a man ----
def defended(pos: chess.Position, sq: int) -> bool:
    """Does the owner of the man on sq guard it, also from behind an attacking line piece?

    A rook on d1 behind an enemy rook on d2 does not guard d5 yet, but it will
    once that rook has taken there; so each line attacker is lifted off the
    board in turn to see who stands behind it.
    """
    owner = colour(pos.board[sq])
    if pos.attackers(sq, owner):
        return True
    return any(kind(pos.board[a]) in LINE_KINDS and _without(pos, a).attackers(sq, owner)
               for a in pos.attackers(sq, other(owner)))


def hanging(pos: chess.Position, sq: int) -> bool:
    return not defended(pos, sq)


def in_danger(pos: chess.Position, sq: int) -> bool:
    """Attacked, and unguarded or attacked by a cheaper man (not the king): it would be lost."""
    p = pos.board[sq]
    attackers = pos.attackers(sq, other(colour(p)))
    if not attackers:
        return False
    return hanging(pos, sq) or any(kind(pos.board[a]) != "K" and value(pos.board[a]) < value(p)
                                   for a in attackers)


def pin_line(pos: chess.Position, sq: int) -> set[int] | None:
    """The whole line along which the man on sq is pinned to its own king, or None."""
    owner = colour(pos.board[sq])
    king = pos.king_square(owner)
    step = _step(king, sq) if king is not None else None
    if step is None or any(pos.board[s] for s in between(king, sq)):
        return None
    diagonal = step[0] != 0 and step[1] != 0
    for t in _walk(sq, step):
        p = pos.board[t]
        if p is not None:
            pinner = colour(p) != owner and kind(p) in ("Q", "B" if diagonal else "R")
            return whole_line(king, sq) if pinner else None
    return None


def has_move_off(pos: chess.Position, sq: int, line: set[int]) -> bool:
    """Would the man on sq have a move off `line`, were it free to leave it?"""
    p = pos.board[sq]
    own = colour(p)
    targets = {t for t in attacks_from(pos, sq)
               if pos.board[t] is None or colour(pos.board[t]) != own}
    if kind(p) == "P":
        targets = {t for t in targets if pos.board[t] is not None}   # a pawn takes diagonally
        ahead = sq + (8 if own == "w" else -8)
        if pos.board[ahead] is None:
            targets.add(ahead)
    return bool(targets - line)


def trapped(pos: chess.Position, sq: int) -> bool:
    """The man on sq, of the side to move, is lost wherever it goes.

    It is in danger, not pinned to its king, the king not in check, and every
    move it has lands it in danger again, unless it takes a man at least as
    valuable on the way.
    """
    p = pos.board[sq]
    if kind(p) in ("P", "K") or pos.in_check() or pin_line(pos, sq) is not None:
        return False
    if not in_danger(pos, sq):
        return False
    for move in pos.legal_moves():
        if move.frm != sq:
            continue
        if value(pos.board[move.to]) >= value(p) or not in_danger(pos.push(move), move.to):
            return False
    return True

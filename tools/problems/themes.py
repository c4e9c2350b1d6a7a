"""The themes of a problem, read from its line by our chess rules alone.

Each theme is a pattern in the positions along the solution, as a trainer
would name it; content/README.md lists the tokens and the rule of each. The
tagging needs no engine, so a retag of the whole pool is instant and the
same on every machine.
"""
from __future__ import annotations

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402

VALUES = {"P": 1, "N": 3, "B": 3, "R": 5, "Q": 9, "K": 100}
SLIDES = {"B": chess.BISHOP_DIRS, "R": chess.ROOK_DIRS, "Q": chess.ROOK_DIRS + chess.BISHOP_DIRS}

# Every token, in the order they are written into an entry.
TOKENS = ("mate", "mate-in-1", "mate-in-2", "mate-in-3", "mate-in-4", "mate-in-5",
          "back-rank-mate", "smothered-mate", "material", "hanging-piece", "fork",
          "double-attack", "pin", "skewer", "discovered-attack", "discovered-check",
          "double-check", "deflection", "attraction", "removal-of-the-defender",
          "promotion", "sacrifice", "quiet-move")


def value(piece: str | None) -> int:
    return VALUES[piece.upper()] if piece else 0


def colour(piece: str) -> str:
    return "w" if piece.isupper() else "b"


def other(c: str) -> str:
    return "b" if c == "w" else "w"


def material(pos: chess.Position, side: str) -> int:
    """Material of `side` minus the other's, the king not counted."""
    total = 0
    for p in pos.board:
        if p and p.upper() != "K":
            total += value(p) if colour(p) == side else -value(p)
    return total


def attacks_from(pos: chess.Position, sq: int) -> set[int]:
    """The squares the man on sq attacks (for a pawn, its two diagonals)."""
    p = pos.board[sq]
    kind = p.upper()
    f0, r0 = sq % 8, sq // 8
    out = set()
    if kind == "P":
        dr = 1 if p.isupper() else -1
        for df in (-1, 1):
            if chess._on_board(f0 + df, r0 + dr):
                out.add(f0 + df + 8 * (r0 + dr))
    elif kind in "NK":
        for df, dr in (chess.KNIGHT_STEPS if kind == "N" else chess.KING_STEPS):
            if chess._on_board(f0 + df, r0 + dr):
                out.add(f0 + df + 8 * (r0 + dr))
    else:
        for df, dr in SLIDES[kind]:
            f, r = f0 + df, r0 + dr
            while chess._on_board(f, r):
                out.add(f + 8 * r)
                if pos.board[f + 8 * r] is not None:
                    break
                f, r = f + df, r + dr
    return out


def ray_behind(pos: chess.Position, frm: int, through: int) -> int | None:
    """The first occupied square beyond `through` on the line from `frm`, if any."""
    df = (through % 8 > frm % 8) - (through % 8 < frm % 8)
    dr = (through // 8 > frm // 8) - (through // 8 < frm // 8)
    f, r = through % 8 + df, through // 8 + dr
    while chess._on_board(f, r):
        if pos.board[f + 8 * r] is not None:
            return f + 8 * r
        f, r = f + df, r + dr
    return None


def defended(pos: chess.Position, sq: int, by: str) -> bool:
    return bool(pos.attackers(sq, by))


class Line:
    """The positions and moves of a problem, with the squares each man walks."""

    def __init__(self, fen: str, moves):
        self.moves_uci = tuple(moves)
        self.positions = pool.positions(fen, moves)
        self.moves = [self.positions[i].move_from_uci(u) for i, u in enumerate(moves)]
        self.solver = self.positions[0].turn
        self.defender = other(self.solver)

    def solver_indices(self):
        return range(0, len(self.moves), 2)

    def later_capture_of(self, start: int, sq: int, by_piece_from: int | None = None) -> bool:
        """Is the man standing on sq after move `start` taken by the solver later on?

        The man is followed as it moves; by_piece_from, if given, is the square
        the capturing solver man stands on after move `start` (followed too).
        """
        target, hunter = sq, by_piece_from
        for i in range(start + 1, len(self.moves)):
            m = self.moves[i]
            if i % 2 == 0:   # the solver
                if m.to == target and (hunter is None or m.frm == hunter):
                    return True
                if hunter is not None and m.frm == hunter:
                    hunter = m.to
            else:
                if m.frm == target:
                    target = m.to
                if hunter is not None and m.to == hunter:
                    return False     # the hunter was taken
        return False


def _fork(line: Line, i: int) -> str | None:
    """A double attack by the man just moved, with one of its targets taken later."""
    before, after, move = line.positions[i], line.positions[i + 1], line.moves[i]
    piece = after.board[move.to]
    if piece.upper() == "K":
        return None
    attacked = attacks_from(after, move.to)
    targets = []
    for sq in attacked:
        p = after.board[sq]
        if not p or colour(p) != line.defender or p.upper() == "P":
            continue
        if p.upper() == "K" or value(p) > value(piece) or not defended(after, sq, line.defender):
            targets.append(sq)
    if len(targets) < 2:
        return None
    won = any(line.later_capture_of(i, sq, move.to) for sq in targets if after.board[sq].upper() != "K")
    if not won:
        return None
    # The attack must be new: the man did not attack both from where it stood.
    if before.board[move.frm] and len(set(targets) & attacks_from(before, move.frm)) >= 2:
        return None
    return "fork" if piece.upper() == "N" else "double-attack"


def _pins_by(pos: chess.Position, attacker_side: str):
    """(slider, pinned, behind) squares where a man of the other side is pinned."""
    for sq, p in enumerate(pos.board):
        if not p or colour(p) != attacker_side or p.upper() not in SLIDES:
            continue
        for target in attacks_from(pos, sq):
            t = pos.board[target]
            if not t or colour(t) == attacker_side or t.upper() == "K":
                continue
            # The pinned man must stand on the slider's own kind of line.
            same_file_or_rank = target % 8 == sq % 8 or target // 8 == sq // 8
            if (p.upper() == "B" and same_file_or_rank) or (p.upper() == "R" and not same_file_or_rank):
                continue
            behind = ray_behind(pos, sq, target)
            if behind is None:
                continue
            b = pos.board[behind]
            if colour(b) != attacker_side and value(b) > value(t) and value(b) > value(p):
                yield sq, target, behind


def _pin(line: Line) -> bool:
    """A pinned defender's man is won, or cannot take back what the solver takes."""
    for i in line.solver_indices():
        after = line.positions[i + 1]
        for slider, pinned, behind in _pins_by(after, line.solver):
            if line.later_capture_of(i, pinned):
                return True
            move = line.moves[i]
            if line.positions[i].is_capture(move) and move.to in attacks_from(after, pinned) \
                    and after.board[behind].upper() == "K":
                return True
    return False


def _skewer(line: Line, i: int) -> bool:
    """A slider attacks a valuable man; it steps aside and the man behind is taken."""
    after, move = line.positions[i + 1], line.moves[i]
    piece = after.board[move.to]
    if piece.upper() not in SLIDES:
        return False
    for target in attacks_from(after, move.to):
        t = after.board[target]
        if not t or colour(t) != line.defender or t.upper() not in "KQR":
            continue
        behind = ray_behind(after, move.to, target)
        if behind is None or colour(after.board[behind]) != line.defender:
            continue
        if value(after.board[behind]) >= value(t):
            continue
        if i + 2 < len(line.moves) and line.moves[i + 1].frm == target \
                and line.moves[i + 2].frm == move.to and line.moves[i + 2].to == behind:
            return True
    return False


def _discovered(line: Line, i: int) -> tuple[bool, bool]:
    """(discovered check, discovered attack won) for solver move i."""
    before, after, move = line.positions[i], line.positions[i + 1], line.moves[i]
    king = after.king_square(line.defender)
    check = any(sq != move.to for sq in after.attackers(king, line.solver))
    attack = False
    for sq, p in enumerate(after.board):
        if sq == move.to or not p or colour(p) != line.solver or p.upper() not in SLIDES \
                or before.board[sq] != p:
            continue
        new = attacks_from(after, sq) - attacks_from(before, sq)
        for target in new:
            t = after.board[target]
            if t and colour(t) == line.defender and t.upper() != "K" and value(t) >= 3 \
                    and line.later_capture_of(i, target, sq):
                attack = True
    return check, attack


def _guards(pos: chess.Position, sq: int, target: int) -> bool:
    return target in attacks_from(pos, sq)


def _exploits(line: Line, j: int) -> bool:
    """Solver move j takes something, mates or promotes: the point of a combination."""
    pos, move = line.positions[j], line.moves[j]
    return pos.is_capture(move) or bool(move.promotion) or line.positions[j + 1].is_mate()


def _deflection_and_attraction(line: Line) -> tuple[bool, bool]:
    deflection = attraction = False
    for i in line.solver_indices():
        if i + 2 >= len(line.moves):
            break
        reply, nxt = line.moves[i + 1], line.moves[i + 2]
        before_reply, after_reply = line.positions[i + 1], line.positions[i + 2]
        mover = before_reply.board[reply.frm]
        if not _exploits(line, i + 2):
            continue
        # Deflection: the man that answered guarded the square the solver now
        # uses, and from its new square it no longer does.
        if nxt.to != reply.to and mover.upper() != "K" \
                and _guards(before_reply, reply.frm, nxt.to) \
                and not _guards(after_reply, reply.to, nxt.to):
            deflection = True
        # Attraction: the solver gave up a man on a square the answer takes,
        # and the next move hits the man lured there or mates with it in the way.
        if before_reply.board[reply.to] and reply.to == line.moves[i].to \
                and colour(before_reply.board[reply.to]) == line.solver:
            after_next = line.positions[i + 3]
            hit = reply.to in attacks_from(after_next, nxt.to)
            blocks = False
            if after_next.is_mate():
                k = after_next.king_square(line.defender)
                blocks = reply.to in attacks_from(after_next, k) and mover.upper() != "K"
            if hit or blocks:
                attraction = True
    return deflection, attraction


def _removal_of_defender(line: Line) -> bool:
    """The solver takes a man that guarded the square of its next capture or mate."""
    for i in line.solver_indices():
        if i + 2 >= len(line.moves):
            break
        pos, move = line.positions[i], line.moves[i]
        if not pos.is_capture(move) or not _exploits(line, i + 2):
            continue
        target = line.moves[i + 2].to
        if target != move.to and _guards(pos, move.to, target):
            return True
    return False


def _sacrifice(line: Line) -> bool:
    """The defender takes material and the solver does not take it straight back.

    An exchange (a rook for a rook on e8, then mate) is no sacrifice; a queen
    given for a bishop before the mate is.
    """
    start = material(line.positions[0], line.solver)
    for i in range(1, len(line.moves), 2):
        if material(line.positions[i + 1], line.solver) <= start - 2:
            after_next = line.positions[i + 2] if i + 2 < len(line.positions) else None
            if after_next is None or material(after_next, line.solver) <= start - 2:
                return True
    return False


def material_gain(line: Line) -> int:
    """What the line wins, with the defender's obvious recapture of the last move."""
    end = line.positions[-1]
    gain = material(end, line.solver) - material(line.positions[0], line.solver)
    last = line.moves[-1]
    piece = end.board[last.to]
    attackers = end.attackers(last.to, line.defender)
    if attackers and not end.is_mate():
        cheapest = min(value(end.board[a]) for a in attackers)
        if not end.attackers(last.to, line.solver):
            gain -= value(piece)
        elif value(piece) > cheapest:
            gain -= value(piece) - cheapest
    return gain


def _hanging(line: Line) -> bool:
    pos, move = line.positions[0], line.moves[0]
    taken = pos.board[move.to]
    return bool(taken) and value(taken) >= 3 and not defended(pos, move.to, line.defender)


def _back_rank(end: chess.Position, defender: str) -> bool:
    k = end.king_square(defender)
    home = 0 if defender == "w" else 7
    if k // 8 != home:
        return False
    forward = 1 if defender == "w" else -1
    for df in (-1, 0, 1):
        f = k % 8 + df
        if 0 <= f < 8:
            p = end.board[f + 8 * (home + forward)]
            if p is None or colour(p) != defender:
                if not end.attackers(f + 8 * (home + forward), other(defender)):
                    return False
    checkers = end.checkers()
    return any(c // 8 == home and end.board[c].upper() in "RQ" for c in checkers)


def _smothered(end: chess.Position, defender: str) -> bool:
    k = end.king_square(defender)
    checkers = end.checkers()
    if len(checkers) != 1 or end.board[checkers[0]].upper() != "N":
        return False
    for df, dr in chess.KING_STEPS:
        f, r = k % 8 + df, k // 8 + dr
        if chess._on_board(f, r):
            p = end.board[f + 8 * r]
            if p is None or colour(p) != defender:
                return False
    return True


def tag(fen: str, moves) -> tuple:
    """The theme tokens of a problem, in TOKENS order."""
    line = Line(fen, moves)
    found = set()
    end = line.positions[-1]
    n = (len(line.moves) + 1) // 2
    if end.is_mate():
        found |= {"mate", f"mate-in-{n}"}
        if _back_rank(end, line.defender):
            found.add("back-rank-mate")
        if _smothered(end, line.defender):
            found.add("smothered-mate")
    elif material_gain(line) >= 2:
        found.add("material")
    for i in line.solver_indices():
        kind = _fork(line, i)
        if kind:
            found.add(kind)
        if _skewer(line, i):
            found.add("skewer")
        check, attack = _discovered(line, i)
        after = line.positions[i + 1]
        if check:
            found.add("discovered-check")
        if attack:
            found.add("discovered-attack")
        if len(after.checkers()) >= 2:
            found.add("double-check")
        if line.moves[i].promotion:
            found.add("promotion")
    if _pin(line):
        found.add("pin")
    deflection, attraction = _deflection_and_attraction(line)
    if deflection:
        found.add("deflection")
    if attraction:
        found.add("attraction")
    if _removal_of_defender(line):
        found.add("removal-of-the-defender")
    if _sacrifice(line):
        found.add("sacrifice")
    if "mate" not in found and n <= 2 and _hanging(line):
        found.add("hanging-piece")
    first, start = line.moves[0], line.positions[0]
    if not start.is_capture(first) and not first.promotion and not line.positions[1].in_check():
        found.add("quiet-move")
    return tuple(t for t in TOKENS if t in found)

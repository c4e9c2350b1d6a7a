"""The themes of a problem, read from its line by our chess rules alone.

Each theme is a pattern in the positions along the solution, as a trainer
would name it; content/README.md gives each rule in a teacher's words. The
rules agree with the tags that players of a large puzzle site see on its
problems (tools/problems/test_tagger.py holds them to that). The tagging needs
no engine, so a retag of the whole pool takes seconds and is the same on
every machine.

Indices: positions[0] is the solver's position and moves[i] leads from
positions[i] to positions[i + 1]; the solver plays the even moves, the
defender the odd ones. The opponent's move that led to positions[0], when
known, is `last`.
"""
from __future__ import annotations

import os
import re
import sys
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402
from attacks import (LINE_KINDS, attacks_from, between, colour, hanging,  # noqa: E402
                     has_move_off, in_danger, kind, material, other, pin_line, trapped, value)


@dataclass(frozen=True)
class Theme:
    token: str      # what the pool, the data file and the solvers store
    russian: str    # the name the solvers show in Russian
    english: str    # and in English


# Every theme, in the order its token is written into an entry. The solvers
# show a problem's themes by these names.
THEMES = (
    Theme("mate", "Мат", "Checkmate"),
    Theme("mate-in-1", "Мат в 1 ход", "Mate in 1"),
    Theme("mate-in-2", "Мат в 2 хода", "Mate in 2"),
    Theme("mate-in-3", "Мат в 3 хода", "Mate in 3"),
    Theme("mate-in-4", "Мат в 4 хода", "Mate in 4"),
    Theme("mate-in-5", "Мат в 5 ходов", "Mate in 5"),
    Theme("back-rank-mate", "Мат по последней горизонтали", "Back-rank mate"),
    Theme("smothered-mate", "Спёртый мат", "Smothered mate"),
    Theme("material", "Выигрыш материала", "Winning material"),
    Theme("hanging-piece", "Незащищённая фигура", "Hanging piece"),
    Theme("trapped-piece", "Ловля фигуры", "Trapped piece"),
    Theme("fork", "Вилка", "Fork"),
    Theme("double-attack", "Двойной удар", "Double attack"),
    Theme("pin", "Связка", "Pin"),
    Theme("skewer", "Сквозной удар", "Skewer"),
    Theme("x-ray", "Рентген", "X-ray"),
    Theme("discovered-attack", "Вскрытое нападение", "Discovered attack"),
    Theme("discovered-check", "Вскрытый шах", "Discovered check"),
    Theme("double-check", "Двойной шах", "Double check"),
    Theme("deflection", "Отвлечение", "Deflection"),
    Theme("attraction", "Завлечение", "Attraction"),
    Theme("removal-of-the-defender", "Уничтожение защиты", "Removal of the defender"),
    Theme("clearance", "Освобождение поля или линии", "Clearance"),
    Theme("interference", "Перекрытие", "Interference"),
    Theme("intermezzo", "Промежуточный ход", "Intermezzo"),
    Theme("exposed-king", "Открытый король", "Exposed king"),
    Theme("promotion", "Превращение пешки", "Promotion"),
    Theme("sacrifice", "Жертва", "Sacrifice"),
    Theme("quiet-move", "Тихий ход", "Quiet move"),
)
TOKENS = tuple(t.token for t in THEMES)

# A pawn that reaches this rank, counted from its own side, is close to
# promoting: pushing it there is a threat in itself, never a quiet move.
ADVANCED_RANK = 6
# What a capture took when only the fact of the capture is known.
UNKNOWN_MAN = "?"


@dataclass(frozen=True)
class Last:
    """The opponent's move that set the problem: its squares and what it took.

    `took` is the letter of the man it took ('Q', 'R', 'B', 'N', 'P'),
    UNKNOWN_MAN for a capture of a man not known, or None when it took
    nothing. Written as tag.py reads it: the move in coordinates, then for a
    capture "x" and the letter of the man taken if known: "d4e6", "d8d1xr",
    "d8d1x".
    """
    frm: int
    to: int
    took: str | None = None

    TEXT = re.compile(r"([a-h][1-8])([a-h][1-8])[qrbn]?(x[qrbnp]?)?")

    @staticmethod
    def parse(text: str) -> "Last":
        m = Last.TEXT.fullmatch(text.strip().lower())
        if not m:
            raise ValueError(f"'{text.strip()}' is no move in coordinates, optionally with "
                             "'x' and the letter of the man it took (e.g. d4e6, d8d1xr, d8d1x)")
        took = m.group(3)
        return Last(chess.square(m.group(1)), chess.square(m.group(2)),
                    None if not took else took[1:].upper() or UNKNOWN_MAN)

    @staticmethod
    def from_game(fen: str, uci: str) -> "Last":
        """The move that led to a position of a game, its capture read from the FEN.

        The FEN's halfmove clock is 0 after a capture or a pawn move, so a man
        other than a pawn took something exactly when it is 0, and a pawn did
        when it changed file. Only for FENs of real games (the miner's).
        """
        last = Last.parse(uci)
        pos = chess.parse_fen(fen)
        mover = pos.board[last.to]
        if kind(mover) == "P" or (uci[4:] and uci[4] in "qrbn"):
            took = last.frm % 8 != last.to % 8
        else:
            took = pos.halfmove == 0
        return Last(last.frm, last.to, UNKNOWN_MAN if took else None)

    def worth_taken(self) -> int:
        """What the move took, an unknown man counted as the most valuable."""
        return value("Q") if self.took == UNKNOWN_MAN else value(self.took)


def _move(uci: str) -> chess.Move:
    """A move already found legal by pool.positions, read from its coordinates."""
    promotion = uci[4].upper() if len(uci) > 4 else None
    return chess.Move(chess.square(uci[:2]), chess.square(uci[2:4]), promotion)


class Line:
    """The positions and moves of a problem, and the questions every rule asks."""

    def __init__(self, fen: str, moves, last: Last | None = None):
        self.positions = pool.positions(fen, moves)
        self.moves = [_move(u) for u in moves]
        self.solver = self.positions[0].turn
        self.defender = other(self.solver)
        self.last = last
        self._mate: dict = {}
        if last is not None:
            mover = self.positions[0].board[last.to]
            if not mover or colour(mover) != self.defender or self.positions[0].board[last.frm]:
                raise chess.ChessError(
                    f"the last move {chess.square_name(last.frm)}{chess.square_name(last.to)} "
                    "does not end on a man of the side that just moved, or its square "
                    "of departure is not empty")

    def solver_moves(self, first: bool = True, final: bool = True) -> list[int]:
        """Indices of the solver's moves, without the first or the final one if asked."""
        n = len(self.moves)
        return [i for i in range(0, n, 2) if (first or i > 0) and (final or i < n - 1)]

    def man(self, i: int) -> str:
        """The man that made move i, where it stands after it (a promoted pawn is the new man)."""
        return self.positions[i + 1].board[self.moves[i].to]

    def taken(self, i: int) -> str | None:
        """The man move i took on its square (an en passant capture takes none there)."""
        return self.positions[i].board[self.moves[i].to]

    def captures(self, i: int) -> bool:
        return self.positions[i].is_capture(self.moves[i])

    def gives_check(self, i: int) -> bool:
        return self.positions[i + 1].in_check()

    def mates(self, i: int) -> bool:
        if i not in self._mate:
            self._mate[i] = self.positions[i + 1].is_mate()
        return self._mate[i]

    def ends_in_mate(self) -> bool:
        return self.mates(len(self.moves) - 1)


# -------------------------------------------------------------- mates ----
def _mate(line: Line) -> bool:
    return line.ends_in_mate()


def _mate_in(n: int):
    return lambda line: line.ends_in_mate() and len(line.solver_moves()) == n


def _smothered_mate(line: Line) -> bool:
    """A knight mates a king hemmed in on every side by its own men."""
    if not line.ends_in_mate():
        return False
    end = line.positions[-1]
    king = end.king_square(line.defender)
    if not any(kind(end.board[c]) == "N" for c in end.checkers()):
        return False
    return all(end.board[s] and colour(end.board[s]) == line.defender
               for s in attacks_from(end, king))


def _back_rank_mate(line: Line) -> bool:
    """Mate on the king's home rank by a man on that rank, the king walled in by its own
    men on the squares in front of it; a square there may instead be covered by a
    solver's pawn. A smothered mate is not one."""
    if not line.ends_in_mate() or _smothered_mate(line):
        return False
    end = line.positions[-1]
    king = end.king_square(line.defender)
    home = 0 if line.defender == "w" else 7
    if king // 8 != home:
        return False
    ahead = home + (1 if line.defender == "w" else -1)
    for sq in range(8 * ahead + max(0, king % 8 - 1), 8 * ahead + min(8, king % 8 + 2)):
        p, attackers = end.board[sq], end.attackers(sq, line.solver)
        walled = p is not None and colour(p) == line.defender and not attackers
        if not walled and not any(kind(end.board[a]) == "P" for a in attackers):
            return False
    return any(c // 8 == home for c in end.checkers())


# ---------------------------------------------------- winning a man ----
def material_gain(line: Line) -> int:
    """What the line wins, with the defender's obvious recapture of the last move."""
    end = line.positions[-1]
    gain = material(end, line.solver) - material(line.positions[0], line.solver)
    last = line.moves[-1]
    piece = end.board[last.to]
    attackers = end.attackers(last.to, line.defender)
    if attackers and not line.ends_in_mate():
        cheapest = min(value(end.board[a]) for a in attackers)
        if not end.attackers(last.to, line.solver):
            gain -= value(piece)
        elif value(piece) > cheapest:
            gain -= value(piece) - cheapest
    return gain


def _material(line: Line) -> bool:
    return not line.ends_in_mate() and material_gain(line) >= 2


def _hanging_piece(line: Line) -> bool:
    """The first move takes a man (knight or more) that nothing guards, and keeps it.

    Not when it takes back on the square where the opponent's last move has
    just taken a man worth as much (an exchange); and in a longer line, not
    when the defender's answer wins the material back.
    """
    pos, first = line.positions[0], line.moves[0]
    taken = pos.board[first.to]
    if kind(taken) in ("", "P") or not hanging(pos, first.to):
        return False
    last = line.last
    if last and last.to == first.to and last.took and last.worth_taken() >= value(taken):
        return False
    if len(line.moves) < 3:
        return True
    return material(line.positions[3], line.solver) >= material(line.positions[1], line.solver)


def _trapped_piece(line: Line) -> bool:
    """The solver takes a man (knight or more) that had no safe square to go to."""
    for i in line.solver_moves(first=False):
        if kind(line.taken(i)) in ("", "P"):
            continue
        sq = line.moves[i].to
        if line.moves[i - 1].to == sq:        # it ran there: was it caught where it stood?
            sq = line.moves[i - 1].frm
        if trapped(line.positions[i - 1], sq):
            return True
    return False


# ---------------------------------------------------- double attack ----
def _double_attackers(line: Line) -> set[str]:
    """The kinds of men that make a double attack with a solver move before the last.

    The man (not the king) stands safe where it went and attacks two men,
    pawns aside, each worth more than itself (the king most of all) or
    unguarded and not hitting back at it.
    """
    kinds = set()
    for i in line.solver_moves(final=False):
        after, to = line.positions[i + 1], line.moves[i].to
        attacker = after.board[to]
        if kind(attacker) == "K" or in_danger(after, to):
            continue
        hitting_back = set(after.attackers(to, line.defender))
        targets = 0
        for sq in attacks_from(after, to):
            p = after.board[sq]
            if not p or colour(p) != line.defender or kind(p) == "P":
                continue
            if value(p) > value(attacker) or (hanging(after, sq) and sq not in hitting_back):
                targets += 1
        if targets >= 2:
            kinds.add(kind(attacker))
    return kinds


def _fork(line: Line) -> bool:
    return bool(_double_attackers(line))


def _double_attack(line: Line) -> bool:
    """A double attack by a man other than a knight: the textbook's "двойной удар"."""
    return bool(_double_attackers(line) - {"N"})


# --------------------------------------------------- along the lines ----
def _pin(line: Line) -> bool:
    """After a solver move, a man pinned to its king cannot do what it otherwise would.

    It cannot take a solver's man off its line (one worth more than itself,
    or unguarded); or it is attacked along its line and cannot run: it is
    worth more than its attacker, or it is unguarded, does not hit back and
    would have somewhere off the line to go.
    """
    for i in line.solver_moves():
        pos = line.positions[i + 1]
        for sq, p in enumerate(pos.board):
            if not p or colour(p) != line.defender:
                continue
            pinned = pin_line(pos, sq)
            if pinned is None:
                continue
            for t in attacks_from(pos, sq) - pinned:
                q = pos.board[t]
                if q and colour(q) == line.solver and (value(q) > value(p) or hanging(pos, t)):
                    return True
            for a in pos.attackers(sq, line.solver):
                if a not in pinned:
                    continue
                if value(p) > value(pos.board[a]):
                    return True
                if hanging(pos, sq) and sq not in pos.attackers(a, line.defender) \
                        and has_move_off(pos, sq, pinned):
                    return True
    return False


def _skewer(line: Line) -> bool:
    """A line piece attacks a valuable man; it steps aside and the man behind it,
    now lost, is taken along the same line."""
    for i in line.solver_moves(first=False):
        move, answer = line.moves[i], line.moves[i - 1]
        taken = line.taken(i)
        if not taken or kind(line.man(i)) not in LINE_KINDS or line.mates(i):
            continue
        if answer.to == move.to or answer.frm not in between(move.frm, move.to):
            continue
        stepped_aside = line.positions[i].board[answer.to]
        if value(stepped_aside) > value(taken) and in_danger(line.positions[i], move.to):
            return True
    return False


def _x_ray(line: Line) -> bool:
    """The defender takes back on a square through which a solver's line piece
    looks, and that line piece takes there in turn."""
    for i in line.solver_moves(first=False):
        if not line.captures(i):
            continue
        move, answer, before = line.moves[i], line.moves[i - 1], line.moves[i - 2]
        if answer.to != move.to or kind(line.man(i - 1)) == "K" or before.to != answer.to:
            continue
        if answer.frm in between(move.frm, move.to):
            return True
    return False


def _discovered_check(line: Line) -> bool:
    """A solver move gives check with a man other than the one that moved."""
    return any(line.gives_check(i) and line.moves[i].to not in line.positions[i + 1].checkers()
               for i in line.solver_moves())


def _double_check(line: Line) -> bool:
    return any(len(line.positions[i + 1].checkers()) > 1 for i in line.solver_moves())


def _discovered_attack(line: Line) -> bool:
    """A solver's man steps off a line and the line piece behind it later takes along it.

    A discovered check counts too. The man that stepped aside is not the one
    that takes, castling uncovers nothing, and once the defender has taken
    back on the square of a capture, what follows is an exchange.
    """
    if _discovered_check(line):
        return True
    for i in line.solver_moves(first=False):
        if not line.captures(i):
            continue
        move, answer, uncover = line.moves[i], line.moves[i - 1], line.moves[i - 2]
        if answer.to == move.to:
            return False
        if uncover.frm in between(move.frm, move.to) and move.to != uncover.to \
                and move.frm != uncover.to and not line.positions[i - 2].is_castling(uncover):
            return True
    return False


# ------------------------------------------------ moving a defender ----
def _deflection(line: Line) -> bool:
    """A defender's man is drawn away from guarding a square, and the solver uses it.

    The solver's move before answered it by taking the man offered (one that
    did not win material outright) or by getting out of its check. Then the
    solver takes on the square it guarded (a man no more valuable than the
    taker) or promotes there, or mates there after the man took the offer.
    """
    for i in line.solver_moves(first=False):
        move, answer, lure = line.moves[i], line.moves[i - 1], line.moves[i - 2]
        taken = line.taken(i)
        took_offer = answer.to == lure.to
        mate_on_it = line.mates(i) and took_offer and kind(line.man(i - 1)) != "K"
        if not (taken or move.promotion or mate_on_it):
            continue
        if taken and value(taken) > value(line.man(i)):
            continue
        lure_took = line.taken(i - 2)
        if lure_took and value(lure_took) >= value(line.man(i - 2)):
            continue
        if move.to in (answer.to, lure.to) or not (took_offer or line.gives_check(i - 2)):
            continue
        guard = line.positions[i - 1]
        guarded = move.to in attacks_from(guard, answer.frm) or (
            move.promotion and move.to % 8 == answer.frm % 8
            and move.frm in attacks_from(guard, answer.frm))
        if guarded and move.to not in attacks_from(line.positions[i], answer.to):
            return True
    return False


def _attraction(line: Line) -> bool:
    """The solver offers a man; a king, queen or rook takes it and is hit on that square.

    The king is then checked there; a queen or rook is then taken there, or
    stays there blocking its own king's flight square when the next move mates.
    """
    for i in line.solver_moves(final=False):
        answer = line.moves[i + 1]
        lured = kind(line.man(i + 1))
        if answer.to != line.moves[i].to or lured not in ("K", "Q", "R") \
                or i + 2 >= len(line.moves):
            continue
        square, after = answer.to, line.positions[i + 3]
        if lured != "K" and line.mates(i + 2) and after.board[square] == line.man(i + 1) \
                and square in attacks_from(after, after.king_square(line.defender)):
            return True
        if line.moves[i + 2].to not in after.attackers(square, line.solver):
            continue
        if lured == "K" or (i + 4 < len(line.moves) and line.moves[i + 4].to == square):
            return True
    return False


def _removal_of_the_defender(line: Line) -> bool:
    """The solver takes a man that guarded a square, without check, then uses that
    square: takes an unguarded man there with a man at least as valuable, or mates."""
    for i in line.solver_moves(first=False):
        move, answer, removal = line.moves[i], line.moves[i - 1], line.moves[i - 2]
        taken = line.taken(i)
        use = line.mates(i) or (
            taken and kind(line.man(i)) != "K" and value(taken) <= value(line.man(i))
            and hanging(line.positions[i], move.to) and answer.to != move.to)
        if not use or line.gives_check(i - 2) or removal.to == move.frm:
            continue
        before = line.positions[i - 2]
        guard = before.board[removal.to]
        if guard and not before.in_check() \
                and removal.to in before.attackers(move.to, colour(guard)):
            return True
    return False


def _interference(line: Line) -> bool:
    """A man steps between a line piece and the man it guarded, which is then taken.

    The man that cuts the line is the defender's own (its answer) or the
    solver's (its move before that answer).
    """
    for i in line.solver_moves(first=False):
        sq = line.moves[i].to
        if not line.taken(i) or not hanging(line.positions[i], sq):
            continue
        answer, cut = line.moves[i - 1], line.moves[i - 2]
        if _line_guard_cut(line.positions[i - 1], sq, line.defender, answer.to):
            return True
        if answer.to != sq and _line_guard_cut(line.positions[i - 2], sq, line.defender, cut.to):
            return True
    return False


def _line_guard_cut(pos: chess.Position, sq: int, owner: str, blocker: int) -> bool:
    """Did a line piece of `owner` guard sq in pos, along a line through `blocker`?"""
    return any(kind(pos.board[g]) in LINE_KINDS and blocker in between(sq, g)
               for g in pos.attackers(sq, owner))


def _clearance(line: Line) -> bool:
    """A solver's man leaves a square or a line, and a line piece then goes there.

    The line piece (taking nothing, not giving check to a king that has just
    moved) goes to the square the first man left or along the line it
    cleared; the first man went to an empty square, or where it is lost.
    """
    for i in line.solver_moves(first=False):
        move, clear = line.moves[i], line.moves[i - 2]
        if line.taken(i) or kind(line.man(i)) not in LINE_KINDS or clear.promotion:
            continue
        if clear.to in (move.frm, move.to) or line.positions[i].in_check():
            continue
        if line.gives_check(i) and kind(line.man(i - 1)) == "K":
            continue
        if clear.frm != move.to and clear.frm not in between(move.frm, move.to):
            continue
        if not line.taken(i - 2) or in_danger(line.positions[i - 1], clear.to):
            return True
    return False


def _intermezzo(line: Line) -> bool:
    """The opponent takes a man; the solver, instead of taking back at once, first
    plays another move the defender must answer, then takes back.

    The first capture after the solver's first move decides: the answer
    before it came from a man that was not guarding that square, and the
    move before the in-between move took on it while the solver could have
    taken back straight away.
    """
    for i in line.solver_moves(first=False):
        if not line.captures(i):
            continue
        move, answer, in_between = line.moves[i], line.moves[i - 1], line.moves[i - 2]
        if answer.frm in line.positions[i - 1].attackers(move.to, line.defender):
            continue
        if in_between.to == move.to:
            continue
        return _took_on(line, i - 3) == move.to and move in line.positions[i - 2].legal_moves()
    return False


def _took_on(line: Line, j: int) -> int | None:
    """The square move j (the opponent's last move for j = -1) took a man on, if it did."""
    if j >= 0:
        return line.moves[j].to if line.captures(j) else None
    return line.last.to if line.last and line.last.took else None


# ------------------------------------------------------ the others ----
def _exposed_king(line: Line) -> bool:
    """The defender's king, on its own side of the board with no pawn of its own
    beside it or in front of it, is checked by a solver move neither first nor last."""
    start = line.positions[0]
    king = start.king_square(line.defender)
    towards = 1 if line.defender == "w" else -1      # a rank step towards the solver
    if (king // 8 if line.defender == "w" else 7 - king // 8) > 2:
        return False
    pawn = "P" if line.defender == "w" else "p"
    for df in (-1, 0, 1):
        for dr in (0, towards):
            f, r = king % 8 + df, king // 8 + dr
            if (df or dr) and chess._on_board(f, r) and start.board[f + 8 * r] == pawn:
                return False
    return any(line.gives_check(i) for i in line.solver_moves(first=False, final=False))


def _promotion(line: Line) -> bool:
    return any(line.moves[i].promotion for i in line.solver_moves())


def _sacrifice(line: Line) -> bool:
    """After a solver move other than the first, the solver has two pawns' worth less
    than at the start, and the defender won nothing back by promoting."""
    start = material(line.positions[0], line.solver)
    if not any(material(line.positions[i + 1], line.solver) <= start - 2
               for i in line.solver_moves(first=False)):
        return False
    return not any(line.moves[i].promotion for i in range(1, len(line.moves), 2))


def _quiet_move(line: Line) -> bool:
    """A solver move before the last that threatens nothing at once.

    It takes nothing, neither gives check nor answers one, attacks no man from
    where it lands, and is no king move and no push of a pawn close to promoting.
    """
    for i in line.solver_moves(final=False):
        move = line.moves[i]
        if line.positions[i].in_check() or line.gives_check(i) or line.captures(i) \
                or move.promotion or kind(line.man(i)) == "K":
            continue
        if kind(line.man(i)) == "P":
            rank = move.to // 8 if line.solver == "w" else 7 - move.to // 8
            if rank + 1 >= ADVANCED_RANK:
                continue
        after = line.positions[i + 1]
        if not any(after.board[t] and colour(after.board[t]) == line.defender
                   for t in attacks_from(after, move.to)):
            return True
    return False


# Each token's rule, in the order of THEMES.
RULES = {
    "mate": _mate,
    **{f"mate-in-{n}": _mate_in(n) for n in range(1, 6)},
    "back-rank-mate": _back_rank_mate,
    "smothered-mate": _smothered_mate,
    "material": _material,
    "hanging-piece": _hanging_piece,
    "trapped-piece": _trapped_piece,
    "fork": _fork,
    "double-attack": _double_attack,
    "pin": _pin,
    "skewer": _skewer,
    "x-ray": _x_ray,
    "discovered-attack": _discovered_attack,
    "discovered-check": _discovered_check,
    "double-check": _double_check,
    "deflection": _deflection,
    "attraction": _attraction,
    "removal-of-the-defender": _removal_of_the_defender,
    "clearance": _clearance,
    "interference": _interference,
    "intermezzo": _intermezzo,
    "exposed-king": _exposed_king,
    "promotion": _promotion,
    "sacrifice": _sacrifice,
    "quiet-move": _quiet_move,
}
assert tuple(RULES) == TOKENS, "every theme has one rule, in the order of THEMES"


def tag(fen: str, moves, last: Last | None = None) -> tuple:
    """The theme tokens of a problem, in TOKENS order; raises chess.ChessError.

    `last`, the opponent's move that led to fen, tells a man just won back
    from a hanging one and an in-between move from a plain one; without it
    those two rules judge by the position alone.
    """
    line = Line(fen, moves, last)
    return tuple(token for token, rule in RULES.items() if rule(line))


def tag_problem(problem: pool.Problem) -> tuple:
    """The theme tokens of a pool problem, with the opponent's move its source names."""
    mistake = pool.mistake(problem)
    last = Last.from_game(problem.fen, mistake) if mistake else None
    return tag(problem.fen, problem.moves, last)

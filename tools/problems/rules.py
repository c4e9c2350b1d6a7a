"""What makes a position and a line a problem, as decided by the engine.

Every search here runs on one thread from a cleared hash to a fixed node
count, so the same problem gets the same verdict on every run and machine
with the same engine: the miner builds each line with exactly the searches
that the CI check repeats.

The rules (content/README.md says them in words):
- the first move wins: a forced mate in at most five, or at least +200
  centipawns, and below +400 only when the solver is down material, so the
  win is a real combination and not a count of what is already there;
- every solver move is the only good one: its win chances beat the second
  best move's by more than 0.7. A mate in one is the only good move when no
  move that does not mate keeps win chances above 0.6 (any mate is right);
- the defender answers with the engine's best move;
- the line goes on while the solver's best move stays winning and unique,
  ends on a solver move, and has at most five solver moves; a mate problem
  goes on to the mate, and a second mate anywhere on the way spoils it.
"""
from __future__ import annotations

import math
import os
import sys
from dataclasses import dataclass, field

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402
import engine  # noqa: E402

# Nodes per search for the checks: 150,000 nodes on one thread take about
# 0.2 s here, and a problem needs two to four searches, so the whole set is
# re-checked in CI within a few minutes on two cores.
CHECK_NODES = 150_000
# The miner confirms each new problem once more with searches twice as deep, so
# what enters the pool does not rest on one shallow verdict alone.
DEEP_NODES = 300_000
HASH_MB = 16

MAX_SOLVER_MOVES = pool.MAX_SOLVER_MOVES
WIN_CP = 200                 # the least advantage a problem wins
COMBINATION_CP = 400         # below this, only when the solver is down material
UNIQUE_GAP = 0.7             # win-chance margin of the only good move
MATE_IN_ONE_RIVAL = 0.6      # a non-mating move above this spoils a mate in one
DEFENCE_SLACK_CP = 30        # a hand-written defence this close to the best is as good

VALUES = {"P": 1, "N": 3, "B": 3, "R": 5, "Q": 9, "K": 0}


def win_chances(line: engine.Line) -> float:
    """The public puzzle rules' win chances, from -1 to 1; a mate counts as +-1."""
    if line.kind == "mate":
        return 1.0 if line.value > 0 else -1.0
    return 2 / (1 + math.exp(-0.00368208 * line.value)) - 1


def win_chances_cp(cp: int) -> float:
    return 2 / (1 + math.exp(-0.00368208 * cp)) - 1


def material(pos: chess.Position, colour: str) -> int:
    return sum(VALUES[p.upper()] for p in pos.board
               if p and (p.isupper() == (colour == "w")))


def balance(pos: chess.Position, colour: str) -> int:
    """Material of `colour` minus the other side's, in pawns."""
    other = "b" if colour == "w" else "w"
    return material(pos, colour) - material(pos, other)


def decisive(line: engine.Line) -> bool:
    return (line.kind == "mate" and line.value > 0) or (line.kind == "cp" and line.value >= WIN_CP)


class Rejected(Exception):
    """A position or line that is not a problem; `rule` names which rule said so."""

    def __init__(self, rule: str, text: str):
        super().__init__(text)
        self.rule = rule


@dataclass
class Step:
    """What the engine said about one solver move."""
    best: engine.Line
    second: engine.Line | None
    move: str


@dataclass
class Verdict:
    moves: tuple
    mate: bool                       # the line ends in mate
    steps: list = field(default_factory=list)


class Judge:
    """Runs the rules with one engine at one node budget.

    Every search starts from a cleared hash, so the same search always gives
    the same lines: a judge remembers the searches of its last problem, and
    checking a line it has just built costs nothing more.
    """

    MEMORY = 64          # searches remembered; a problem needs at most about twenty

    def __init__(self, eng: engine.Engine, nodes: int = CHECK_NODES):
        self.eng = eng
        self.nodes = nodes
        self._memory: dict = {}

    def _search(self, fen, played, multipv=1, searchmoves=()):
        key = (fen, tuple(played), multipv, tuple(searchmoves))
        if key not in self._memory:
            if len(self._memory) >= self.MEMORY:
                self._memory.pop(next(iter(self._memory)))
            self._memory[key] = engine.Engine.best_lines(
                self.eng.go(fen, played, nodes=self.nodes, multipv=multipv,
                            searchmoves=searchmoves))
        return self._memory[key]

    def _mate_in_one(self, fen: str, played: tuple, pos: chess.Position) -> tuple[set, float]:
        """The mating moves by our rules, and the win chances of the best other move."""
        legal = pos.legal_moves()
        mates = {m.uci() for m in legal if pos.push(m).is_mate()}
        others = [m.uci() for m in legal if m.uci() not in mates]
        if not others:
            return mates, -1.0
        rival = self._search(fen, played, 1, others).get(1)
        return mates, (win_chances(rival) if rival else -1.0)

    def _solver_step(self, fen: str, played: tuple, pos: chess.Position, index: int,
                     mate_line: bool) -> Step:
        """Raises Rejected unless the solver has one winning move here."""
        where = f"solver move {index + 1}"
        lines = self._search(fen, played, 2)
        best, second = lines.get(1), lines.get(2)
        if best is None:
            raise Rejected("no-line", f"{where}: the engine gave no line")
        if not decisive(best):
            raise Rejected("not-winning", f"{where}: the best move {best.pv[0]} only "
                           f"reaches {best.describe()}")
        if best.kind == "mate" and index + best.value > MAX_SOLVER_MOVES:
            raise Rejected("long-mate", f"{where}: mate in {best.value}, which ends after "
                           f"solver move {MAX_SOLVER_MOVES}")
        if best.kind == "mate" and best.value == 1:
            # The second line is the best move that does not mate, unless it
            # mates too; only then search the non-mating moves on their own.
            if second is None or second.kind != "mate" or second.value <= 0:
                rival = win_chances(second) if second else -1.0
            else:
                rival = self._mate_in_one(fen, played, pos)[1]
            if rival > MATE_IN_ONE_RIVAL:
                raise Rejected("not-unique", f"{where}: besides the mate, a move keeps win "
                               f"chances {rival:.2f} (more than {MATE_IN_ONE_RIVAL})")
            return Step(best, second, best.pv[0])
        if index == 0 and best.kind == "cp" and best.value < COMBINATION_CP \
                and balance(pos, pos.turn) >= 0:
            raise Rejected("not-combination", f"{where}: {best.describe()} is below "
                           f"+{COMBINATION_CP} and the solver is not down material")
        if mate_line and best.kind != "mate":
            raise Rejected("lost-mate", f"{where}: the mate is gone ({best.describe()})")
        if second is not None:
            gap = win_chances(best) - win_chances(second)
            if gap <= UNIQUE_GAP:
                rule = "second-mate" if second.kind == "mate" and second.value > 0 else "not-unique"
                raise Rejected(rule, f"{where}: {second.pv[0]} ({second.describe()}) is nearly "
                               f"as good as {best.pv[0]} ({best.describe()}): win chances "
                               f"differ by {gap:.2f}, not more than {UNIQUE_GAP}")
        elif index == 0:
            raise Rejected("forced", f"{where}: the only legal move, nothing to find")
        return Step(best, second, best.pv[0])

    def build(self, fen: str) -> Verdict:
        """The line from fen by the rules; raises Rejected if it is no problem."""
        pos = chess.parse_fen(fen)
        played: tuple = ()
        steps: list = []
        mate_line = mate = False
        for index in range(MAX_SOLVER_MOVES):
            try:
                step = self._solver_step(fen, played, pos, index, mate_line)
            except Rejected:
                # A line of material stops before the first solver move that is
                # not the only good one, and so drops the reply before it; the
                # first move and every move of a mate must hold.
                if index == 0 or mate_line:
                    raise
                played = played[:-1]
                break
            if index == 0:
                mate_line = step.best.kind == "mate"
            steps.append(step)
            pos = pos.push(pos.move_from_uci(step.move))
            played += (step.move,)
            if pos.is_mate():
                mate = True
                break
            if index + 1 == MAX_SOLVER_MOVES:
                break
            reply = self._search(fen, played, 1).get(1)
            if reply is None:
                break
            pos = pos.push(pos.move_from_uci(reply.pv[0]))
            played += (reply.pv[0],)
        if mate_line and not mate:
            raise Rejected("lost-mate", "the mate does not come within "
                           f"{MAX_SOLVER_MOVES} solver moves")
        return Verdict(played, mate, steps)

    def check(self, fen: str, moves) -> Verdict:
        """Raises Rejected unless the given line keeps every rule."""
        moves = tuple(moves)
        try:
            chain = pool.positions(fen, moves)
        except chess.ChessError as e:
            raise Rejected("illegal", str(e)) from None
        if len(moves) % 2 == 0:
            raise Rejected("illegal", "the line ends on a move of the defender")
        verdict = Verdict(moves, chain[-1].is_mate())
        mate_line = False
        for i in range(0, len(moves), 2):
            index = i // 2
            step = self._solver_step(fen, moves[:i], chain[i], index, mate_line)
            if index == 0:
                mate_line = step.best.kind == "mate"
            verdict.steps.append(step)
            if step.best.kind == "mate" and step.best.value == 1:
                if not chain[i + 1].is_mate():
                    raise Rejected("not-best", f"solver move {index + 1}: {moves[i]} does not "
                                   f"mate, {step.move} does")
                if i + 1 != len(moves):
                    raise Rejected("illegal", f"solver move {index + 1} mates, yet the line goes on")
            elif moves[i] != step.move:
                raise Rejected("not-best", f"solver move {index + 1}: the engine's only good "
                               f"move is {step.move}, not {moves[i]}")
            if i + 1 < len(moves):
                self._check_reply(fen, moves, i + 1)
        if mate_line and not verdict.mate:
            raise Rejected("lost-mate", "a mate problem whose line does not end in mate")
        return verdict

    def _check_reply(self, fen: str, moves: tuple, i: int) -> None:
        best = self._search(fen, moves[:i], 1).get(1)
        if best is None or best.pv[0] == moves[i]:
            return
        given = self._search(fen, moves[:i], 1, (moves[i],)).get(1)
        where = f"defender move {i // 2 + 1}: {moves[i]}"
        if given is None:
            raise Rejected("weak-defence", f"{where} gives the engine no line")
        if best.kind == "mate":
            if given.kind == "mate" and given.value == best.value:
                return
        elif given.centipawns() >= best.centipawns() - DEFENCE_SLACK_CP:
            return
        raise Rejected("weak-defence", f"{where} ({given.describe()}) is weaker than the "
                       f"engine's {best.pv[0]} ({best.describe()})")


#!/usr/bin/env python3
"""Mines problems from engine games and appends them to the pool.

A game starts from the initial position with an opening chosen among the
engine's near-best moves, so the openings are real ones, and goes on with the
engine's good moves. At every position after the opening the miner also
tries plausible mistakes beside the game: the top moves of shallow searches,
more of them where the position is sharp. When
the reply to that mistake turns the game (the side to move was not winning
and not ahead in material, and now a quick search gives it a forced mate or
+200 with win chances up by more than 0.6), the position after the mistake is
a candidate, and only candidates get the full rules of rules.py and then a
deeper confirmation. A position gives one problem at most: of its candidates
that keep the rules, a mate first, then the longest line. The game itself
never plays the mistake, so it stays balanced and gives candidates all the
way through.

Every search is from a cleared hash to a fixed node count or depth on one
thread, and the game's random choices come from its seed, so a source line
"mined seed=17 ply=31 mistake=f6e4" can be replayed: mine.py --replay 17.

Work goes in seeds (one game each). Finished seeds are listed in the state
file; a worker takes the seeds of its share that are not listed, so a killed
run resumes where it stopped, and a seed redone after a kill only finds the
positions it already wrote, which the pool refuses as duplicates.

usage: mine.py [--minutes M] [--worker K --workers N] [--pool FILE] [--state FILE]
               [--stats FILE] [--seeds A-B] [--shape all|longer|mates]
       mine.py --replay SEED
"""
from __future__ import annotations

import argparse
import json
import os
import random
import sys
import time
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import chess  # noqa: E402
import difficulty  # noqa: E402
import engine  # noqa: E402
import rules  # noqa: E402
import themes  # noqa: E402

START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
STATE = os.path.join(pool.ROOT, "content", "problems.state")

OPENING_NODES = 60_000        # the opening: near-best moves of a fair search
OPENING_SPREAD_CP = 35        # how far below the best an opening move may be
PLAY_NODES = (10_000, 20_000, 40_000)   # the game's strength, chosen per game
PLAY_SPREAD_CP = 15           # later moves: an equal alternative now and then
PLAY_VARIED = 0.3             # how often a later move is chosen among the near-best
# Games from this seed on are played more loosely: a later move is chosen
# among those within SHARP_SPREAD_CP of the best half of the time. Such games
# keep more tension and give mates and combinations more often, at the same
# cost a game (measured over the same seeds: 37% mates among what was found
# against 17%, as many longer lines). Earlier seeds keep the games they
# had, so every problem's source still replays.
SHARP_GAMES_FROM = 1000
SHARP_SPREAD_CP = 60
SHARP_VARIED = 0.5
# The shallow searches whose top moves are plausible mistakes: depth 2 sees
# a piece left hanging but not a fork or a mate two moves deep, so its top
# moves include the mistakes that combinations punish; depth 5 gives the
# subtler ones. Each position tries the top moves of both.
MISTAKE_DEPTHS = (2, 5)
MISTAKE_LINES = 5
# A sharp position gets SHARP_LINES of each search: the mover is in check,
# or one of the depth-5 search's top moves already loses SHARP_DROP_CP, or
# the other side threatens something (given the move, a glance sees it
# winning THREAT_CP or mating). There more of the plausible moves lose at
# once, and more often to a mate or a forcing line, which are the problems
# the pool has fewest of.
SHARP_LINES = 10
SHARP_DROP_CP = 150
THREAT_CP = 300
GLANCE_NODES = 3_000          # a first glance after each mistake: most change little
GLANCE_CP = 150               # what the glance must see to look closer
QUICK_NODES = 10_000          # the quick look at the position after a mistake
# The quick look already weeds out what the rules would reject at many times
# the cost: a second move nearly as good (a looser margin than the rules',
# since a quick search is rough), or a mate far beyond five moves.
QUICK_GAP = 0.4
QUICK_MATE_LIMIT = 7
PREVIEW_GAP = 0.3             # the quick look at the second solver move (second_move_likely)
MAX_PLIES = 120
# A game whose pieces (not pawns) are down to this many points a side is
# over for mining: bare endings give little but pawn races.
ENDING_PIECES = 3
GAP_PLIES = 8                 # problems of one game lie at least this far apart
# What a run writes (--shape): mates and lines of two or more solver moves, so
# that a win of material shows both the blow and what it collects (the
# default; it also saves the deep confirmation of one-move wins); only mates;
# or every problem, the one-move wins too, which only the practice course's
# first lessons use.
SHAPES = ("all", "longer", "mates")
LOPSIDED_CP = 700             # a game this far gone for a few moves is over


def engine_cpu_seconds(eng: engine.Engine) -> float:
    """CPU time of the engine process so far, from /proc (Linux)."""
    try:
        with open(f"/proc/{eng.proc.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except (OSError, IndexError, ValueError):
        return 0.0


class Miner:
    def __init__(self, eng: engine.Engine, pool_path: str, stats: Counter, verbose=False,
                 shape: str = "all"):
        self.eng = eng
        self.judge = rules.Judge(eng, rules.CHECK_NODES)
        self.deep = rules.Judge(eng, rules.DEEP_NODES)
        self.pool_path = pool_path
        self.stats = stats
        self.verbose = verbose
        self.shape = shape
        self.known: set = set()

    def lines(self, fen, moves, *, nodes=None, depth=None, multipv=1):
        return engine.Engine.best_lines(self.eng.go(fen, moves, nodes=nodes, depth=depth,
                                                    multipv=multipv))

    def choose(self, rng: random.Random, lines: dict, spread: int) -> engine.Line:
        ranked = sorted(lines.values(), key=lambda l: -l.centipawns())
        best = ranked[0].centipawns()
        near = [l for l in ranked if l.centipawns() >= best - spread]
        weights = [len(near) - i + 1 for i in range(len(near))]
        return rng.choices(near, weights)[0]

    def play(self, seed: int, on_position=None) -> list[str]:
        """Plays game `seed`; on_position(ply, played, pos, lines, move) sees each position
        after the opening, with the game's search there, before its move is played."""
        rng = random.Random(f"zelmiku-problems-{seed}")
        opening = rng.randint(6, 16)
        nodes = rng.choice(PLAY_NODES)
        sharp = seed >= SHARP_GAMES_FROM
        spread = SHARP_SPREAD_CP if sharp else PLAY_SPREAD_CP
        varied = SHARP_VARIED if sharp else PLAY_VARIED
        played: list[str] = []
        pos = chess.parse_fen(START)
        lopsided = 0
        for ply in range(MAX_PLIES):
            if not pos.legal_moves():
                break
            if ply < opening:
                lines = self.lines(START, played, nodes=OPENING_NODES, multipv=4)
                chosen = self.choose(rng, lines, OPENING_SPREAD_CP)
            else:
                lines = self.lines(START, played, nodes=nodes, multipv=3)
                chosen = self.choose(rng, lines, spread) if rng.random() < varied \
                    else lines[1]
            best = lines[1]
            if on_position and ply >= opening:
                on_position(ply, tuple(played), pos, lines, chosen.pv[0])
            lopsided = lopsided + 1 if abs(best.centipawns()) >= LOPSIDED_CP else 0
            if lopsided >= 6 or pos.halfmove >= 60 or self.ending(pos):
                break
            played.append(chosen.pv[0])
            pos = pos.push(pos.move_from_uci(chosen.pv[0]))
        return played

    @staticmethod
    def ending(pos: chess.Position) -> bool:
        """Both sides are down to ENDING_PIECES points of pieces or fewer."""
        pieces = {"w": 0, "b": 0}
        for p in pos.board:
            if p and p.upper() in "NBRQ":
                pieces["w" if p.isupper() else "b"] += rules.VALUES[p.upper()]
        return max(pieces.values()) <= ENDING_PIECES

    def mine_game(self, seed: int) -> list[pool.Problem]:
        found: list[pool.Problem] = []
        last_ply = [-GAP_PLIES]
        before: list = [None]        # the previous position and the game's search there

        def probe(ply, played, pos, lines, main_move):
            self.stats["positions"] += 1
            previous, before[0] = before[0], (pos, lines[1])
            if previous and ply - 1 - last_ply[0] >= GAP_PLIES:
                problem = self.probe_game_move(seed, ply - 1, played, previous, pos, lines)
                if problem:
                    found.append(problem)
                    last_ply[0] = ply - 1
            if ply - last_ply[0] < GAP_PLIES:
                return
            problem = self.probe(seed, ply, played, pos, lines[1], main_move)
            if problem:
                found.append(problem)
                last_ply[0] = ply

        self.play(seed, probe)
        self.stats["games"] += 1
        return found

    def probe_game_move(self, seed, ply, played, previous, pos, lines) -> pool.Problem | None:
        """Did the game's own move at `ply` (played[-1]) hand the other side a win?

        The games are played loosely enough that now and then a move the game
        chose at its modest depth loses to a combination. The game's search
        of the next position already shows it, so this costs no search of its
        own until the screens of a mistake's candidate pass.
        """
        before_pos, before_best = previous
        quick, rival = lines.get(1), lines.get(2)
        solver = pos.turn
        before = -before_best.centipawns()
        if before >= rules.WIN_CP or rules.balance(before_pos, solver) > 0 \
                or quick is None or not rules.decisive(quick):
            return None
        if not self.turned(before, quick, rival, pos, solver, played[:-1], played[-1]):
            return None
        self.stats["game-move candidates"] += 1
        fen = pos.fen()
        verdict = self.build(fen, seed, ply, played[-1])
        if verdict and not self.wanted(verdict):
            self.stats["skipped:" + self.shape] += 1
            return None
        problem = verdict and self.confirm(fen, verdict, seed, ply, played[-1])
        if problem:
            self.stats["problems:game-move"] += 1
        return problem

    def probe(self, seed, ply, played, pos, best, main_move) -> pool.Problem | None:
        """Tries the plausible mistakes at this position; returns the problem it wrote."""
        mover = pos.turn
        solver = "b" if mover == "w" else "w"
        before = -best.centipawns()            # the solver's view before the mistake
        if before >= rules.WIN_CP or rules.balance(pos, solver) > 0:
            return None
        mistakes: list[str] = []
        for depth, ranked in self.shallow_lines(played, pos):
            for line in ranked:
                if line.pv[0] != main_move and line.pv[0] not in mistakes:
                    mistakes.append(line.pv[0])
        # Look at every mistake first and verify the candidates mates first:
        # mates are the rarer find, and a position gives one problem at most.
        candidates = []
        for mistake in mistakes:
            self.stats["mistakes tried"] += 1
            glance = self.lines(START, played + (mistake,), nodes=GLANCE_NODES).get(1)
            if glance is None or glance.centipawns() < GLANCE_CP:
                continue
            looks = self.lines(START, played + (mistake,), nodes=QUICK_NODES, multipv=2)
            quick, rival = looks.get(1), looks.get(2)
            if quick is None or not rules.decisive(quick):
                continue
            after = pos.push(pos.move_from_uci(mistake))
            if not self.turned(before, quick, rival, after, solver, played, mistake):
                continue
            candidates.append((mistake, after.fen()))
        # Build every candidate's line, then confirm the best first: a mate,
        # then the most solver moves, then the order of the mistakes.
        built = []
        for mistake, fen in candidates:
            verdict = self.build(fen, seed, ply, mistake)
            if verdict and not self.wanted(verdict):
                self.stats["skipped:" + self.shape] += 1
            elif verdict:
                built.append((mistake, fen, verdict))
        for mistake, fen, verdict in best_first(built):
            problem = self.confirm(fen, verdict, seed, ply, mistake)
            if problem:
                return problem
        return None

    def turned(self, before: int, quick: engine.Line, rival, after: chess.Position,
               solver: str, played: tuple, mistake: str) -> bool:
        """Did the mistake turn the game, by a quick look, into a candidate worth building?

        `before` is the solver's view before the mistake, `quick` and `rival`
        the quick look's two best lines after it. Cheap rejections first.
        """
        rise = rules.win_chances(quick) - rules.win_chances_cp(max(-3000, min(3000, before)))
        if rise <= 0.6:
            return False
        self.stats["candidates"] += 1
        if quick.kind == "mate":
            self.stats["mate candidates"] += 1
        if quick.kind == "cp" and quick.value < rules.COMBINATION_CP \
                and rules.balance(after, solver) >= 0:
            self.stats["rejected:quick-not-combination"] += 1
            return False
        if rival is not None and not (quick.kind == "mate" and quick.value == 1):
            if rules.win_chances(quick) - rules.win_chances(rival) <= QUICK_GAP:
                self.stats["rejected:quick-not-unique"] += 1
                return False
        if quick.kind == "mate" and quick.value > QUICK_MATE_LIMIT:
            self.stats["rejected:quick-long-mate"] += 1
            return False
        if self.shape != "all" and quick.kind != "mate" \
                and not self.second_move_likely(played + (mistake,), quick):
            self.stats["skipped:quick-one-move"] += 1
            return False
        return True

    def second_move_likely(self, played: tuple, quick: engine.Line) -> bool:
        """Would a win of material go on to a second solver move that is the only good one?

        Most wins a quick look finds are one blow, and a line of one move is
        not what a run of shape longer writes; building it by the rules costs
        three full searches. So the quick look's line is followed one move
        further at its own depth: the key, the reply it expects, and then the
        solver's best move must stand out by PREVIEW_GAP, a looser margin than
        the rules', since a quick search is rough.
        """
        if len(quick.pv) < 2:
            return True
        looks = self.lines(START, played + quick.pv[:2], nodes=QUICK_NODES, multipv=2)
        best, rival = looks.get(1), looks.get(2)
        if best is None or not rules.decisive(best):
            return False
        return rival is None or rules.win_chances(best) - rules.win_chances(rival) > PREVIEW_GAP

    def wanted(self, verdict: rules.Verdict) -> bool:
        """Is the line of the shape this run writes? See SHAPES."""
        if self.shape == "mates":
            return verdict.mate
        if self.shape == "longer":
            return verdict.mate or len(verdict.moves) > 1
        return True

    def shallow_lines(self, played: tuple, pos: chess.Position):
        """(depth, lines best first) of the searches whose top moves are the mistakes.

        The depth-5 search comes first: it tells whether the position is sharp,
        and then both searches give SHARP_LINES.
        """
        deep = max(MISTAKE_DEPTHS)
        ranked = best_lines_first(self.lines(START, played, depth=deep, multipv=SHARP_LINES))
        top = ranked[:MISTAKE_LINES]
        sharp = pos.in_check() or (
            len(top) > 1 and top[0].centipawns() - top[-1].centipawns() >= SHARP_DROP_CP) \
            or self.threat(pos)
        width = SHARP_LINES if sharp else MISTAKE_LINES
        if sharp:
            self.stats["sharp positions"] += 1
        out = []
        for depth in MISTAKE_DEPTHS:
            if depth == deep:
                out.append((depth, ranked[:width]))
            else:
                lines = self.lines(START, played, depth=depth, multipv=width)
                out.append((depth, best_lines_first(lines)))
        return out

    def threat(self, pos: chess.Position) -> bool:
        """Would the side not to move win at once if it had the move?"""
        if pos.in_check():
            return False
        fields = pos.fen().split()
        fields[1] = "b" if fields[1] == "w" else "w"
        fields[3] = "-"
        glance = self.lines(" ".join(fields), (), nodes=GLANCE_NODES).get(1)
        return glance is not None and glance.centipawns() >= THREAT_CP

    def build(self, fen: str, seed: int, ply: int, mistake: str) -> rules.Verdict | None:
        """The candidate's line by the rules, or None (counted by the rule that refused it)."""
        if pool.position_key(fen) in self.known:
            self.stats["rejected:duplicate"] += 1
            return None
        try:
            return self.judge.build(fen)
        except rules.Rejected as e:
            self.rejected("", e, seed, ply, mistake)
            return None

    def rejected(self, stage: str, e: rules.Rejected, seed: int, ply: int, mistake: str):
        """Counts a candidate refused by a rule (at a stage: "" or "deep ")."""
        self.stats["rejected:" + stage + e.rule] += 1
        if self.verbose:
            print(f"  seed {seed} ply {ply} {mistake}: {e.rule}: {e}", flush=True)

    def confirm(self, fen: str, verdict: rules.Verdict, seed: int, ply: int,
                mistake: str) -> pool.Problem | None:
        """Checks a built line once more, deeply too, and writes the problem."""
        key = pool.position_key(fen)
        stage = ""
        try:
            self.judge.check(fen, verdict.moves)
            stage = "deep "
            self.deep.check(fen, verdict.moves)
        except rules.Rejected as e:
            self.rejected(stage, e, seed, ply, mistake)
            return None
        tags = themes.tag(fen, verdict.moves, themes.Last.from_game(fen, mistake))
        if self.shape != "all" and not verdict.mate and "material" not in tags:
            # The engine sees the win, but the line ends before it shows on the
            # board: no course takes such a line (make_courses.is_unfinished).
            self.stats["skipped:no-gain"] += 1
            return None
        rating = difficulty.rate(self.eng, fen, verdict.moves, tags)
        source = f"mined seed={seed} ply={ply} mistake={mistake}"

        def make(next_id, existing):
            self.known |= {p.position_key() for p in existing}
            if key in self.known:
                return None
            # Another run of the same seed (one killed and redone) may have
            # written a problem close by in this game.
            for p in existing:
                place = pool.game_and_ply(p)
                if place and place[0] == seed and abs(place[1] - ply) < GAP_PLIES:
                    return None
            return pool.Problem(next_id, fen, verdict.moves, tags, rating, source)

        written = pool.append(make, self.pool_path)
        if written is None:
            self.stats["rejected:duplicate"] += 1
            return None
        self.known.add(key)
        self.stats["problems"] += 1
        if verdict.mate:
            self.stats["problems:mate"] += 1
        if len(verdict.moves) > 1:
            self.stats["problems:multi-move"] += 1
        print(f"{written.id} seed={seed} ply={ply} {' '.join(written.moves)} "
              f"[{' '.join(tags)}] {rating}", flush=True)
        return written


def best_lines_first(lines: dict) -> list:
    """A search's lines (by their number), the strongest for the mover first."""
    return sorted(lines.values(), key=lambda l: -l.centipawns())


def best_first(built: list) -> list:
    """(mistake, fen, verdict) tuples, a mate first, then the most solver moves;
    otherwise in the order given (the order the mistakes were tried)."""
    return sorted(built, key=lambda b: (not b[2].mate, -len(b[2].moves)))


def read_state(path: str) -> set[int]:
    try:
        with open(path) as f:
            return {int(w) for w in f.read().split() if w.isdigit()}
    except FileNotFoundError:
        return set()


def mark_done(path: str, seed: int) -> None:
    with open(path, "a") as f:
        f.write(f"{seed}\n")
        f.flush()
        os.fsync(f.fileno())


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--minutes", type=float, default=60.0)
    parser.add_argument("--worker", type=int, default=0)
    parser.add_argument("--workers", type=int, default=1)
    parser.add_argument("--pool", default=pool.PROBLEMS)
    parser.add_argument("--state", default=STATE)
    parser.add_argument("--stats", help="append one JSON line per game to this file")
    parser.add_argument("--seeds", help="A-B: mine only these seeds (default: from 1 on)")
    parser.add_argument("--replay", type=int, help="print the game of this seed and stop")
    parser.add_argument("--shape", choices=SHAPES, default="longer",
                        help="mates and longer lines (the default), or only mates, or also "
                             "the one-move wins of material")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args(argv[1:])

    with engine.Engine(hash_mb=rules.HASH_MB, timeout=120) as eng:
        counts: Counter = Counter()
        miner = Miner(eng, args.pool, counts, args.verbose, args.shape)
        if args.replay is not None:
            def show(ply, played, pos, lines, main_move):
                print(f"ply {ply}: {pos.fen()}  best {lines[1].pv[0]} {lines[1].describe()}")
            print(" ".join(miner.play(args.replay, show)))
            return 0
        if os.path.exists(args.pool):
            miner.known = {p.position_key() for p in pool.load(args.pool)}
        lo, hi = (1, 10**9)
        if args.seeds:
            lo, hi = (int(x) for x in args.seeds.split("-"))
        deadline = time.monotonic() + 60 * args.minutes
        seed = lo
        while time.monotonic() < deadline and seed <= hi:
            done = read_state(args.state)
            if seed % args.workers != args.worker or seed in done:
                seed += 1
                continue
            cpu0, eng0 = time.process_time(), engine_cpu_seconds(eng)
            before = Counter(counts)
            miner.mine_game(seed)
            mark_done(args.state, seed)
            if args.stats:
                delta = {k: counts[k] - before[k] for k in counts if counts[k] != before[k]}
                record = {"seed": seed, "cpu": round(time.process_time() - cpu0
                                                     + engine_cpu_seconds(eng) - eng0, 2),
                          **delta}
                with open(args.stats, "a") as f:
                    f.write(json.dumps(record) + "\n")
            seed += 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

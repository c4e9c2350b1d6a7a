#!/usr/bin/env python3
"""Builds content/courses.txt from the pool by fixed rules, the same every run.

Ratings are on people's scale (content/README.md, Difficulty). The problems
are taken in this order, and none is used twice:

1. practice ("Тактика-0"): the textbook's themes in the textbook's order
   (PRACTICE_PAGES), the easiest problems of one or two solver moves, taken
   round by round from each theme so that every page gets its share; a
   single move that wins material without mate is a first lesson only, at
   most a third of the course;
2. tactics1 ... tactics9: nine runs of rising rating, each placed so that its
   median comes nearest its level (LEVELS): 1-2 for the 4th category, 3-5 the
   3rd, 6-8 the 2nd, 9 the 1st; mixed themes, easiest first;
3. checkmate ("Шах и мат"): mates only, a quarter of the mates of each
   length from two moves on set aside before the courses take their runs,
   then spread over the range of what is left; from mate in 1 to mate in 5,
   easiest first;
4. tactics ("Тактика"): material-winning combinations, one of every theme
   set aside before the courses take their runs, then spread over the range
   of what is left; easiest first (the wins it and material want are kept
   out of the runs where the runs would leave too few: runs_leaving_wins);
5. material (hidden "Тактика на выигрыш материала"): material wins only;
6. problembook (hidden "Задачник"): a mixed book spread over everything left.

Outside practice every problem is a mate or a line of at least two solver
moves: a single capture ends before its gain is seen. A line that neither
mates nor wins material by its end is in no course.

Each course's size is its share by MINIMUM of the pool's problems other than
single captures (1,500 of them give every course exactly its minimum); a course that gets fewer than its minimum
is reported, not refused, so a small pool still yields every course.

usage: make_courses.py [--pool FILE] [--out FILE]   writes courses.txt
       make_courses.py --check                       the committed file is what the rules give
       make_courses.py --minimums                    every course has its minimum
"""
from __future__ import annotations

import argparse
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402

MINIMUM = {"practice": 40, **{f"tactics{n}": 100 for n in range(1, 10)},
           "checkmate": 200, "tactics": 200, "problembook": 80, "material": 80}

# The median each of Тактика-1 to -9 aims at: from what a 4th-category
# player solves about half the time to what a 1st-category player does.
LEVELS = (1000, 1110, 1220, 1340, 1450, 1560, 1680, 1790, 1900)

# The textbook's pages that open practice, in order, with the themes of each
# (content/textbook.txt): pages 8-10 are one family and share one group; 15-19
# have no practice; the final combination of page 20 is a sacrifice.
PRACTICE_PAGES = (
    (2, ("mate-in-1",)),                      # Как читать страницу
    (3, ("hanging-piece",)),                  # Цена фигур
    (4, ("double-attack",)),                  # Двойной удар ферзём
    (5, ("fork",)),                           # Вилка конём
    (6, ("pin",)),                            # Связка
    (7, ("skewer",)),                         # Сквозной удар
    (10, ("discovered-attack", "discovered-check", "double-check")),
    (11, ("back-rank-mate",)),                # Мат по последней горизонтали
    (12, ("removal-of-the-defender",)),       # Уничтожение защиты
    (13, ("deflection",)),                    # Отвлечение
    (14, ("attraction",)),                    # Завлечение
    (20, ("sacrifice",)),                     # Морфи: финал
)
# Every double attack carries "fork"; one by a man other than a knight also
# carries "double-attack" (page 4), so page 5, the knight's fork, leaves those out.
PRACTICE_EXCLUDED = {5: ("double-attack",)}
PRACTICE_MAX_MOVES = 2
# Practice is for beginners: nothing above what a 4th-category player solves.
PRACTICE_MAX_RATING = 1100
# At most this share of practice is single captures.
PRACTICE_SINGLE_SHARE = 1 / 3
# The share (per cent) of the mates of each length from two moves on that
# the checkmate book sets aside before the courses take their runs.
CHECKMATE_LONG_SHARE = 25
# How many runs' worth of the hardest wins the courses keep before the
# collections of wins set theirs aside.
HARDEST_WINS_KEPT = 2
# Setting wins aside moves the runs, which may then take others; a few rounds
# of placing them again settle it.
SET_ASIDE_ROUNDS = 8
TACTICS_THEMES = ("fork", "double-attack", "pin", "skewer", "x-ray", "discovered-attack",
                  "discovered-check", "double-check", "deflection", "attraction",
                  "removal-of-the-defender", "clearance", "interference", "intermezzo",
                  "trapped-piece", "exposed-king", "hanging-piece", "promotion", "sacrifice",
                  "quiet-move")


def ordered(problems):
    """By rating; of equal ratings the shorter line first, then by id."""
    return sorted(problems, key=lambda p: (p.difficulty, p.solver_moves(), p.id))


def spread(problems, k: int) -> list:
    """k problems evenly spaced over the list sorted by difficulty."""
    sorted_ = ordered(problems)
    m = len(sorted_)
    k = min(k, m)
    return [sorted_[int((i + 0.5) * m / k)] for i in range(k)]


def is_mate(p) -> bool:
    return "mate" in p.themes


def is_material(p) -> bool:
    return "material" in p.themes and not is_mate(p)


def is_single_capture(p) -> bool:
    """One solver move that does not mate: a first lesson, never a course's problem."""
    return p.solver_moves() == 1 and not is_mate(p)


def is_unfinished(p) -> bool:
    """A line that neither mates nor wins material by its end: the engine
    sees the win, the learner does not, so no course uses it."""
    return not is_mate(p) and "material" not in p.themes


def is_usable(p) -> bool:
    """Can a course other than practice hold it?"""
    return not is_single_capture(p) and not is_unfinished(p)


def median(problems) -> float:
    return statistics.median(p.difficulty for p in problems) if problems else 0


def levelled(problems, size: int) -> list[list]:
    """Nine runs of `size` from the problems sorted by rating, each placed so
    that its median comes nearest its level; the runs follow one another, so
    the medians never fall, and what lies between them is left for the
    collections."""
    sorted_ = ordered(problems)
    runs, start = [], 0
    for n, level in enumerate(LEVELS):
        last = max(start, len(sorted_) - size * (len(LEVELS) - n))
        best = min(range(start, last + 1),
                   key=lambda i: (abs(sorted_[min(i + size // 2, len(sorted_) - 1)].difficulty
                                      - level) if sorted_ else 0, i))
        runs.append(sorted_[best:best + size])
        start = best + len(runs[-1])
    return runs


def runs_leaving_wins(problems, size: int, wanted: int) -> list[list]:
    """The nine runs (levelled), leaving at least `wanted` wins outside them
    where the problems allow.

    The runs take wins and mates alike by rating, and the mates lie lower, so
    left to themselves the runs take most of the wins and leave the two
    collections of wins short while easy mates go unused. So as many wins as
    would be missing are set aside first, spread over all but the hardest
    (HARDEST_WINS_KEPT runs' worth, which the top courses need), and the runs
    are placed again until enough are left.
    """
    wins = ordered(p for p in problems if is_material(p))
    below_the_top = wins[:max(0, len(wins) - HARDEST_WINS_KEPT * size)]
    set_aside = 0
    for _ in range(SET_ASIDE_ROUNDS):
        kept = {p.id for p in spread(below_the_top, set_aside)}
        runs = levelled([p for p in problems if p.id not in kept], size)
        in_runs = {p.id for run in runs for p in run}
        left = sum(1 for p in wins if p.id not in in_runs)
        if left >= wanted or set_aside >= len(below_the_top):
            break
        set_aside = min(len(below_the_top), set_aside + wanted - left)
    return runs


def practice(problems, size: int) -> list:
    groups = []
    for page, tokens in PRACTICE_PAGES:
        excluded = set(PRACTICE_EXCLUDED.get(page, ()))
        groups.append(ordered(p for p in problems if p.solver_moves() <= PRACTICE_MAX_MOVES
                              and p.difficulty <= PRACTICE_MAX_RATING and not is_unfinished(p)
                              and set(tokens) & set(p.themes)
                              and not excluded & set(p.themes)))
    singles = int(size * PRACTICE_SINGLE_SHARE)
    picked: list[list] = [[] for _ in groups]
    used: set = set()
    progress = True
    while progress and len(used) < size:
        progress = False
        for g, group in enumerate(groups):
            if len(used) >= size:
                break
            for p in group:
                if p.id in used or (is_single_capture(p) and singles == 0):
                    continue
                singles -= is_single_capture(p)
                picked[g].append(p)
                used.add(p.id)
                progress = True
                break
    return [p for g in picked for p in g]


def build(problems: list[pool.Problem]) -> tuple[dict, list[str]]:
    """The courses by the rules above, and the shortfalls as lines of text."""
    free = {p.id: p for p in problems}
    courses: dict = {}

    by_id = {p.id: p for p in problems}

    def take(chosen):
        for p in chosen:
            del free[p.id]
        return [p.id for p in chosen]

    def take_ids(chosen):
        """Like take, for a list some of whose problems were taken before."""
        take([p for p in chosen if p.id in free])
        return [p.id for p in chosen]

    # The textbook's course has its minimum from a pool of five times that:
    # its lessons are the easiest problems and the single captures, which no
    # other course needs. The others share what is left by their minimums.
    courses["practice"] = take(practice(problems, max(
        MINIMUM["practice"] * len(problems) // sum(MINIMUM.values()),
        min(MINIMUM["practice"], len(problems) // 5))))
    for p in [p for p in free.values() if not is_usable(p)]:
        del free[p.id]
    rest = sum(m for k, m in MINIMUM.items() if k != "practice")
    target = {k: max(1, m * len(free) // rest) for k, m in MINIMUM.items()}

    # The courses run up to the hardest problems there are, so the two
    # visible collections first set aside what they must show: a share of
    # the mates of every length from two moves on (mates in one abound), and
    # one win of every theme.
    mates = [p for p in free.values() if is_mate(p)]
    kept_mates = []
    for n in range(2, pool.MAX_SOLVER_MOVES + 1):
        of_length = [p for p in mates if p.solver_moves() == n]
        kept_mates += spread(of_length, -(-len(of_length) * CHECKMATE_LONG_SHARE // 100))
    kept_mates = take(kept_mates)
    wins = [p for p in free.values() if is_material(p)]
    kept_wins = []
    for theme in TACTICS_THEMES:
        with_theme = [p for p in wins if theme in p.themes and p.id not in set(kept_wins)]
        if with_theme:
            kept_wins.append(spread(with_theme, 1)[0].id)
    kept_wins = take([free[i] for i in kept_wins])

    size = min(target[f"tactics{n}"] for n in range(1, len(LEVELS) + 1))
    wanted = target["tactics"] + target["material"] - len(kept_wins)
    for n, run in enumerate(runs_leaving_wins(list(free.values()), size, wanted), start=1):
        courses[f"tactics{n}"] = take(run)

    mates = [p for p in free.values() if is_mate(p)]
    chosen = spread(mates, target["checkmate"] - len(kept_mates)) + [by_id[i] for i in kept_mates]
    courses["checkmate"] = take_ids(sorted(chosen, key=lambda p: (p.solver_moves(),
                                                                  p.difficulty, p.id)))

    # Then spread over the range. Where the wins left are fewer than both
    # collections want, they share them by their minimums, so neither is
    # left empty.
    wins = [p for p in free.values() if is_material(p)]
    both = MINIMUM["tactics"] + MINIMUM["material"]
    k = min(target["tactics"], -(-(len(wins) + len(kept_wins)) * MINIMUM["tactics"] // both))
    chosen = spread(wins, k - len(kept_wins)) + [by_id[i] for i in kept_wins]
    courses["tactics"] = take_ids(ordered(chosen))

    wins = [p for p in free.values() if is_material(p)]
    courses["material"] = take(ordered(spread(wins, target["material"])))
    courses["problembook"] = take(ordered(spread(list(free.values()), target["problembook"])))

    shortfalls = [f"{key}: {len(courses[key])} problems, fewer than the {MINIMUM[key]} wanted"
                  for key in pool.COURSE_KEYS if len(courses[key]) < MINIMUM[key]]
    return {key: courses[key] for key in pool.COURSE_KEYS}, shortfalls


def describe(problems, courses: dict) -> list[str]:
    """Each course's size, median and range of ratings, one line each."""
    by_id = {p.id: p for p in problems}
    out = []
    for key in pool.COURSE_KEYS:
        chosen = [by_id[i] for i in courses[key]]
        low = min((p.difficulty for p in chosen), default=0)
        high = max((p.difficulty for p in chosen), default=0)
        out.append(f"{key}: {len(chosen)}, median {median(chosen):.0f}, {low}-{high}")
    return out


def render(courses: dict) -> str:
    out = ["# Which problems of content/problems.txt each course and collection holds,",
           "# in order. Written by tools/problems/make_courses.py from the pool: do not",
           "# edit by hand, run the tool (content/README.md)."]
    for key in pool.COURSE_KEYS:
        out += ["", f"course: {key}", "problems: " + " ".join(courses[key])]
    return "\n".join(out) + "\n"


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--pool", default=pool.PROBLEMS)
    parser.add_argument("--out", default=pool.COURSES)
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true")
    mode.add_argument("--minimums", action="store_true")
    args = parser.parse_args(argv[1:])
    try:
        problems = pool.load(args.pool)
    except (pool.PoolError, OSError) as e:
        print(e, file=sys.stderr)
        return 1
    courses, shortfalls = build(problems)
    text = render(courses)
    if args.check:
        try:
            with open(args.out, encoding="utf-8") as f:
                committed = f.read()
        except OSError as e:
            print(f"{args.out}: {e.strerror}", file=sys.stderr)
            return 1
        if committed != text:
            print(f"{args.out} is not what make_courses.py builds from {args.pool}: "
                  "run tools/problems/make_courses.py and commit the result", file=sys.stderr)
            return 1
        return 0
    for line in shortfalls:
        print(f"short: {line}", file=sys.stderr)
    if args.minimums:
        return 1 if shortfalls else 0
    with open(args.out + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(args.out + ".tmp", args.out)
    print("\n".join(describe(problems, courses)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Builds content/courses.txt from the pool by fixed rules, the same every run.

The problems are taken in this order, and none is used twice:

1. practice ("Тактика-0"): the textbook's themes in the textbook's order
   (PRACTICE_PAGES), the easiest problems of one or two solver moves, taken
   round by round from each theme so that every page gets its share;
2. checkmate ("Шах и мат"): mates only, spread over the whole range of
   difficulty, then ordered from mate in 1 to mate in 5, easiest first;
3. tactics ("Тактика"): material-winning combinations, first one of every
   theme, then spread over the range; easiest first;
4. material (hidden "Тактика на выигрыш материала"): material wins only;
5. problembook (hidden "Задачник"): a mixed book spread over everything left;
6. tactics1 ... tactics9: everything left, by rising difficulty (of equal
   ratings the shorter line first), cut into nine equal runs: 1-2 for the
   4th category, 3-5 the 3rd, 6-8 the 2nd, 9 the 1st.

Each course's size is its share of the pool by MINIMUM (a pool of 480 gives
every course exactly its minimum); a course that gets fewer than its minimum
is reported, not refused, so a small pool still yields every course.

usage: make_courses.py [--pool FILE] [--out FILE]   writes courses.txt
       make_courses.py --check                       the committed file is what the rules give
       make_courses.py --minimums                    every course has its minimum
"""
from __future__ import annotations

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402

MINIMUM = {"practice": 30, **{f"tactics{n}": 30 for n in range(1, 10)},
           "checkmate": 60, "tactics": 60, "problembook": 30, "material": 30}

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
# Share of the mates the checkmate book may take, so the courses keep mates
# too; mates are a small part of what the miner finds, and the book needs 60.
CHECKMATE_SHARE = 0.8
# Share of the material wins each of the two material collections may take.
MATERIAL_SHARE = 0.3
TACTICS_THEMES = ("hanging-piece", "fork", "double-attack", "pin", "skewer",
                  "discovered-attack", "discovered-check", "double-check", "deflection",
                  "attraction", "removal-of-the-defender", "promotion", "sacrifice", "quiet-move")


def ordered(problems):
    """By rating; of equal ratings the shorter line first, then by id."""
    return sorted(problems, key=lambda p: (p.difficulty, p.solver_moves(), p.id))


def spread(problems, k: int) -> list:
    """k problems evenly spaced over the list sorted by difficulty."""
    sorted_ = ordered(problems)
    m = len(sorted_)
    k = min(k, m)
    return [sorted_[int((i + 0.5) * m / k)] for i in range(k)]


def is_material(p) -> bool:
    return "material" in p.themes and "mate" not in p.themes


def build(problems: list[pool.Problem]) -> tuple[dict, list[str]]:
    """The courses by the rules above, and the shortfalls as lines of text."""
    total = sum(MINIMUM.values())
    target = {k: max(1, MINIMUM[k] * len(problems) // total) for k in MINIMUM}
    free = {p.id: p for p in problems}
    courses: dict = {}

    def take(chosen):
        for p in chosen:
            del free[p.id]
        return [p.id for p in chosen]

    # 1. practice
    groups = []
    for page, tokens in PRACTICE_PAGES:
        excluded = set(PRACTICE_EXCLUDED.get(page, ()))
        groups.append(ordered(p for p in problems if p.solver_moves() <= PRACTICE_MAX_MOVES
                              and set(tokens) & set(p.themes) and not excluded & set(p.themes)))
    picked: list[list] = [[] for _ in groups]
    used: set = set()
    progress = True
    while progress and len(used) < target["practice"]:
        progress = False
        for g, group in enumerate(groups):
            if len(used) >= target["practice"]:
                break
            for p in group:
                if p.id not in used:
                    picked[g].append(p)
                    used.add(p.id)
                    progress = True
                    break
    courses["practice"] = take([p for g in picked for p in g])

    # 2. checkmate
    mates = [p for p in free.values() if "mate" in p.themes]
    k = min(target["checkmate"], int(len(mates) * CHECKMATE_SHARE))
    chosen = sorted(spread(mates, k), key=lambda p: (p.solver_moves(), p.difficulty, p.id))
    courses["checkmate"] = take(chosen)

    # 3. tactics: one of each theme first, then spread over the range
    wins = [p for p in free.values() if is_material(p)]
    k = min(target["tactics"], int(len(wins) * MATERIAL_SHARE))
    chosen, seen = [], set()
    for theme in TACTICS_THEMES:
        with_theme = [p for p in wins if theme in p.themes and p.id not in seen]
        if with_theme and len(chosen) < k:
            p = spread(with_theme, 1)[0]
            chosen.append(p)
            seen.add(p.id)
    chosen += spread([p for p in wins if p.id not in seen], k - len(chosen))
    courses["tactics"] = take(ordered(chosen))

    # 4. material
    wins = [p for p in free.values() if is_material(p)]
    courses["material"] = take(ordered(spread(wins, min(target["material"],
                                                        int(len(wins) * MATERIAL_SHARE)))))

    # 5. problembook
    courses["problembook"] = take(ordered(spread(list(free.values()), target["problembook"])))

    # 6. tactics1..9: the rest, in nine runs of rising difficulty
    rest = ordered(free.values())
    for n in range(9):
        run = rest[n * len(rest) // 9:(n + 1) * len(rest) // 9]
        courses[f"tactics{n + 1}"] = take(run)

    shortfalls = [f"{key}: {len(courses[key])} problems, fewer than the {MINIMUM[key]} wanted"
                  for key in pool.COURSE_KEYS if len(courses[key]) < MINIMUM[key]]
    return {key: courses[key] for key in pool.COURSE_KEYS}, shortfalls


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
    for key in pool.COURSE_KEYS:
        print(f"{key}: {len(courses[key])}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

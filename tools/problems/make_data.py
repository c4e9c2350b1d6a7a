#!/usr/bin/env python3
"""Writes the solver's data file Zadachi.dat from content/problems.txt and courses.txt.

Zadachi.dat is ASCII: "#" comment lines, then for each course of courses.txt,
in its order, a line "[key]" and one line per problem:

    id;fen;uci moves space-separated;themes space-separated;difficulty

Everything is checked first by our chess rules (a legal position, every move
legal, a line that ends on a solver move) and against the courses (every id
known, none in two courses); the first fault stops the build with
"file:line: what". The file is written beside its target and renamed into
place, so a failed build never leaves half a data file for the installer.

usage: make_data.py OUT [--problems FILE] [--courses FILE]
"""
from __future__ import annotations

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402


def render(problems: list[pool.Problem], courses: list[pool.Course], courses_path: str) -> str:
    by_id = {p.id: p for p in problems}
    placed: dict = {}
    out = ["# Zadachi.dat: the courses and problem collections of the solvers.",
           "# Written by tools/problems/make_data.py from content/problems.txt and",
           "# content/courses.txt; edit those, not this file.",
           "# [course] then id;fen;moves;themes;difficulty, one problem a line."]
    for course in courses:
        out.append(f"[{course.key}]")
        for pid in course.ids:
            if pid not in by_id:
                raise pool.PoolError(courses_path, course.line,
                                     f"course {course.key}: no problem {pid} in the pool")
            if pid in placed:
                raise pool.PoolError(courses_path, course.line,
                                     f"course {course.key}: {pid} is already in {placed[pid]}")
            placed[pid] = course.key
            p = by_id[pid]
            fields = [p.id, p.fen, " ".join(p.moves), " ".join(p.themes), str(p.difficulty)]
            out.append(";".join(fields))
    text = "\n".join(out) + "\n"
    if not text.isascii():
        raise pool.PoolError(courses_path, 1, "the data file would not be ASCII")
    return text


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--problems", default=pool.PROBLEMS)
    parser.add_argument("--courses", default=pool.COURSES)
    args = parser.parse_args(argv[1:])
    try:
        problems = pool.load(args.problems)
        courses = pool.load_courses(args.courses)
        text = render(problems, courses, args.courses)
    except pool.PoolError as e:
        print(e, file=sys.stderr)
        return 1
    except OSError as e:
        print(f"{e.filename}: {e.strerror}", file=sys.stderr)
        return 1
    folder = os.path.dirname(os.path.abspath(args.out))
    os.makedirs(folder, exist_ok=True)
    temporary = args.out + ".tmp"
    with open(temporary, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    os.replace(temporary, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Takes problems out of the pool, under the pool's lock, so a running miner
loses nothing it appends meanwhile.

  retire.py ID...                    the problems named
  retire.py --unused                 what no course uses and none may: the
                                     single captures practice does not use (a
                                     single move that wins material without
                                     mate ends before its gain is seen, so it
                                     serves only as a first lesson), and lines
                                     that neither mate nor win material

A learner's progress files name problems by id; one whose problem is gone is
skipped by the solvers, so retiring loses no one's other results. The last id
is never retired: the next problem is numbered after it, and a reused id would
give a learner's old result to a new problem.

usage: retire.py [--pool FILE] (--unused | ID...)
"""
from __future__ import annotations

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402
import make_courses  # noqa: E402


def unused(problems: list[pool.Problem]) -> set[str]:
    courses, _ = make_courses.build(problems)
    practice = set(courses["practice"])
    return {p.id for p in problems if not make_courses.is_usable(p) and p.id not in practice}


def last_id(problems: list[pool.Problem]) -> str | None:
    numbered = [p for p in problems if p.id.startswith("g")]
    return max(numbered, key=lambda p: int(p.id[1:])).id if numbered else None


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--pool", default=pool.PROBLEMS)
    parser.add_argument("--unused", action="store_true")
    parser.add_argument("ids", nargs="*")
    args = parser.parse_args(argv[1:])
    if args.unused == bool(args.ids):
        parser.error("name the problems, or give --unused")
    retired: list[str] = []

    def change(current):
        chosen = unused(current) if args.unused else set(args.ids)
        unknown = chosen - {p.id for p in current}
        if unknown:
            raise SystemExit(f"retire.py: no such problem: {' '.join(sorted(unknown))}")
        chosen.discard(last_id(current) if args.unused else None)
        if last_id(current) in chosen:
            raise SystemExit(f"retire.py: {last_id(current)} is the last id and stays")
        with open(args.pool, encoding="utf-8") as f:
            head = [line for line in f.read().split("\n\n", 1)[0].splitlines(True)
                    if line.startswith("#")]
        kept = [p.text() for p in current if p.id not in chosen]
        retired.extend(p.id for p in current if p.id in chosen)
        return "".join(head) + "\n" + "\n".join(kept)

    pool.rewrite(args.pool, change)
    print(f"{len(retired)} problems retired")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

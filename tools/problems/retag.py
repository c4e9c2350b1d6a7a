#!/usr/bin/env python3
"""Recomputes the themes and difficulty of problems in the pool, when asked.

The miner writes both when it finds a problem; after a change to themes.py or
difficulty.py this brings the pool up to date. It never touches ids, positions,
moves or sources. The slow part (the engine's difficulty searches, about half a
second of one core a problem) runs on --jobs processes without the pool's lock;
the rewrite then takes the lock, merges by id with whatever a running miner
appended meanwhile, and puts the new file in place at once.

A mined problem's themes also use the opponent's move its source names.
With --themes-only it recomputes the themes alone and needs no engine.

usage: retag.py [--pool FILE] [--themes-only] [--jobs N] [ID...]
"""
from __future__ import annotations

import argparse
import dataclasses
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import difficulty  # noqa: E402
import engine_pool  # noqa: E402
import themes  # noqa: E402


def _rate(eng, problem: pool.Problem) -> int:
    return difficulty.rate(eng, problem.fen, problem.moves)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--pool", default=pool.PROBLEMS)
    parser.add_argument("--themes-only", action="store_true",
                        help="keep the difficulties (no engine needed)")
    parser.add_argument("--jobs", type=int, default=2, help="engine processes, one core each")
    parser.add_argument("ids", nargs="*")
    args = parser.parse_args(argv[1:])
    problems = pool.load(args.pool)
    chosen = [p for p in problems if not args.ids or p.id in args.ids]
    ratings = {p.id: p.difficulty for p in chosen}
    if not args.themes_only:
        for i, rating in engine_pool.run(_rate, chosen, args.jobs):
            ratings[chosen[i].id] = rating
    updated = {}
    for p in chosen:
        tags = themes.tag_problem(p)
        if (tags, ratings[p.id]) != (p.themes, p.difficulty):
            updated[p.id] = (tags, ratings[p.id])

    def change(current):
        with open(args.pool, encoding="utf-8") as f:
            head = []
            for line in f:
                if not line.startswith("#"):
                    break
                head.append(line)
        entries = []
        for p in current:
            if p.id in updated:
                tags, rating = updated[p.id]
                p = dataclasses.replace(p, themes=tags, difficulty=rating)
            entries.append(p.text())
        return "".join(head) + "\n" + "\n".join(entries)

    if updated:
        pool.rewrite(args.pool, change)
    print(f"{len(chosen)} problems looked at, {len(updated)} retagged")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

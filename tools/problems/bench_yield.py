#!/usr/bin/env python3
"""The miner's yield: problems per CPU-minute and why candidates were rejected.

Either sums the per-game records a miner wrote with --stats, or mines for a
few minutes into a scratch pool and sums that run. CPU time is the miner's
and its engine's together (one core each).

The shape of what was found (mates, lines of two or more solver moves) comes
from the pool those games wrote to, by the seeds of the records, so records
of any version of the miner compare alike.

usage: bench_yield.py STATS.jsonl...          sum the records of earlier runs
       bench_yield.py --minutes M [--seeds A-B]   mine M minutes into a scratch pool
       bench_yield.py --pool [FILE]              what the pool holds: themes, lengths, ratings
       bench_yield.py --found-in FILE STATS...   the pool the records' games wrote to
"""
from __future__ import annotations

import argparse
import json
import os
import subprocess
import sys
import tempfile
from collections import Counter

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import pool  # noqa: E402


def found_shape(records: list[dict], problems) -> str:
    """Mates and longer lines among the problems that the records' games gave."""
    seeds = {r["seed"] for r in records}
    found = [p for p in problems if (pool.game_and_ply(p) or (None,))[0] in seeds]
    n = len(found)
    mates = sum(1 for p in found if "mate" in p.themes)
    longer = sum(1 for p in found if p.solver_moves() > 1)
    return (f"found in these games: {n}, mates {mates} ({mates / max(1, n):.0%}), "
            f"two or more solver moves {longer} ({longer / max(1, n):.0%})")


def summarise(records: list[dict]) -> str:
    total: Counter = Counter()
    for r in records:
        for k, v in r.items():
            if k != "seed" and not k.startswith("problems:"):
                total[k] += v
    cpu_min = total["cpu"] / 60
    candidates = total["candidates"]
    lines = [f"games {total['games']}, positions {total['positions']}, mistakes tried "
             f"{total['mistakes tried']}, CPU {cpu_min:.1f} min",
             f"candidates {candidates} ({candidates / max(1, total['games']):.1f} a game), "
             f"problems {total['problems']}",
             f"yield: {total['problems'] / max(cpu_min, 1e-9):.2f} problems per CPU-minute, "
             f"{total['problems'] / max(1, candidates):.0%} of candidates"]
    if total["mate candidates"]:
        lines.append(f"mate candidates {total['mate candidates']} "
                     f"({total['mate candidates'] / max(1, candidates):.0%} of candidates)")
    if total["sharp positions"]:
        lines.append(f"sharp positions {total['sharp positions']} "
                     f"({total['sharp positions'] / max(1, total['positions']):.0%})")
    for key, n in sorted(total.items()):
        if key.startswith("skipped:"):
            lines.append(f"  kept the rules but not of the shape '{key[8:]}': {n}")
    rejected = {k.split(":", 1)[1]: v for k, v in total.items() if k.startswith("rejected:")}
    for rule, n in sorted(rejected.items(), key=lambda kv: -kv[1]):
        lines.append(f"  rejected by {rule:16} {n:5}  {n / max(1, candidates):6.1%} of candidates")
    return "\n".join(lines)


def describe_pool(problems) -> str:
    """The spread of themes, and the rating by length: it should rise with the length."""
    lines = [f"{len(problems)} problems"]
    by_length: dict = {}
    for p in problems:
        by_length.setdefault(p.solver_moves(), []).append(p.difficulty)
    for n, ratings in sorted(by_length.items()):
        lines.append(f"  {n} solver move{'s' if n > 1 else ''}: {len(ratings):4}, rating "
                     f"mean {sum(ratings) / len(ratings):5.0f}, {min(ratings)}-{max(ratings)}")
    themes = Counter(t for p in problems for t in p.themes)
    lines.append("themes: " + ", ".join(f"{t} {n}" for t, n in themes.most_common()))
    untagged = sum(1 for p in problems if not p.themes)
    lines.append(f"no theme: {untagged}")
    return "\n".join(lines)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("stats", nargs="*")
    parser.add_argument("--minutes", type=float)
    parser.add_argument("--pool", nargs="?", const=pool.PROBLEMS)
    parser.add_argument("--seeds", default="900001-999999",
                        help="seeds of the scratch run (kept apart from the pool's)")
    parser.add_argument("--found-in", default=pool.PROBLEMS,
                        help="the pool the records' games wrote to (default: the pool)")
    args = parser.parse_args(argv[1:])
    if args.pool:
        print(describe_pool(pool.load(args.pool)))
        if not args.stats and not args.minutes:
            return 0
    files = list(args.stats)
    found_in = args.found_in
    with tempfile.TemporaryDirectory() as scratch:
        if args.minutes:
            found_in = os.path.join(scratch, "pool.txt")
            stats = os.path.join(scratch, "stats.jsonl")
            subprocess.run([sys.executable, os.path.join(HERE, "mine.py"),
                            "--minutes", str(args.minutes), "--seeds", args.seeds,
                            "--pool", os.path.join(scratch, "pool.txt"),
                            "--state", os.path.join(scratch, "state"), "--stats", stats],
                           check=True)
            files.append(stats)
        if not files:
            parser.error("give stats files or --minutes")
        records = []
        for path in files:
            with open(path) as f:
                records += [json.loads(line) for line in f if line.strip()]
        problems = pool.load(found_in) if os.path.exists(found_in) else []
        print(summarise(records))
        print(found_shape(records, problems))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

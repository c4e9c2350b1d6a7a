#!/usr/bin/env python3
"""The miner's yield: problems per CPU-minute and why candidates were rejected.

Either sums the per-game records a miner wrote with --stats, or mines for a
few minutes into a scratch pool and sums that run. CPU time is the miner's
and its engine's together (one core each).

usage: bench_yield.py STATS.jsonl...          sum the records of earlier runs
       bench_yield.py --minutes M [--seeds A-B]   mine M minutes into a scratch pool
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


def summarise(records: list[dict]) -> str:
    total: Counter = Counter()
    for r in records:
        for k, v in r.items():
            if k != "seed":
                total[k] += v
    cpu_min = total["cpu"] / 60
    candidates = total["candidates"]
    lines = [f"games {total['games']}, positions {total['positions']}, mistakes tried "
             f"{total['mistakes tried']}, CPU {cpu_min:.1f} min",
             f"candidates {candidates} ({candidates / max(1, total['games']):.1f} a game), "
             f"problems {total['problems']}",
             f"yield: {total['problems'] / max(cpu_min, 1e-9):.2f} problems per CPU-minute, "
             f"{total['problems'] / max(1, candidates):.0%} of candidates"]
    rejected = {k.split(":", 1)[1]: v for k, v in total.items() if k.startswith("rejected:")}
    for rule, n in sorted(rejected.items(), key=lambda kv: -kv[1]):
        lines.append(f"  rejected by {rule:16} {n:5}  {n / max(1, candidates):6.1%} of candidates")
    return "\n".join(lines)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("stats", nargs="*")
    parser.add_argument("--minutes", type=float)
    parser.add_argument("--seeds", default="900001-999999",
                        help="seeds of the scratch run (kept apart from the pool's)")
    args = parser.parse_args(argv[1:])
    files = list(args.stats)
    with tempfile.TemporaryDirectory() as scratch:
        if args.minutes:
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
    print(summarise(records))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

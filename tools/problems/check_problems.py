#!/usr/bin/env python3
"""Re-checks problems of the pool with the engine, by the rules of rules.py.

Every search runs on one thread from a cleared hash to rules.CHECK_NODES
nodes, the same searches the miner made, so a mined problem passes on every
run; a problem typed by hand is held to the same rules. A failure names the
problem's id, its line in the pool and what failed.

CI splits the pool into shards that run in parallel: --shard K/N checks the
problems whose place in the pool (0, 1, 2, ...) leaves K when divided by N.

usage: check_problems.py [--pool FILE] [--shard K/N] [ID...]
"""
from __future__ import annotations

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import engine  # noqa: E402
import rules  # noqa: E402


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--pool", default=pool.PROBLEMS)
    parser.add_argument("--shard", default="0/1", help="K/N")
    parser.add_argument("ids", nargs="*")
    args = parser.parse_args(argv[1:])
    try:
        k, n = (int(x) for x in args.shard.split("/"))
        if not 0 <= k < n:
            raise ValueError
    except ValueError:
        print(f"--shard {args.shard}: expected K/N with 0 <= K < N", file=sys.stderr)
        return 2
    try:
        problems = pool.load(args.pool)
    except (pool.PoolError, OSError) as e:
        print(e, file=sys.stderr)
        return 1
    chosen = [p for i, p in enumerate(problems) if i % n == k]
    if args.ids:
        unknown = set(args.ids) - {p.id for p in problems}
        if unknown:
            print(f"no such problem: {' '.join(sorted(unknown))}", file=sys.stderr)
            return 1
        chosen = [p for p in chosen if p.id in args.ids]
    failed = 0
    started = time.monotonic()
    with engine.Engine(hash_mb=rules.HASH_MB) as eng:
        judge = rules.Judge(eng, rules.CHECK_NODES)
        for p in chosen:
            try:
                judge.check(p.fen, p.moves)
            except rules.Rejected as e:
                print(f"FAIL {p.id} ({args.pool}:{p.line}): {e.rule}: {e}", file=sys.stderr)
                failed += 1
            except engine.EngineError as e:
                print(f"FAIL {p.id} ({args.pool}:{p.line}): {e}", file=sys.stderr)
                failed += 1
    print(f"shard {k}/{n}: {len(chosen) - failed} passed, {failed} failed "
          f"[{time.monotonic() - started:.1f} s, {rules.CHECK_NODES} nodes a search]")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

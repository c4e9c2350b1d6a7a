"""Holds the solver's Russian notation (zel_notation) against the textbook's
(tools/content/chess.py): every legal move of every position of positions.py,
and of every position one move after a standard one, must be written the same.

Usage: check_notation.py ZEL_NOTATION PROBLEMS_TXT
"""
from __future__ import annotations

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "content"))
import chess  # noqa: E402
from positions import STANDARD, read_problems  # noqa: E402


def ours(zel_notation: str, fen: str) -> dict[str, str]:
    run = subprocess.run([zel_notation, fen], capture_output=True, text=True, timeout=60)
    if run.returncode != 0:
        raise ValueError(run.stderr.strip() or f"zel_notation exited with {run.returncode}")
    return {uci: russian for uci, russian, _ in (line.split("\t") for line in run.stdout.splitlines())}


def textbook(fen: str) -> dict[str, str]:
    position = chess.parse_fen(fen)
    return {m.uci(): position.russian(m) for m in position.legal_moves()}


def fault(zel_notation: str, fen: str) -> str | None:
    try:
        mine, theirs = ours(zel_notation, fen), textbook(fen)
    except (ValueError, chess.ChessError) as e:
        return str(e)
    for move in sorted(set(mine) | set(theirs)):
        if mine.get(move) != theirs.get(move):
            return f"{move}: zel_notation {mine.get(move)}, chess.py {theirs.get(move)}"
    return None


def main() -> int:
    zel_notation, problems = sys.argv[1], sys.argv[2]
    checked = []
    for p in STANDARD:
        checked.append((p.name, p.fen))
        root = chess.parse_fen(p.fen)
        checked += [(f"{p.name} after {m.uci()}", root.push(m).fen()) for m in root.legal_moves()]
    checked += [(p.name, p.fen) for p in read_problems(problems)]
    failures = 0
    for name, fen in checked:
        found = fault(zel_notation, fen)
        if found:
            failures += 1
            print(f"FAIL {name} ({fen}): {found}")
    print(f"{len(checked) - failures} of {len(checked)} positions written alike")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

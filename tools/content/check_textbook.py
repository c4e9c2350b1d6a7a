#!/usr/bin/env python3
"""Checks textbook pages against a chess engine.

For each page: the diagram is legal by our rules and by the engine (the same
legal moves in every position along the main line, nobody in check who must
not be), a final mate is mate for the engine too, the page fits its picture,
and its claim holds:

- mate N: at a fixed depth with two lines, the first is a mate in N starting
  with the key move and the second mates in no fewer moves or not at all; and
  "go mate N" finds the mate.
- win: at depth ZEL_ENGINE_DEPTH (18 unless set) with two lines, the key move
  is the engine's best and at least 200 centipawns better than the second.

The depth is fixed and the engine runs on one thread with a fresh hash for
every search, so the answer is the same on every run.

usage: check_textbook.py [--file TEXTBOOK] PAGE...
"""
from __future__ import annotations

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chess  # noqa: E402
import engine  # noqa: E402
import source  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TEXTBOOK = os.path.join(ROOT, "content", "textbook.txt")

WIN_MARGIN = 200          # centipawns: "two pawns better than the second-best move"
MAX_TITLE = 28            # characters that fit the heading of a 549-pixel picture
MAX_PLIES = 7             # one line of moves under the diagram
MAX_WORDS = 80            # what fits beside the diagram


class CheckFailure(AssertionError):
    pass


def depth() -> int:
    value = os.environ.get("ZEL_ENGINE_DEPTH", "18")
    if not value.isdigit() or int(value) < 1:
        raise CheckFailure(f"ZEL_ENGINE_DEPTH is {value!r}, not a positive depth")
    return int(value)


def _name(pos: chess.Position, uci: str) -> str:
    for move in pos.legal_moves():
        if move.uci() == uci:
            return pos.russian(move)
    return uci


def _positions(entry: source.Entry):
    """Each position along the main line, with the plies that lead to it."""
    pos = chess.parse_fen(entry.fen)
    yield pos, ()
    for i, uci in enumerate(entry.uci):
        pos = pos.push(next(m for m in pos.legal_moves() if m.uci() == uci))
        yield pos, entry.uci[:i + 1]


def check_layout(entry: source.Entry) -> None:
    if len(entry.title) > MAX_TITLE:
        raise CheckFailure(f"the title has {len(entry.title)} characters, more than {MAX_TITLE}")
    if len(entry.moves) > MAX_PLIES:
        raise CheckFailure(f"'moves' has {len(entry.moves)} plies, more than {MAX_PLIES}")
    words = sum(len(p.split()) for p in entry.paragraphs)
    if words > MAX_WORDS:
        raise CheckFailure(f"the text has {words} words, more than fit the picture ({MAX_WORDS})")


def check_rules(entry: source.Entry, eng: engine.Engine) -> None:
    """Our move generator and the engine agree on the diagram and along the line."""
    start = chess.parse_fen(entry.fen)
    for pos, played in _positions(entry):
        ours = {m.uci() for m in pos.legal_moves()}
        theirs = eng.perft1(entry.fen, played)
        where = "the diagram" if not played else f"the position after {' '.join(entry.moves[:len(played)])}"
        if ours != theirs:
            raise CheckFailure(f"in {where} the engine's legal moves differ from ours: "
                               f"only ours {sorted(ours - theirs)}, only the engine's "
                               f"{sorted(theirs - ours)}")
    ours = sorted(chess.square_name(s) for s in start.checkers())
    if sorted(eng.checkers(entry.fen)) != ours:
        raise CheckFailure(f"the engine sees other checkers than {ours} in the diagram")
    fields = entry.fen.split()
    fields[1] = "b" if fields[1] == "w" else "w"
    fields[3] = "-"
    flipped = eng.checkers(" ".join(fields))
    if flipped:
        raise CheckFailure(f"the side not to move is in check from {' '.join(flipped)} "
                           "for the engine")
    if entry.moves and entry.moves[-1].endswith("#"):
        *_, (final, _) = _positions(entry)
        if eng.perft1(entry.fen, entry.uci) or not eng.checkers(final.fen()):
            raise CheckFailure(f"{entry.moves[-1]} is no mate for the engine")


def check_claim(entry: source.Entry, eng: engine.Engine) -> str:
    """Raises CheckFailure unless the engine confirms the claim; returns what it said."""
    kind, n = entry.claim
    if kind == "none":
        return "no claim"
    pos = chess.parse_fen(entry.fen)
    key = entry.uci[0]
    d = depth() if kind == "win" else max(depth(), 18)
    lines = eng.search(entry.fen, d, multipv=2)
    first, second = lines.get(1), lines.get(2)
    if first is None:
        raise CheckFailure("the engine gave no line")
    best = _name(pos, first.pv[0])
    said = (f"depth {d}: {best} {first.describe()}, second "
            + (f"{_name(pos, second.pv[0])} {second.describe()}" if second else "none"))
    if kind == "mate":
        if first.kind != "mate" or first.value != n:
            raise CheckFailure(f"the claim is mate in {n} but the engine says {first.describe()} "
                               f"with {best}")
        if first.pv[0] != key:
            raise CheckFailure(f"the engine mates in {n} with {best}, not {entry.moves[0]}")
        if second and second.kind == "mate" and 0 < second.value <= n:
            raise CheckFailure(f"{_name(pos, second.pv[0])} mates in {second.value} as well: "
                               f"{entry.moves[0]} is not the only solution")
        found = eng.mate(entry.fen, n)
        if found is None or found.kind != "mate" or found.value != n:
            raise CheckFailure(f"'go mate {n}' finds no mate in {n}")
        return said + f"; go mate {n}: mate {found.value} with {_name(pos, found.pv[0])}"
    if first.pv[0] != key:
        raise CheckFailure(f"the engine's best move is {best}, not {entry.moves[0]} ({said})")
    if second is None:
        raise CheckFailure(f"{entry.moves[0]} is the only legal move: nothing to find")
    margin = first.centipawns() - second.centipawns()
    if margin < WIN_MARGIN:
        raise CheckFailure(f"{entry.moves[0]} is only {margin} centipawns better than "
                           f"{_name(pos, second.pv[0])}, not {WIN_MARGIN} ({said})")
    return said


def check_page(entry: source.Entry, eng: engine.Engine) -> str:
    where = f"page {entry.number} ({entry.title})"
    try:
        check_layout(entry)
        if entry.fen is None:
            return f"{where}: no diagram"
        check_rules(entry, eng)
        return f"{where}: {check_claim(entry, eng)}"
    except CheckFailure as e:
        raise CheckFailure(f"{where}: {e}") from None
    except engine.EngineError as e:
        raise CheckFailure(f"{where}: {e}") from None


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--file", default=TEXTBOOK)
    parser.add_argument("pages", nargs="+", type=int, metavar="PAGE")
    args = parser.parse_args(argv[1:])
    try:
        book = source.load(args.file, "textbook")
    except (source.SourceError, OSError) as e:
        print(e, file=sys.stderr)
        return 1
    pages = {p.number: p for p in book.pages}
    failed = 0
    with engine.Engine() as eng:
        for number in args.pages:
            if number not in pages:
                print(f"page {number}: no such page in {args.file}", file=sys.stderr)
                failed += 1
                continue
            started = time.monotonic()
            try:
                said = check_page(pages[number], eng)
                print(f"ok   {said} [{time.monotonic() - started:.1f} s]")
            except CheckFailure as e:
                print(f"FAIL {e}", file=sys.stderr)
                failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Reads content/textbook.txt and content/help.txt (format: content/README.md).

Everything the pictures show comes from here, already checked: a diagram is a
legal position, every move is found among the legal moves and drawn in
Russian notation from the position itself. Anything malformed stops the build
with the file, the line and what is wrong, because a teacher edits these files
by hand and must be able to find the mistake without reading code.

usage: source.py FILE KIND     (KIND: textbook or help) prints the entries.
"""
from __future__ import annotations

import os
import re
import sys
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chess  # noqa: E402  (the rules module beside this file)


class SourceError(Exception):
    def __init__(self, path: str, line: int, message: str):
        super().__init__(f"{path}:{line}: {message}")
        self.path = path
        self.line = line
        self.message = message


@dataclass(frozen=True)
class Entry:
    path: str
    line: int
    number: int | None
    title: str
    fen: str | None
    side_to_move: str | None
    pieces: dict
    moves: tuple
    moves_text: str
    uci: tuple
    claim: tuple | None
    paragraphs: tuple


@dataclass(frozen=True)
class Book:
    title: Entry
    pages: tuple


# The pages of each book, as the shell numbers its pictures.
PAGES = {"textbook": range(2, 21), "help": range(1, 9)}
KEYS = ("title", "fen", "moves", "claim", "text")
DIAGRAM_KEYS = ("fen", "moves", "claim")

KEY_LINE = re.compile(r"([a-z]+):(.*)")
HEADER = re.compile(r"\[(.*)\]\s*")
PLACEHOLDER = re.compile(r"\{([^{}]*)\}")
# A move typed into the text instead of taken from `moves` with {n}: a piece
# letter and a square ("Кc7", "Ф:f7", "Лad1"), or a pawn capture ("e:d5"),
# also with the Cyrillic а, с, е that look like file letters.
TYPED_MOVE = re.compile(
    r"(?<![A-Za-zА-Яа-яЁё])(?:(?:Кр|Ф|Л|С|К|K|Q|R|B|N)[a-hасе]?[1-8]?[:xх]?[a-hасе][1-8]"
    r"|[a-hасе][:xх][a-hасе][1-8])")
MOVE_NUMBER = re.compile(r"\d+\.(?:\.\.|…)?")


@dataclass
class _Raw:
    """An entry as read, each value with the line it starts on."""
    line: int
    number: int | None
    values: dict      # key -> (line, text); text lines as a list for "text"


def _split(path: str, lines: list[str]) -> list[_Raw]:
    entries: list[_Raw] = []
    current: _Raw | None = None
    last_key = None
    for no, raw in enumerate(lines, start=1):
        line = raw.rstrip("\r\n")
        if line.startswith("#"):
            continue
        header = HEADER.fullmatch(line)
        if header:
            name = header.group(1)
            page = re.fullmatch(r"page ([1-9][0-9]*)", name)
            if name == "title":
                number = None
            elif page:
                number = int(page.group(1))
            else:
                raise SourceError(path, no, f"unknown entry [{name}]: write [title] or [page N]")
            current = _Raw(no, number, {})
            entries.append(current)
            last_key = None
            continue
        key = KEY_LINE.match(line)
        if key:
            if current is None:
                raise SourceError(path, no, "a key before the first entry: start with [title]")
            name = key.group(1)
            if name not in KEYS:
                raise SourceError(path, no, f"unknown key '{name}': the keys are {', '.join(KEYS)}")
            if name in current.values:
                raise SourceError(path, no, f"'{name}' given twice in this entry "
                                  f"(first at line {current.values[name][0]})")
            value = key.group(2).strip()
            current.values[name] = (no, [(no, value)] if name == "text" else value)
            last_key = name
            continue
        if not line.strip():
            if last_key == "text":
                current.values["text"][1].append((no, ""))
            continue
        if current is None:
            raise SourceError(path, no, "text before the first entry: start with [title]")
        if last_key == "text":
            current.values["text"][1].append((no, line.strip()))
            continue
        if last_key is None:
            raise SourceError(path, no, "a line that is no key: write 'key: value' "
                              f"({', '.join(KEYS)})")
        raise SourceError(path, no, f"a line that is no key after '{last_key}': only "
                          "'text' goes on over several lines")
    return entries


def _check_order(path: str, kind: str, entries: list[_Raw], last_line: int) -> None:
    if not entries or entries[0].number is not None:
        line = entries[0].line if entries else max(last_line, 1)
        raise SourceError(path, line, "the file must start with the entry [title]")
    expected = iter(PAGES[kind])
    seen: dict[int, int] = {}
    for entry in entries[1:]:
        if entry.number is None:
            raise SourceError(path, entry.line, f"a second [title] (the first is at line {entries[0].line})")
        if entry.number in seen:
            raise SourceError(path, entry.line, f"[page {entry.number}] given twice "
                              f"(first at line {seen[entry.number]})")
        want = next(expected, None)
        if want is None:
            raise SourceError(path, entry.line, f"[page {entry.number}]: the {kind} ends "
                              f"at page {PAGES[kind][-1]}")
        if entry.number != want:
            raise SourceError(path, entry.line, f"[page {entry.number}] where [page {want}] "
                              "belongs: pages go in order without gaps")
        seen[entry.number] = entry.line
    missing = next(expected, None)
    if missing is not None:
        raise SourceError(path, max(last_line, 1), f"missing [page {missing}]: the {kind} "
                          f"has pages {PAGES[kind][0]} to {PAGES[kind][-1]}")


def _tokens(text: str) -> list[str]:
    """The plies of a `moves` line, without move numbers and bare ellipses."""
    plies = []
    for token in text.split():
        token = MOVE_NUMBER.sub("", token, count=1) if MOVE_NUMBER.match(token) else token
        if token and not re.fullmatch(r"(\.\.\.|…)", token):
            plies.append(token)
    return plies


def _moves(path: str, line: int, pos: chess.Position, text: str):
    drawn, uci = [], []
    for ply in _tokens(text):
        try:
            move = pos.parse_move(ply)
        except chess.ChessError as e:
            raise SourceError(path, line, f"move {len(drawn) + 1}: {e}") from None
        drawn.append(pos.russian(move))
        uci.append(move.uci())
        pos = pos.push(move)
    return drawn, uci, pos


def _moves_text(start: chess.Position, drawn: list[str]) -> str:
    parts = []
    number, white = start.fullmove, start.turn == "w"
    for i, ply in enumerate(drawn):
        if white:
            parts.append(f"{number}. {ply}")
        elif i == 0:
            parts.append(f"{number}... {ply}")
        else:
            parts.append(ply)
        if not white:
            number += 1
        white = not white
    return " ".join(parts)


def _claim(path: str, line: int, text: str):
    m = re.fullmatch(r"mate ([1-9][0-9]*)|win|none", text)
    if not m:
        raise SourceError(path, line, f"claim '{text}' is not 'mate N', 'win' or 'none'")
    if m.group(1):
        return ("mate", int(m.group(1)))
    return (text, None)


def _paragraphs(path: str, lines: list, drawn: list[str]) -> tuple:
    paragraphs, current = [], []
    for no, text in lines:
        if not text:
            if current:
                paragraphs.append(" ".join(current))
                current = []
            continue
        typed = TYPED_MOVE.search(PLACEHOLDER.sub(" ", text))
        if typed:
            raise SourceError(path, no, f"a move typed in the text ('{typed.group(0)}'): "
                              "write {n} for the n-th move of 'moves' instead")

        def fill(m, no=no):
            n = m.group(1)
            if not n.isdigit() or not 1 <= int(n) <= len(drawn):
                have = f"{{1}} to {{{len(drawn)}}}" if drawn else "none, there are no moves"
                raise SourceError(path, no, f"{{{n}}} names no move of 'moves' ({have})")
            return drawn[int(n) - 1]

        text = PLACEHOLDER.sub(fill, text)
        if "{" in text or "}" in text:
            raise SourceError(path, no, "a brace without its partner: moves are written {n}")
        current.append(text)
    if current:
        paragraphs.append(" ".join(current))
    return tuple(paragraphs)


def _entry(path: str, kind: str, raw: _Raw) -> Entry:
    values = raw.values
    where = "the title" if raw.number is None else f"page {raw.number}"
    if "title" not in values:
        raise SourceError(path, raw.line, f"{where} has no 'title'")
    title = values["title"][1]
    if not title:
        raise SourceError(path, values["title"][0], "an empty title")
    for key in DIAGRAM_KEYS:
        if key in values and (kind == "help" or raw.number is None):
            what = "a help entry" if kind == "help" else "the title entry"
            raise SourceError(path, values[key][0], f"'{key}' in {what}: only textbook pages "
                              "have a diagram")
    if "fen" not in values:
        for key in ("moves", "claim"):
            if key in values:
                raise SourceError(path, values[key][0], f"'{key}' without 'fen': a page needs "
                                  "a diagram for it")
    fen = side = None
    pieces: dict = {}
    drawn: list[str] = []
    uci: list[str] = []
    moves_text = ""
    claim = None
    if "fen" in values:
        fen_line, fen = values["fen"]
        try:
            start = chess.parse_fen(fen)
        except chess.ChessError as e:
            raise SourceError(path, fen_line, f"fen: {e}") from None
        side = start.turn
        pieces = start.pieces()
        if "claim" not in values:
            raise SourceError(path, fen_line, "a diagram without 'claim': say 'mate N', "
                              "'win' or 'none'")
        claim_line = values["claim"][0]
        claim = _claim(path, claim_line, values["claim"][1])
        end = start
        if "moves" in values:
            moves_line = values["moves"][0]
            drawn, uci, end = _moves(path, moves_line, start, values["moves"][1])
            moves_text = _moves_text(start, drawn)
        if claim[0] in ("mate", "win") and not drawn:
            raise SourceError(path, claim_line, f"claim '{values['claim'][1]}' needs 'moves' "
                              "starting with the key move")
        if claim[0] == "mate":
            n = claim[1]
            if len(drawn) != 2 * n - 1 or not end.is_mate():
                raise SourceError(path, claim_line, f"claim 'mate {n}': 'moves' must be "
                                  f"{2 * n - 1} plies ending in mate, not {len(drawn)} plies"
                                  f"{' ending in mate' if end.is_mate() else ' without mate'}")
    paragraphs = _paragraphs(path, values["text"][1], drawn) if "text" in values else ()
    return Entry(path=path, line=raw.line, number=raw.number, title=title, fen=fen,
                 side_to_move=side, pieces=pieces, moves=tuple(drawn),
                 moves_text=moves_text, uci=tuple(uci), claim=claim, paragraphs=paragraphs)


def load(path: str, kind: str) -> Book:
    if kind not in PAGES:
        raise ValueError(f"kind is 'textbook' or 'help', not {kind!r}")
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
    except UnicodeDecodeError as e:
        raise SourceError(path, 1, f"not UTF-8 text ({e.reason} at byte {e.start})") from None
    if lines and lines[-1] == "":
        lines.pop()
    if lines and lines[0].startswith("\ufeff"):
        lines[0] = lines[0][1:]
    raws = _split(path, lines)
    _check_order(path, kind, raws, len(lines))
    entries = [_entry(path, kind, raw) for raw in raws]
    return Book(title=entries[0], pages=tuple(entries[1:]))


def _print(book: Book) -> None:
    for entry in (book.title,) + book.pages:
        name = "[title]" if entry.number is None else f"[page {entry.number}]"
        print(f"{name}  (line {entry.line})  {entry.title}")
        if entry.fen:
            side = "White" if entry.side_to_move == "w" else "Black"
            print(f"  fen: {entry.fen}  ({side} to move)")
            print(f"  claim: {' '.join(str(c) for c in entry.claim if c is not None)}")
        if entry.moves:
            print(f"  moves: {entry.moves_text}")
            print(f"  uci: {' '.join(entry.uci)}")
        for p in entry.paragraphs:
            print(f"  | {p}")
        print()


def main(argv: list[str]) -> int:
    if len(argv) != 3 or argv[2] not in PAGES:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        _print(load(argv[1], argv[2]))
    except (SourceError, OSError) as e:
        print(e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

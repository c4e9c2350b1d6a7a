"""Chess rules for the textbook's diagrams: FEN, legal moves, check and mate,
reading a move as a teacher writes it and drawing it in Russian notation.

The textbook never stores a move as drawn: the build finds each written move
among the legal moves of its position and draws it from the position, so a
page and its diagram cannot disagree. That needs full rules (castling, en
passant, promotion, pins) but no speed: the positions are a few dozen.

Squares are numbered 0 (a1) to 63 (h8); a piece is its FEN letter, upper case
for White.
"""
from __future__ import annotations

import re
from dataclasses import dataclass

FILES = "abcdefgh"

# Russian letters as a trainer writes them, and the Latin ones they stand for.
RU_LETTER = {"K": "Кр", "Q": "Ф", "R": "Л", "B": "С", "N": "К"}
# Longest first: "Кр" (king) must win over "К" (knight).
WRITTEN_PIECE = {"Кр": "K", "Ф": "Q", "Л": "R", "С": "B", "К": "N",
                 "K": "K", "Q": "Q", "R": "R", "B": "B", "N": "N"}
PROMOTION_LETTER = {"Ф": "Q", "Л": "R", "С": "B", "К": "N",
                    "Q": "Q", "R": "R", "B": "B", "N": "N",
                    "q": "Q", "r": "R", "b": "B", "n": "N"}

LOOKALIKES = str.maketrans("асех", "acex")


class ChessError(ValueError):
    """A FEN, a position or a move that the rules do not allow."""


def square(name: str) -> int:
    return FILES.index(name[0]) + 8 * (int(name[1]) - 1)


def square_name(sq: int) -> str:
    return FILES[sq % 8] + str(sq // 8 + 1)


def _on_board(f: int, r: int) -> bool:
    return 0 <= f < 8 and 0 <= r < 8


KNIGHT_STEPS = ((1, 2), (2, 1), (2, -1), (1, -2), (-1, -2), (-2, -1), (-2, 1), (-1, 2))
KING_STEPS = ((1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1))
ROOK_DIRS = ((1, 0), (-1, 0), (0, 1), (0, -1))
BISHOP_DIRS = ((1, 1), (1, -1), (-1, 1), (-1, -1))


def _colour(piece: str) -> str:
    return "w" if piece.isupper() else "b"


@dataclass(frozen=True)
class Move:
    frm: int
    to: int
    promotion: str | None = None   # upper-case letter: 'Q', 'R', 'B', 'N'

    def uci(self) -> str:
        promo = self.promotion.lower() if self.promotion else ""
        return square_name(self.frm) + square_name(self.to) + promo


@dataclass(frozen=True)
class Position:
    board: tuple            # 64 entries: FEN letter or None
    turn: str               # 'w' or 'b'
    castling: str           # subset of "KQkq" in that order, or ""
    ep: int | None          # the en passant target square
    halfmove: int = 0
    fullmove: int = 1

    # ------------------------------------------------------------ FEN ----
    @staticmethod
    def from_fen(fen: str) -> "Position":
        """Reads a FEN's syntax; whether the position can arise is validate()'s job."""
        fields = fen.split()
        if len(fields) not in (4, 6):
            raise ChessError(f"a FEN has 6 fields (or 4 without the move counters), not {len(fields)}")
        rows = fields[0].split("/")
        if len(rows) != 8:
            raise ChessError(f"the board has 8 ranks separated by '/', not {len(rows)}")
        board: list = [None] * 64
        for i, row in enumerate(rows):
            rank = 7 - i
            f = 0
            for ch in row:
                if ch in "12345678":
                    f += int(ch)
                elif ch in "KQRBNPkqrbnp":
                    if f >= 8:
                        break
                    board[f + 8 * rank] = ch
                    f += 1
                else:
                    raise ChessError(f"'{ch}' on rank {rank + 1} is no piece letter or count")
            if f != 8:
                raise ChessError(f"rank {rank + 1} ('{row}') has {f} squares, not 8")
        turn = fields[1]
        if turn not in ("w", "b"):
            raise ChessError(f"the side to move is 'w' or 'b', not '{turn}'")
        castling = fields[2]
        if castling == "-":
            castling = ""
        elif not re.fullmatch(r"K?Q?k?q?", castling):
            raise ChessError(f"castling rights '{castling}' are not '-' or some of KQkq in that order")
        ep = None
        if fields[3] != "-":
            if not re.fullmatch(r"[a-h][1-8]", fields[3]):
                raise ChessError(f"en passant square '{fields[3]}' is not '-' or a square")
            ep = square(fields[3])
        halfmove, fullmove = 0, 1
        if len(fields) == 6:
            if not fields[4].isdigit() or not fields[5].isdigit() or int(fields[5]) < 1:
                raise ChessError(f"the move counters '{fields[4]} {fields[5]}' are not "
                                 "a number from 0 and a move number from 1")
            halfmove, fullmove = int(fields[4]), int(fields[5])
        return Position(tuple(board), turn, castling, ep, halfmove, fullmove)

    def fen(self) -> str:
        rows = []
        for rank in range(7, -1, -1):
            row, empty = "", 0
            for f in range(8):
                p = self.board[f + 8 * rank]
                if p is None:
                    empty += 1
                else:
                    row += (str(empty) if empty else "") + p
                    empty = 0
            rows.append(row + (str(empty) if empty else ""))
        ep = square_name(self.ep) if self.ep is not None else "-"
        return (f"{'/'.join(rows)} {self.turn} {self.castling or '-'} {ep} "
                f"{self.halfmove} {self.fullmove}")

    def pieces(self) -> dict[str, str]:
        return {square_name(sq): p for sq, p in enumerate(self.board) if p}

    # ------------------------------------------------------ attacks ----
    def king_square(self, colour: str) -> int | None:
        king = "K" if colour == "w" else "k"
        for sq, p in enumerate(self.board):
            if p == king:
                return sq
        return None

    def attackers(self, sq: int, by: str) -> list[int]:
        """Squares of the men of colour `by` that attack `sq`."""
        found = []
        f0, r0 = sq % 8, sq // 8
        b = self.board

        def own(p, kinds):
            return p is not None and _colour(p) == by and p.upper() in kinds

        for df, dr in KNIGHT_STEPS:
            f, r = f0 + df, r0 + dr
            if _on_board(f, r) and own(b[f + 8 * r], "N"):
                found.append(f + 8 * r)
        for df, dr in KING_STEPS:
            f, r = f0 + df, r0 + dr
            if _on_board(f, r) and own(b[f + 8 * r], "K"):
                found.append(f + 8 * r)
        # A white pawn attacks upwards, so it stands one rank below the square.
        pr = r0 - 1 if by == "w" else r0 + 1
        for df in (-1, 1):
            f = f0 + df
            if _on_board(f, pr) and own(b[f + 8 * pr], "P"):
                found.append(f + 8 * pr)
        for dirs, kinds in ((ROOK_DIRS, "RQ"), (BISHOP_DIRS, "BQ")):
            for df, dr in dirs:
                f, r = f0 + df, r0 + dr
                while _on_board(f, r):
                    p = b[f + 8 * r]
                    if p is not None:
                        if own(p, kinds):
                            found.append(f + 8 * r)
                        break
                    f, r = f + df, r + dr
        return found

    def checkers(self) -> list[int]:
        """The men giving check to the side to move."""
        k = self.king_square(self.turn)
        if k is None:
            return []
        return self.attackers(k, "b" if self.turn == "w" else "w")

    def in_check(self) -> bool:
        return bool(self.checkers())

    # ----------------------------------------------------- validity ----
    def validate(self) -> None:
        """Raises ChessError if the diagram cannot arise in a game."""
        them = "b" if self.turn == "w" else "w"
        for colour, name in (("w", "White"), ("b", "Black")):
            men = [p for p in self.board if p and _colour(p) == colour]
            kings = sum(1 for p in men if p.upper() == "K")
            if kings != 1:
                raise ChessError(f"{name} has {kings} kings, not one")
            pawns = sum(1 for p in men if p.upper() == "P")
            if pawns > 8:
                raise ChessError(f"{name} has {pawns} pawns, more than 8")
            if len(men) > 16:
                raise ChessError(f"{name} has {len(men)} men, more than 16")
            # Every man beyond the starting set came from a promoted pawn.
            extra = sum(max(0, sum(1 for p in men if p.upper() == k) - n)
                        for k, n in (("Q", 1), ("R", 2), ("B", 2), ("N", 2)))
            if extra > 8 - pawns:
                raise ChessError(f"{name} has {extra} promoted men but only "
                                 f"{8 - pawns} pawns missing")
        for sq, p in enumerate(self.board):
            if p and p.upper() == "P" and sq // 8 in (0, 7):
                raise ChessError(f"a pawn on {square_name(sq)}: pawns never stand on the 1st or 8th rank")
        k = self.king_square(them)
        if self.attackers(k, self.turn):
            raise ChessError(f"{'White' if them == 'w' else 'Black'} is in check "
                             "but it is the other side's move")
        if len(self.checkers()) > 2:
            raise ChessError("the side to move is in check from more than two men")
        for flag, king, ksq, rook, rsq in (("K", "K", "e1", "R", "h1"), ("Q", "K", "e1", "R", "a1"),
                                           ("k", "k", "e8", "r", "h8"), ("q", "k", "e8", "r", "a8")):
            if flag in self.castling and (self.board[square(ksq)] != king
                                          or self.board[square(rsq)] != rook):
                raise ChessError(f"castling right '{flag}' needs the king on {ksq} "
                                 f"and the rook on {rsq}")
        if self.ep is not None:
            name = square_name(self.ep)
            rank = self.ep // 8
            want = 5 if self.turn == "w" else 2
            step = -8 if self.turn == "w" else 8      # towards the pawn that just moved
            pawn = "p" if self.turn == "w" else "P"
            if rank != want:
                raise ChessError(f"en passant square {name} is not on rank {want + 1}")
            if (self.board[self.ep] is not None or self.board[self.ep - step] is not None
                    or self.board[self.ep + step] != pawn):
                raise ChessError(f"en passant square {name}: no pawn has just passed it "
                                 "by a double step")

    # -------------------------------------------------------- moves ----
    def _pseudo_moves(self):
        b = self.board
        me = self.turn
        for sq, p in enumerate(b):
            if p is None or _colour(p) != me:
                continue
            kind = p.upper()
            f0, r0 = sq % 8, sq // 8
            if kind == "P":
                up = 1 if me == "w" else -1
                last = 7 if me == "w" else 0
                start = 1 if me == "w" else 6
                targets = []
                r = r0 + up
                if _on_board(f0, r) and b[f0 + 8 * r] is None:
                    targets.append(f0 + 8 * r)
                    if r0 == start and b[f0 + 8 * (r + up)] is None:
                        targets.append(f0 + 8 * (r + up))
                for df in (-1, 1):
                    f = f0 + df
                    if _on_board(f, r):
                        t = f + 8 * r
                        if (b[t] is not None and _colour(b[t]) != me) or t == self.ep:
                            targets.append(t)
                for t in targets:
                    if t // 8 == last:
                        for promo in "QRBN":
                            yield Move(sq, t, promo)
                    else:
                        yield Move(sq, t)
                continue
            if kind in "NK":
                for df, dr in (KNIGHT_STEPS if kind == "N" else KING_STEPS):
                    f, r = f0 + df, r0 + dr
                    if _on_board(f, r):
                        t = f + 8 * r
                        if b[t] is None or _colour(b[t]) != me:
                            yield Move(sq, t)
            else:
                dirs = {"R": ROOK_DIRS, "B": BISHOP_DIRS, "Q": ROOK_DIRS + BISHOP_DIRS}[kind]
                for df, dr in dirs:
                    f, r = f0 + df, r0 + dr
                    while _on_board(f, r):
                        t = f + 8 * r
                        if b[t] is not None:
                            if _colour(b[t]) != me:
                                yield Move(sq, t)
                            break
                        yield Move(sq, t)
                        f, r = f + df, r + dr
        yield from self._castlings()

    def _castlings(self):
        them = "b" if self.turn == "w" else "w"
        home = 0 if self.turn == "w" else 56
        if self.turn == "b":
            rights = "".join(c.upper() for c in self.castling if c.islower())
        else:
            rights = "".join(c for c in self.castling if c.isupper())
        if not rights or self.attackers(home + 4, them):
            return
        b = self.board
        if "K" in rights and b[home + 5] is None and b[home + 6] is None \
                and not self.attackers(home + 5, them):
            yield Move(home + 4, home + 6)
        if "Q" in rights and b[home + 1] is None and b[home + 2] is None \
                and b[home + 3] is None and not self.attackers(home + 3, them):
            yield Move(home + 4, home + 2)

    def is_castling(self, move: Move) -> bool:
        p = self.board[move.frm]
        return p is not None and p.upper() == "K" and abs(move.to - move.frm) == 2

    def is_en_passant(self, move: Move) -> bool:
        p = self.board[move.frm]
        return (p is not None and p.upper() == "P" and move.to == self.ep
                and move.to % 8 != move.frm % 8)

    def is_capture(self, move: Move) -> bool:
        return self.board[move.to] is not None or self.is_en_passant(move)

    def push(self, move: Move) -> "Position":
        """The position after `move`, which must be at least pseudo-legal."""
        b = list(self.board)
        p = b[move.frm]
        kind = p.upper()
        capture = self.is_capture(move)
        if self.is_en_passant(move):
            b[move.to + (-8 if self.turn == "w" else 8)] = None
        if self.is_castling(move):
            home = move.frm - 4
            if move.to > move.frm:
                b[home + 5], b[home + 7] = b[home + 7], None
            else:
                b[home + 3], b[home] = b[home], None
        b[move.to] = p
        b[move.frm] = None
        if move.promotion:
            b[move.to] = move.promotion if self.turn == "w" else move.promotion.lower()
        castling = self.castling
        for sq, flags in ((4, "KQ"), (60, "kq"), (0, "Q"), (7, "K"), (56, "q"), (63, "k")):
            if move.frm == sq or move.to == sq:
                castling = "".join(c for c in castling if c not in flags)
        ep = None
        if kind == "P" and abs(move.to - move.frm) == 16:
            ep = (move.to + move.frm) // 2
        return Position(tuple(b), "b" if self.turn == "w" else "w", castling, ep,
                        0 if capture or kind == "P" else self.halfmove + 1,
                        self.fullmove + (1 if self.turn == "b" else 0))

    def legal_moves(self) -> list[Move]:
        moves = []
        for m in self._pseudo_moves():
            after = self.push(m)
            k = after.king_square(self.turn)
            if not after.attackers(k, after.turn):
                moves.append(m)
        return moves

    def is_mate(self) -> bool:
        return self.in_check() and not self.legal_moves()

    def move_from_uci(self, text: str) -> Move:
        """The legal move written in coordinates ("e2e4", "e7e8q", castling "e1g1")."""
        for move in self.legal_moves():
            if move.uci() == text:
                return move
        raise ChessError(f"'{text}' is not a legal move here")

    # ------------------------------------------------- notation -----
    def russian(self, move: Move) -> str:
        """The move in Russian short notation: "Кр:d1", "Лad1", "e:d5", "e8Ф", "0-0", "Фg7#"."""
        after = self.push(move)
        suffix = "#" if after.is_mate() else "+" if after.in_check() else ""
        if self.is_castling(move):
            return ("0-0" if move.to > move.frm else "0-0-0") + suffix
        p = self.board[move.frm].upper()
        to = square_name(move.to)
        capture = ":" if self.is_capture(move) else ""
        if p == "P":
            text = (FILES[move.frm % 8] + capture + to) if capture else to
            if move.promotion:
                text += RU_LETTER[move.promotion]
            return text + suffix
        rivals = [m.frm for m in self.legal_moves()
                  if m.to == move.to and m.frm != move.frm
                  and self.board[m.frm] == self.board[move.frm]]
        hint = ""
        if rivals:
            if all(r % 8 != move.frm % 8 for r in rivals):
                hint = FILES[move.frm % 8]
            elif all(r // 8 != move.frm // 8 for r in rivals):
                hint = str(move.frm // 8 + 1)
            else:
                hint = square_name(move.frm)
        return RU_LETTER[p] + hint + capture + to + suffix

    def parse_move(self, text: str) -> Move:
        """Finds a written move among the legal moves; see WRITTEN_PIECE for the letters."""
        written = text.strip()
        # Cyrillic а, с, е and х look like the Latin file letters and "x" and
        # slip in when typing on a Russian keyboard; the piece letters are
        # capitals, so lower-case ones can only mean the Latin letters.
        body = re.sub(r"[!?]+$", "", written).translate(LOOKALIKES)
        mark = ""
        if body.endswith(("#", "+")):
            mark, body = body[-1], body[:-1]
        body = re.sub(r"(?<=[1-8])(e\.p\.|ep)$", "", body)   # "e:d6e.p." names en passant
        legal = self.legal_moves()
        candidates = self._match(body, legal, written)
        if not candidates:
            raise ChessError(f"'{written}' is not a legal move here")
        if len(candidates) > 1:
            names = ", ".join(sorted(self.russian(m) for m in candidates))
            raise ChessError(f"'{written}' is ambiguous: it can be {names}")
        move = candidates[0]
        after = self.push(move)
        if mark == "#" and not after.is_mate():
            raise ChessError(f"'{written}' is marked as mate but {self.russian(move)} does not mate")
        if mark == "+" and not after.in_check():
            raise ChessError(f"'{written}' is marked as check but {self.russian(move)} gives no check")
        if mark == "+" and after.is_mate():
            raise ChessError(f"'{written}' is marked as check but it mates: write '#'")
        return move

    def _match(self, body: str, legal: list[Move], written: str) -> list[Move]:
        if re.fullmatch(r"[0O]-[0O]", body):
            return [m for m in legal if self.is_castling(m) and m.to > m.frm]
        if re.fullmatch(r"[0O]-[0O]-[0O]", body):
            return [m for m in legal if self.is_castling(m) and m.to < m.frm]
        m = re.fullmatch(r"([a-h][1-8])[-:x]?([a-h][1-8])([QRBNqrbnФЛСК])?", body)
        if m:
            frm, to = square(m.group(1)), square(m.group(2))
            promo = PROMOTION_LETTER[m.group(3)] if m.group(3) else None
            return [mv for mv in legal if mv.frm == frm and mv.to == to and mv.promotion == promo]
        m = re.fullmatch(r"(Кр|Ф|Л|С|К|K|Q|R|B|N)([a-h])?([1-8])?([:x])?([a-h][1-8])", body)
        if m:
            kind = WRITTEN_PIECE[m.group(1)]
            to = square(m.group(5))
            found = [mv for mv in legal
                     if self.board[mv.frm].upper() == kind and mv.to == to
                     and not self.is_castling(mv)
                     and (m.group(2) is None or FILES[mv.frm % 8] == m.group(2))
                     and (m.group(3) is None or str(mv.frm // 8 + 1) == m.group(3))]
            self._check_capture_mark(found, bool(m.group(4)), written)
            return found
        promo_re = r"(?:=?([QRBNФЛСК]))?"
        m = re.fullmatch(r"([a-h][1-8])" + promo_re, body)
        if m:
            to = square(m.group(1))
            promo = PROMOTION_LETTER[m.group(2)] if m.group(2) else None
            return [mv for mv in legal if self.board[mv.frm].upper() == "P" and mv.to == to
                    and mv.frm % 8 == mv.to % 8 and mv.promotion == promo]
        # Pawn captures: "e:d5", "exd5", "ed5", or just the two files "ed".
        m = re.fullmatch(r"([a-h])[:x]?([a-h])([1-8])?" + promo_re, body)
        if m:
            promo = PROMOTION_LETTER[m.group(4)] if m.group(4) else None
            return [mv for mv in legal if self.board[mv.frm].upper() == "P"
                    and FILES[mv.frm % 8] == m.group(1) and FILES[mv.to % 8] == m.group(2)
                    and mv.frm % 8 != mv.to % 8
                    and (m.group(3) is None or str(mv.to // 8 + 1) == m.group(3))
                    and mv.promotion == promo]
        raise ChessError(f"'{written}' is not a move in short notation or coordinates")

    def _check_capture_mark(self, found: list[Move], marked: bool, written: str) -> None:
        if marked and len(found) == 1 and not self.is_capture(found[0]):
            raise ChessError(f"'{written}' is marked as a capture but "
                             f"{self.russian(found[0])} takes nothing")


def parse_fen(fen: str) -> Position:
    """A FEN that must also be a legal diagram."""
    pos = Position.from_fen(fen)
    pos.validate()
    return pos

#!/usr/bin/env python3
"""Rules, notation and the source reader: what a teacher's typing can break."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chess  # noqa: E402
import source  # noqa: E402


def play(fen, *written):
    """The Russian drawing of each written move, played from fen."""
    pos = chess.parse_fen(fen)
    drawn = []
    for text in written:
        move = pos.parse_move(text)
        drawn.append(pos.russian(move))
        pos = pos.push(move)
    return drawn, pos


class MoveGeneration(unittest.TestCase):
    def perft(self, pos, depth):
        if depth == 0:
            return 1
        return sum(self.perft(pos.push(m), depth - 1) for m in pos.legal_moves())

    def test_known_move_counts(self):
        # Published counts; the second position has castling, pins, en passant
        # and promotions close together.
        cases = [("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 3, 8902),
                 ("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 2, 2039),
                 ("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3, 2812),
                 ("rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 2, 1486)]
        for fen, depth, count in cases:
            with self.subTest(fen=fen):
                self.assertEqual(self.perft(chess.Position.from_fen(fen), depth), count)

    def test_castling_is_refused_through_an_attacked_square(self):
        pos = chess.parse_fen("4k3/8/8/8/8/8/5r2/R3K2R w KQ - 0 1")
        self.assertNotIn("e1g1", {m.uci() for m in pos.legal_moves()})
        with self.assertRaisesRegex(chess.ChessError, "not a legal move"):
            pos.parse_move("0-0")
        self.assertEqual(play("4k3/8/8/8/8/8/5r2/R3K2R w KQ - 0 1", "0-0-0")[0], ["0-0-0"])


class Notation(unittest.TestCase):
    def test_disambiguation(self):
        cases = [
            # Two rooks on one rank: the file tells them apart.
            ("6k1/8/8/8/8/8/8/R4RK1 w - - 0 1", "Rad1", "Лad1"),
            # Two knights on one file: the rank.
            ("6k1/8/8/6N1/8/8/8/4K1N1 w - - 0 1", "N1f3", "К1f3"),
            # Three queens, each sharing a file or a rank with another: the square.
            ("6k1/8/8/8/4Q2Q/8/8/K6Q w - - 0 1", "Qh4e1", "Фh4e1"),
            # The knight on c3 is pinned and cannot go to e2, so the other needs no letter.
            ("4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1", "Кe2", "Кe2"),
        ]
        for fen, written, drawn in cases:
            with self.subTest(written=written):
                self.assertEqual(play(fen, written)[0], [drawn])

    def test_captures_en_passant_and_promotion(self):
        drawn, pos = play("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6")
        self.assertEqual(drawn, ["e:d6"])
        self.assertIsNone(pos.board[chess.square("d5")], "the passed pawn is taken off")
        self.assertEqual(play("3rk3/4P3/8/8/8/8/8/4K3 w - - 0 1", "e:d8Ф+")[0], ["e:d8Ф+"])
        self.assertEqual(play("8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8n")[0], ["e8К"])
        self.assertEqual(play("8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e8=Q")[0], ["e8Ф"])
        self.assertEqual(play("5k2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "O-O")[0], ["0-0+"])

    def test_check_and_mate_marks(self):
        fen = "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1"
        self.assertEqual(play(fen, "Ла8")[0], ["Лa8#"])   # Cyrillic "а" typed for the file
        pos = chess.parse_fen(fen)
        with self.assertRaisesRegex(chess.ChessError, "it mates: write '#'"):
            pos.parse_move("Ra8+")
        with self.assertRaisesRegex(chess.ChessError, "marked as mate"):
            pos.parse_move("Ra7#")
        with self.assertRaisesRegex(chess.ChessError, "gives no check"):
            pos.parse_move("Ra7+")
        with self.assertRaisesRegex(chess.ChessError, "takes nothing"):
            pos.parse_move("Л:a7")

    def test_letters_and_ambiguity(self):
        fen = "4k3/8/8/8/8/8/8/1N1K1N2 w - - 0 1"
        # Cyrillic К is the knight, Latin K the king.
        self.assertEqual(play(fen, "Ke2")[0], ["Крe2"])
        with self.assertRaisesRegex(chess.ChessError, "ambiguous: it can be Кbd2, Кfd2"):
            chess.parse_fen(fen).parse_move("Кd2")
        with self.assertRaisesRegex(chess.ChessError, "not a move in short notation"):
            chess.parse_fen(fen).parse_move("Zd2")


class Diagrams(unittest.TestCase):
    def test_impossible_positions_are_refused(self):
        cases = [
            ("4k3/8/8/8/8/8/8/4K2K w - - 0 1", "White has 2 kings"),
            ("4k2P/8/8/8/8/8/8/4K3 w - - 0 1", "a pawn on h8"),
            ("4k3/8/8/8/8/8/PPPPPPPP/P3K3 b - - 0 1", "9 pawns"),
            ("4k3/8/8/8/8/8/8/R3K3 w - - 0 1", None),
            ("4k3/4R3/8/8/8/8/8/4K3 w - - 0 1", "Black is in check"),
            ("4k3/8/8/8/8/8/8/R3K3 w K - 0 1", "castling right 'K'"),
            ("4k3/8/8/8/3p4/8/8/4K3 w - d3 0 1", "en passant square d3 is not on rank 6"),
            ("4k3/8/8/3p4/8/8/8/4K3 w - e6 0 1", "no pawn has just passed it"),
            ("QQQQk3/QQQQ4/8/8/8/8/4PPPP/4K3 w - - 0 1", "promoted men"),
            ("4k3/8/8/8/8/8/8/4K3 x - - 0 1", "side to move"),
            ("4k3/8/8/8/8/8/8/4K4 w - - 0 1", "rank 1"),
            ("4k3/8/8/8/8/8/8 w - - 0 1", "8 ranks"),
        ]
        for fen, message in cases:
            with self.subTest(fen=fen):
                if message is None:
                    chess.parse_fen(fen)
                else:
                    with self.assertRaisesRegex(chess.ChessError, message):
                        chess.parse_fen(fen)


PAGE = """[page {n}]
title: Page {n}
text: words
"""


def textbook(page2, first=2, last=20, head="[title]\ntitle: Book\ntext: For everyone.\n\n"):
    pages = [page2] + [PAGE.format(n=n) for n in range(first + 1, last + 1)]
    return head + "\n".join(pages)


GOOD_PAGE = """[page 2]
title: Back rank
fen: 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1
moves: 1. Ra8#
claim: mate 1
text: The move {1} mates
at once.

Second paragraph.
"""


class Reader(unittest.TestCase):
    def load(self, text, kind="textbook"):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8") as f:
            f.write(text)
        self.addCleanup(os.unlink, f.name)
        return source.load(f.name, kind), f.name

    def fails(self, text, line, message, kind="textbook"):
        with self.assertRaises(source.SourceError) as caught:
            self.load(text, kind)
        e = caught.exception
        self.assertEqual((e.line, message in e.message), (line, True), str(e))
        self.assertTrue(str(e).endswith(f":{line}: {e.message}"))

    def test_a_good_page(self):
        book, path = self.load(textbook(GOOD_PAGE))
        page = book.pages[0]
        self.assertEqual((book.title.title, len(book.pages), page.number, page.line), ("Book", 19, 2, 5))
        self.assertEqual(page.moves, ("Лa8#",))
        self.assertEqual(page.uci, ("a1a8",))
        self.assertEqual(page.claim, ("mate", 1))
        self.assertEqual(page.side_to_move, "w")
        self.assertEqual(page.pieces["a1"], "R")
        self.assertEqual(page.paragraphs, ("The move Лa8# mates at once.", "Second paragraph."))
        self.assertEqual(book.pages[1].fen, None)
        self.assertEqual(book.pages[1].claim, None)

    def test_black_to_move_numbers_from_the_fen(self):
        page = GOOD_PAGE.replace("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1",
                                 "3r2k1/5ppp/8/8/8/8/5PPP/4R1K1 b - - 0 23").replace(
            "moves: 1. Ra8#", "moves: 23... Rd1 Rxd1 h6 Rd8+ Kh7").replace("claim: mate 1", "claim: none")
        entry = self.load(textbook(page))[0].pages[0]
        self.assertEqual(entry.moves_text, "23... Лd1 24. Л:d1 h6 25. Лd8+ Крh7")
        self.assertEqual(entry.uci, ("d8d1", "e1d1", "h7h6", "d1d8", "g8h7"))
        self.assertEqual(entry.side_to_move, "b")

    def test_malformed_entries(self):
        g = GOOD_PAGE
        cases = [
            (g.replace("claim:", "claims:"), 9, "unknown key 'claims'"),
            (g.replace("title: Back rank\n", ""), 5, "page 2 has no 'title'"),
            (g.replace("1. Ra8#", "1. Ra9#"), 8, "move 1: 'Ra9#' is not a move"),
            (g.replace("1. Ra8#", "1. Rb8#"), 8, "'Rb8#' is not a legal move"),
            (g.replace("1. Ra8#", "1. Ra8+"), 8, "write '#'"),
            (g.replace("8/5PPP", "8/5PPK"), 7, "fen: White has 2 kings"),
            (g.replace("8/5PPP", "8/5P1P"), 7, None),
            (g.replace("{1}", "{2}"), 10, "{2} names no move"),
            (g.replace("{1}", "{x"), 10, "brace"),
            (g.replace("claim: mate 1", "claim: mate"), 9, "is not 'mate N', 'win' or 'none'"),
            (g.replace("claim: mate 1", "claim: mate 2"), 9, "must be 3 plies"),
            (g.replace("claim: mate 1", "claim: win\nfen: 8/8/8/8/8/8/8/8 w - - 0 1"), 10,
             "'fen' given twice"),
            (g.replace("moves: 1. Ra8#\n", ""), 8, "needs 'moves'"),
            (g.replace("claim: mate 1\n", ""), 7, "a diagram without 'claim'"),
            (g.replace("fen: 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\n", ""), 7,
             "'moves' without 'fen'"),
            (g.replace("at once.", "at once, or Кc7 does it."), 11, "a move typed in the text ('Кc7')"),
            (g.replace("at once.", "after e:d5."), 11, "('e:d5')"),
            (g.replace("Second paragraph.", "Second paragraph.\ntitle2 x"), 13, None),
        ]
        for text, line, message in cases:
            with self.subTest(message=message, line=line):
                if message is None:
                    self.load(textbook(text))   # still well formed
                else:
                    self.fails(textbook(text), line, message)

    def test_page_order(self):
        fine = textbook(GOOD_PAGE)
        self.fails("stray\n" + fine, 1, "text before the first entry")
        # GOOD_PAGE ends on line 13, then a blank line; each further page takes four lines.
        self.fails(fine.replace("[page 3]", "[page 4]", 1), 15, "[page 4] where [page 3] belongs")
        self.fails(fine.replace("[page 4]", "[page 3]", 1), 19, "[page 3] given twice (first at line 15)")
        self.fails(fine.replace("[page 7]", "[pg 7]"), 31, "unknown entry [pg 7]")
        self.fails(textbook(GOOD_PAGE, last=19), 81, "missing [page 20]")
        self.fails(textbook(GOOD_PAGE, head="[title]\ntext: no title\n"), 1, "the title has no 'title'")
        self.fails(textbook(GOOD_PAGE, head=""), 1, "must start with the entry [title]")

    def test_help_entries_have_no_diagram(self):
        head = "[title]\ntitle: Help\n"
        pages = "".join(PAGE.format(n=n) for n in range(2, 9))
        book, _ = self.load(head + PAGE.format(n=1) + pages, "help")
        self.assertEqual([p.number for p in book.pages], list(range(1, 9)))
        with_fen = PAGE.format(n=1) + "fen: 4k3/8/8/8/8/8/8/4K3 w - - 0 1\n"
        self.fails(head + with_fen + pages, 6, "'fen' in a help entry", kind="help")
        self.fails(head + PAGE.format(n=1) + pages + PAGE.format(n=9), 27,
                   "the help ends at page 8", kind="help")


if __name__ == "__main__":
    unittest.main()

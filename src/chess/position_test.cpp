#include "chess/position.h"

#include <gtest/gtest.h>

#include "chess/notation.h"

namespace zel::chess {
namespace {

std::string ErrorOf(std::string_view fen) {
  std::string error = "<accepted>";
  EXPECT_FALSE(Position::FromFen(fen, &error)) << fen;
  return error;
}

Position Fen(std::string_view fen) {
  std::string error;
  const auto position = Position::FromFen(fen, &error);
  EXPECT_TRUE(position) << fen << ": " << error;
  return position.value_or(Position::Start());
}

Position Play(const Position& p, std::string_view uci) {
  const auto move = MoveFromUci(p, uci);
  EXPECT_TRUE(move) << uci << " in " << p.Fen();
  return move ? p.After(*move) : p;
}

TEST(ChessFen, ReadsBackWhatItWrites) {
  for (const char* fen : {
           "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
           "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
           "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
           "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
           "r3k2r/8/8/8/8/8/8/R3K2R b Kq - 99 4000000000",
           "4k3/8/8/8/8/8/8/4K3 b - - 0 1",
       }) {
    EXPECT_EQ(Fen(fen).Fen(), fen);
  }
  EXPECT_EQ(Position::Start().Fen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  EXPECT_EQ(Position(), Position::Start());
  // Without the counters, and with blanks around and between the fields.
  EXPECT_EQ(Fen("  4k3/8/8/8/8/8/8/4K3   w  -\t- \r\n").Fen(), "4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  // Counts of empty squares may come in pieces; they are written whole.
  EXPECT_EQ(Fen("4k3/8/8/8/8/8/8/211K3 w - - 0 1").Fen(), "4k3/8/8/8/8/8/8/4K3 w - - 0 1");
}

TEST(ChessFen, SyntaxFaultsNamed) {
  EXPECT_EQ(ErrorOf(""), "Invalid FEN: 0 fields, not 6 (or 4 without the move counters)");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - - 0"),
            "Invalid FEN: 5 fields, not 6 (or 4 without the move counters)");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 W - - 0 1"),
            "Invalid FEN: side to move 'W' is not 'w' or 'b'");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w QK - 0 1"),
            "Invalid FEN: castling rights 'QK' are not '-' or some of KQkq in that order");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w KK - 0 1"),
            "Invalid FEN: castling rights 'KK' are not '-' or some of KQkq in that order");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - e9 0 1"),
            "Invalid FEN: en passant square 'e9' is not '-' or a square");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - e3 0 1"),
            "Invalid FEN: en passant square e3 is not on rank 6, where it lies with White to move");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/4K3 w - - 0 1"),
            "Invalid FEN: the board has 7 ranks separated by '/', not 8");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K4 w - - 0 1"),
            "Invalid FEN: rank 1 ('4K4') has 9 squares, not 8");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K2 w - - 0 1"),
            "Invalid FEN: rank 1 ('4K2') has 7 squares, not 8");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K2X w - - 0 1"),
            "Invalid FEN: 'X' on rank 1 is not a piece letter or a count of empty squares");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K209 w - - 0 1"),
            "Invalid FEN: '0' on rank 1 is not a piece letter or a count of empty squares");
  // A byte that is not printable ASCII is shown by its number, never as half a character.
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K2\xD0\x9A w - - 0 1"),
            "Invalid FEN: '\\xD0' on rank 1 is not a piece letter or a count of empty squares");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - - x 1"),
            "Invalid FEN: halfmove clock 'x' is not a number");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - - -1 1"),
            "Invalid FEN: halfmove clock '-1' is not a number");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - - 0 0"),
            "Invalid FEN: move number '0' is not a number from 1");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K3 w - - 0 4294967296"),
            "Invalid FEN: move number '4294967296' is not a number from 1");
}

TEST(ChessFen, ImpossiblePositionsNamed) {
  EXPECT_EQ(ErrorOf("8/8/8/8/8/8/8/4K3 w - - 0 1"), "Unsupported position: Black has no king");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/3KK3 w - - 0 1"),
            "Unsupported position: White has 2 kings, not one");
  EXPECT_EQ(ErrorOf("4k2P/8/8/8/8/8/8/4K3 w - - 0 1"),
            "Unsupported position: a white pawn on h8: pawns never stand on rank 1 or 8");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/p3K3 w - - 0 1"),
            "Unsupported position: a black pawn on a1: pawns never stand on rank 1 or 8");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - - 0 1"),
            "Unsupported position: White has 9 pawns, more than 8");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/NN6/PPPPPPPP/RNBQKBNR w - - 0 1"),
            "Unsupported position: White has 18 men, more than 16");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/PPPPPPP1/QQQ1K3 w - - 0 1"),
            "Unsupported position: White has 2 promoted men but only 1 pawn missing");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/PPPPPP2/QQQQK3 w - - 0 1"),
            "Unsupported position: White has 3 promoted men but only 2 pawns missing");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K2r b - - 0 1"),
            "Unsupported position: White is in check but Black is to move");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/3n1n2/8/r3K3 w - - 0 1"),
            "Unsupported position: White is in check from 3 men, more than a move can give");
  EXPECT_EQ(
      ErrorOf("4k3/8/8/8/8/8/8/4K1R1 w K - 0 1"),
      "Unsupported position: castling right 'K' needs the white king on e1 and its rook on h1");
  EXPECT_EQ(
      ErrorOf("1r2k3/8/8/8/8/8/8/4K3 w q - 0 1"),
      "Unsupported position: castling right 'q' needs the black king on e8 and its rook on a8");
  EXPECT_EQ(
      ErrorOf("4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1"),
      "Unsupported position: en passant square d6, but no black pawn has just gone from d7 to d5");
  EXPECT_EQ(
      ErrorOf("4k3/3p4/8/3pP3/8/8/8/4K3 w - d6 0 1"),
      "Unsupported position: en passant square d6, but no black pawn has just gone from d7 to d5");
}

TEST(ChessFen, FirstFaultInTheDocumentedOrderWins) {
  // A bad side to move comes before a bad board, a board before an impossible
  // position, an impossible position before bad counters.
  EXPECT_EQ(ErrorOf("8/8/8 x - - 0 1"), "Invalid FEN: side to move 'x' is not 'w' or 'b'");
  EXPECT_EQ(ErrorOf("8/8/8 w - - 0 1"),
            "Invalid FEN: the board has 3 ranks separated by '/', not 8");
  EXPECT_EQ(ErrorOf("8/8/8/8/8/8/8/8 w - - x 0"), "Unsupported position: White has no king");
  EXPECT_EQ(ErrorOf("4k2P/8/8/8/8/8/8/3KK3 w - - 0 1"),
            "Unsupported position: White has 2 kings, not one");
  EXPECT_EQ(ErrorOf("4k3/8/8/8/8/8/8/4K2r b K - x 1"),
            "Unsupported position: White is in check but Black is to move");
  // Without a place to put it, the error is simply not written.
  EXPECT_FALSE(Position::FromFen("nonsense"));
}

TEST(ChessFen, EnPassantKeptOnlyWhenTheCaptureIsLegal) {
  // Accepted on input whenever a pawn has just passed the square...
  EXPECT_EQ(Fen("4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1").Fen(), "4k3/8/8/8/4P3/8/8/4K3 b - - 0 1");
  EXPECT_EQ(Fen("4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1").Fen(), "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
  // ...but not kept where taking would expose the king (the rook on the rank).
  EXPECT_EQ(Fen("8/8/8/8/k2pP2R/8/8/4K3 b - e3 0 1").Fen(), "8/8/8/8/k2pP2R/8/8/4K3 b - - 0 1");
  // The same rule after a move: 1. e4 leaves no square, a double step beside an enemy pawn does.
  EXPECT_EQ(Play(Position::Start(), "e2e4").Fen(),
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
  EXPECT_EQ(Play(Fen("4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1"), "e2e4").Fen(),
            "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
}

TEST(ChessPosition, AfterPlaysEverySpecialMove) {
  const Position castling = Fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 10");
  EXPECT_EQ(Play(castling, "e1g1").Fen(), "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 6 10");
  EXPECT_EQ(Play(castling, "e1c1").Fen(), "r3k2r/8/8/8/8/8/8/2KR3R b kq - 6 10");
  EXPECT_EQ(Play(Play(castling, "a1b1"), "e8c8").Fen(), "2kr3r/8/8/8/8/8/8/1R2K2R w K - 7 11");
  // Taking a rook at home takes its right away; moving a rook away, its own.
  EXPECT_EQ(Play(castling, "a1a8").Fen(), "R3k2r/8/8/8/8/8/8/4K2R b Kk - 0 10");
  EXPECT_EQ(Play(castling, "h1h4").Fen(), "r3k2r/8/8/8/7R/8/8/R3K3 b Qkq - 6 10");

  const Position pawns = Fen("4k3/1P6/8/3pP3/8/8/8/4K3 w - d6 3 40");
  EXPECT_EQ(Play(pawns, "e5d6").Fen(), "4k3/1P6/3P4/8/8/8/8/4K3 b - - 0 40");
  EXPECT_EQ(Play(pawns, "b7b8n").Fen(), "1N2k3/8/8/3pP3/8/8/8/4K3 b - - 0 40");
  EXPECT_EQ(Play(pawns, "e1f1").Fen(), "4k3/1P6/8/3pP3/8/8/8/5K2 b - - 4 40");
  // A copy is untouched by the move played from it.
  EXPECT_EQ(pawns.Fen(), "4k3/1P6/8/3pP3/8/8/8/4K3 w - d6 3 40");
  // No move at all, or one from an empty square, leaves the position as it is.
  EXPECT_EQ(pawns.After(Move{}), pawns);
  EXPECT_EQ(pawns.After(Move{MakeSquare(0, 0), MakeSquare(0, 1)}), pawns);
  // The move's kind is worked out from the board: a hand-built e1g1 castles.
  EXPECT_EQ(castling.After(Move{MakeSquare(4, 0), MakeSquare(6, 0)}).Fen(),
            "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 6 10");
}

TEST(ChessPosition, PiecesAndCheck) {
  const Position start = Position::Start();
  EXPECT_EQ(start.PieceAt(MakeSquare(4, 0)), (Piece{White, King}));
  EXPECT_EQ(start.PieceAt(MakeSquare(3, 7)), (Piece{Black, Queen}));
  EXPECT_EQ(start.PieceAt(MakeSquare(4, 3)), std::nullopt);
  EXPECT_EQ(start.PieceAt(kNoSquare), std::nullopt);
  EXPECT_EQ(start.SideToMove(), White);
  EXPECT_FALSE(start.InCheck());
  const Position check = Fen("4k3/8/8/1B6/8/8/8/4K3 b - - 0 1");
  EXPECT_TRUE(check.InCheck());
  EXPECT_EQ(check.SideToMove(), Black);
  EXPECT_EQ(check.KingSquare(Black), MakeSquare(4, 7));
}

TEST(ChessSquares, NamesBothWays) {
  EXPECT_EQ(SquareName(0), "a1");
  EXPECT_EQ(SquareName(28), "e4");
  EXPECT_EQ(SquareName(63), "h8");
  EXPECT_EQ(SquareName(kNoSquare), "-");
  for (Square s = 0; s < 64; ++s) EXPECT_EQ(SquareFromName(SquareName(s)), s);
  for (const char* bad : {"", "e", "e44", "i1", "a0", "a9", "E4", "4e"})
    EXPECT_FALSE(SquareFromName(bad)) << bad;
  EXPECT_EQ(MakeSquare(4, 3), 28);
  EXPECT_EQ(FileOf(28), 4);
  EXPECT_EQ(RankOf(28), 3);
}

}  // namespace
}  // namespace zel::chess

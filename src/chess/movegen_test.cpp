#include "chess/movegen.h"

#include <gtest/gtest.h>

#include <set>

#include "chess/notation.h"

namespace zel::chess {
namespace {

Position Fen(std::string_view fen) {
  std::string error;
  const auto position = Position::FromFen(fen, &error);
  EXPECT_TRUE(position) << fen << ": " << error;
  return position.value_or(Position::Start());
}

std::set<std::string> UciMoves(const Position& position) {
  std::set<std::string> moves;
  for (const Move& m : LegalMoves(position)) moves.insert(UciText(m));
  return moves;
}

bool Allows(std::string_view fen, std::string_view uci) {
  return UciMoves(Fen(fen)).count(std::string(uci)) == 1;
}

constexpr std::string_view kKiwipete =
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST(ChessPerft, StartPosition) {
  const Position start = Position::Start();
  EXPECT_EQ(Perft(start, 0), 1u);
  EXPECT_EQ(Perft(start, 1), 20u);
  EXPECT_EQ(Perft(start, 2), 400u);
  EXPECT_EQ(Perft(start, 3), 8902u);
  EXPECT_EQ(Perft(start, 4), 197281u);
}

TEST(ChessPerft, Kiwipete) {
  const Position kiwipete = Fen(kKiwipete);
  EXPECT_EQ(Perft(kiwipete, 1), 48u);
  EXPECT_EQ(Perft(kiwipete, 2), 2039u);
  EXPECT_EQ(Perft(kiwipete, 3), 97862u);
}

// Positions that catch the usual faults of a move generator, with the node
// counts Debian's stockfish gives for them ("go perft").
TEST(ChessPerft, TrickyPositions) {
  struct Case {
    const char* what;
    const char* fen;
    int depth;
    std::uint64_t nodes;
  };
  const Case cases[] = {
      {"en passant would expose the king on the rank", "3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 4,
       10138},
      {"en passant through a bishop's pin", "8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1", 4, 10276},
      {"en passant gives check", "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 4, 13931},
      {"short castling gives check", "5k2/8/8/8/8/8/8/4K2R w K - 0 1", 4, 6399},
      {"long castling gives check", "3k4/8/8/8/8/8/8/R3K3 w Q - 0 1", 4, 7418},
      {"castling rights lost by captures", "r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 3, 27826},
      {"castling prevented by attacks", "r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1", 3, 50509},
      {"promotion out of check", "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 4, 19174},
      {"discovered check", "8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1", 4, 31961},
      {"promotion gives check", "4k3/1P6/8/8/8/8/K7/8 w - - 0 1", 4, 2661},
      {"underpromotion gives check", "8/P1k5/K7/8/8/8/8/8 w - - 0 1", 4, 1329},
      {"stalemating oneself", "K1k5/8/P7/8/8/8/8/8 w - - 0 1", 6, 2217},
      {"stalemate and mate on promotion", "8/k1P5/8/1K6/8/8/8/8 w - - 0 1", 5, 10857},
      {"double check", "8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1", 4, 23527},
      {"rook and pawns endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
      {"promotions and castling under fire",
       "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
      {"promotion with capture onto the back rank",
       "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
      {"middlegame", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3,
       89890},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Perft(Fen(c.fen), c.depth), c.nodes) << c.what << ": " << c.fen;
}

TEST(ChessPerft, DivideNamesEachLegalMoveOnceAndAddsUp) {
  const Position kiwipete = Fen(kKiwipete);
  const std::vector<PerftCount> divide = PerftDivide(kiwipete, 2);
  std::set<std::string> named;
  std::uint64_t total = 0;
  for (const PerftCount& c : divide) {
    named.insert(UciText(c.move));
    total += c.nodes;
    EXPECT_EQ(c.nodes, Perft(kiwipete.After(c.move), 1)) << UciText(c.move);
  }
  EXPECT_EQ(named, UciMoves(kiwipete));
  EXPECT_EQ(divide.size(), 48u);
  EXPECT_EQ(total, 2039u);
}

// At every node of a small tree: the quick answers agree with the full list,
// no move leaves its own king attacked, and every position reads back from its FEN.
TEST(ChessMoves, EveryNodeIsConsistent) {
  int nodes = 0;
  const auto walk = [&](auto&& self, const Position& p, int depth) -> void {
    ++nodes;
    const MoveList moves = LegalMoves(p);
    ASSERT_EQ(HasLegalMove(p), !moves.empty()) << p.Fen();
    ASSERT_EQ(IsCheckmate(p), p.InCheck() && moves.empty()) << p.Fen();
    ASSERT_EQ(IsStalemate(p), !p.InCheck() && moves.empty()) << p.Fen();
    const auto back = Position::FromFen(p.Fen());
    ASSERT_TRUE(back && *back == p) << p.Fen();
    if (depth == 0) return;
    for (const Move& m : moves) {
      const Position after = p.After(m);
      ASSERT_FALSE(after.IsAttacked(after.KingSquare(p.SideToMove()), after.SideToMove()))
          << p.Fen() << " " << UciText(m);
      self(self, after, depth - 1);
    }
  };
  for (const char* fen : {"r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1",
                          "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", "8/k1P5/8/1K6/8/8/8/8 w - - 0 1",
                          "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"})
    walk(walk, Fen(fen), 2);
  EXPECT_GT(nodes, 1000);
}

TEST(ChessMoves, CastlingRules) {
  // Allowed: nothing between, nothing attacked on the king's way.
  EXPECT_TRUE(Allows("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1"));
  EXPECT_TRUE(Allows("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1"));
  EXPECT_TRUE(Allows("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8"));
  // The rook may pass an attacked square (b1); the king may not.
  EXPECT_TRUE(Allows("1r2k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1"));
  EXPECT_FALSE(Allows("3rk3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1"));   // through d1
  EXPECT_FALSE(Allows("5rk1/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1"));   // through f1
  EXPECT_FALSE(Allows("6rk/8/8/8/8/8/7P/4K2R w K - 0 1", "e1g1"));   // into g1
  EXPECT_FALSE(Allows("4r1k1/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1"));  // out of check
  EXPECT_FALSE(Allows("4k3/8/8/8/8/8/8/RN2K3 w Q - 0 1", "e1c1"));   // b1 occupied
  EXPECT_FALSE(Allows("4k3/8/8/8/8/8/8/4KB1R w K - 0 1", "e1g1"));   // f1 occupied
  EXPECT_FALSE(Allows("4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "e1g1"));   // no right
  EXPECT_FALSE(Allows("4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", "e1g1"));   // the other right only
}

TEST(ChessMoves, EnPassantAndPromotion) {
  // The capture exists only right after the double step, and not when it
  // would leave the king open along the rank.
  EXPECT_TRUE(Allows("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6"));
  EXPECT_FALSE(Allows("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6"));
  EXPECT_FALSE(Allows("4k3/8/8/K2pP2r/8/8/8/8 w - d6 0 1", "e5d6"));
  const Position p =
      Fen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1").After(Move{MakeSquare(4, 4), MakeSquare(3, 5)});
  EXPECT_FALSE(p.PieceAt(MakeSquare(3, 4))) << "the pawn taken en passant stays on the board";
  // A pawn reaching the last rank becomes each of four pieces, never stays a pawn.
  const std::set<std::string> promotions = UciMoves(Fen("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1"));
  for (const char* uci : {"b7b8q", "b7b8r", "b7b8b", "b7b8n"})
    EXPECT_EQ(promotions.count(uci), 1u) << uci;
  EXPECT_EQ(promotions.count("b7b8"), 0u);
}

TEST(ChessMoves, MateAndStalemate) {
  const Position foolsMate = Fen("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3");
  EXPECT_TRUE(IsCheckmate(foolsMate));
  EXPECT_FALSE(IsStalemate(foolsMate));
  EXPECT_TRUE(LegalMoves(foolsMate).empty());

  const Position stalemate = Fen("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_TRUE(IsStalemate(stalemate));
  EXPECT_FALSE(IsCheckmate(stalemate));

  const Position check = Fen("4k3/8/8/8/8/8/4q3/4K3 w - - 0 1");  // the king takes the queen
  EXPECT_TRUE(check.InCheck());
  EXPECT_FALSE(IsCheckmate(check));
  EXPECT_EQ(UciMoves(check), (std::set<std::string>{"e1e2"}));

  const Position backRank = Fen("3R2k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
  EXPECT_TRUE(IsCheckmate(backRank));
  EXPECT_FALSE(IsCheckmate(Position::Start()));
  EXPECT_FALSE(IsStalemate(Position::Start()));
}

TEST(ChessMoves, MoveListFindsMovesByTheirSquares) {
  const MoveList moves = LegalMoves(Fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"));
  EXPECT_TRUE(moves.contains(Move{MakeSquare(4, 0), MakeSquare(6, 0)}));  // kind left Normal
  EXPECT_FALSE(moves.contains(Move{MakeSquare(4, 0), MakeSquare(4, 2)}));
  EXPECT_EQ(moves.size(), 26u);
}

}  // namespace
}  // namespace zel::chess

#include "chess/notation.h"

#include <gtest/gtest.h>

#include "chess/movegen.h"

namespace zel::chess {
namespace {

using Fault = ParsedMove::Fault;

Position Fen(std::string_view fen) {
  std::string error;
  const auto position = Position::FromFen(fen, &error);
  EXPECT_TRUE(position) << fen << ": " << error;
  return position.value_or(Position::Start());
}

Square At(std::string_view name) { return SquareFromName(name).value_or(kNoSquare); }

constexpr std::string_view kKiwipete =
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
constexpr std::string_view kPromotion = "1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1";

TEST(ChessNotation, WritesBothLanguages) {
  struct Case {
    std::string_view fen, uci, russian, english;
  };
  const Case cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2e4", "e4", "e4"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "g1f3", "Кf3", "Nf3"},
      {kKiwipete, "e1g1", "0-0", "O-O"},
      {kKiwipete, "e1c1", "0-0-0", "O-O-O"},
      {kKiwipete, "d5e6", "d:e6", "dxe6"},
      {kKiwipete, "e2a6", "С:a6", "Bxa6"},
      {kKiwipete, "f3f6", "Ф:f6", "Qxf6"},
      {kKiwipete, "e5d7", "К:d7", "Nxd7"},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", "0-0", "O-O"},
      {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", "0-0+", "O-O+"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "e:d6", "exd6"},
      {kPromotion, "a7a8q", "a8Ф", "a8=Q"},
      {kPromotion, "a7b8r", "a:b8Л+", "axb8=R+"},
      {kPromotion, "a7b8n", "a:b8К", "axb8=N"},
      {kPromotion, "a7b8b", "a:b8С", "axb8=B"},
      {"4k3/8/8/8/8/8/8/3rK3 w - - 0 1", "e1d1", "Кр:d1", "Kxd1"},
      {"4k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "a1a8", "Лa8+", "Ra8+"},
      {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", "Лa8#", "Ra8#"},
      {"rnbqkbnr/ppppp2p/8/5pp1/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 3", "d1h5", "Фh5#", "Qh5#"},
      // Told apart by the file, else the rank, else the whole square.
      {"4k3/8/8/8/8/8/8/R4RK1 w - - 0 1", "a1d1", "Лad1", "Rad1"},
      {"4k3/8/8/8/8/8/8/R4RK1 w - - 0 1", "f1d1", "Лfd1", "Rfd1"},
      {"4k3/8/8/R7/8/8/8/R5K1 w - - 0 1", "a1a3", "Л1a3", "R1a3"},
      {"4k3/8/8/R7/8/8/8/R5K1 w - - 0 1", "a5a3", "Л5a3", "R5a3"},
      {"2k5/8/8/8/4Q2Q/8/8/K6Q w - - 0 1", "h4e1", "Фh4e1", "Qh4e1"},
      {"2k5/8/8/8/4Q2Q/8/8/K6Q w - - 0 1", "e4e1", "Фee1", "Qee1"},
      {"2k5/8/8/8/4Q2Q/8/8/K6Q w - - 0 1", "h1e1", "Ф1e1", "Q1e1"},
      // A pinned rival does not count: only legal moves do.
      {"4k3/4r3/8/8/8/8/4N3/1N2K3 w - - 0 1", "b1c3", "Кc3", "Nc3"},
  };
  for (const Case& c : cases) {
    const Position p = Fen(c.fen);
    const auto move = MoveFromUci(p, c.uci);
    ASSERT_TRUE(move) << c.uci << " in " << c.fen;
    EXPECT_EQ(MoveText(p, *move, Language::Russian), c.russian) << c.uci << " in " << c.fen;
    EXPECT_EQ(MoveText(p, *move, Language::English), c.english) << c.uci << " in " << c.fen;
  }
  // A move that is not legal is written in coordinates.
  EXPECT_EQ(MoveText(Position::Start(), Move{At("e2"), At("e5")}, Language::Russian), "e2e5");
}

// Every legal move of many positions, written and read back in both
// languages and in coordinates.
TEST(ChessNotation, EveryMoveReadsBack) {
  std::vector<Position> positions;
  for (std::string_view fen :
       {std::string_view("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), kKiwipete,
        kPromotion,
        std::string_view("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"),
        std::string_view("2k5/8/8/8/4Q2Q/8/8/K6Q w - - 0 1"),
        std::string_view("4k1B1/8/8/3p4/2P5/8/8/4K3 w - - 0 1"),
        std::string_view("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"),
        std::string_view("rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"),
        std::string_view(
            "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"),
        std::string_view("r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1"),
        std::string_view("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"),
        std::string_view("n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1")}) {
    const Position root = Fen(fen);
    positions.push_back(root);
    for (const Move& m : LegalMoves(root)) positions.push_back(root.After(m));
  }
  int checked = 0;
  for (const Position& p : positions) {
    for (const Move& m : LegalMoves(p)) {
      for (const Language language : {Language::Russian, Language::English}) {
        const std::string text = MoveText(p, m, language);
        const ParsedMove back = ParseMoveText(p, text);
        EXPECT_EQ(back.fault, Fault::None) << text << " in " << p.Fen();
        EXPECT_EQ(back.move, m) << text << " in " << p.Fen();
      }
      EXPECT_EQ(MoveFromUci(p, UciText(m)), m) << UciText(m) << " in " << p.Fen();
      EXPECT_EQ(ParseMoveText(p, UciText(m)).move, m) << UciText(m) << " in " << p.Fen();
      ++checked;
    }
  }
  EXPECT_GT(checked, 5000);
}

TEST(ChessNotation, ReadsTypedForms) {
  struct Case {
    std::string_view fen, typed, uci;
  };
  const std::string_view start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  const std::string_view both = "4k1B1/8/8/3p4/2P5/8/8/4K3 w - - 0 1";  // Bd5 and cxd5
  const std::string_view kingAndKnight = "4k3/8/8/8/8/8/3N4/4K3 w - - 0 1";
  const Case cases[] = {
      {start, "e4", "e2e4"},
      {start, "e2e4", "e2e4"},
      {start, "e2-e4", "e2e4"},
      {start, "e2\u2013e4", "e2e4"},
      {start, " e4!? ", "e2e4"},
      {start, "Кf3", "g1f3"},
      {start, "кf3", "g1f3"},
      {start, "Nf3", "g1f3"},
      {start, "Кg1-f3", "g1f3"},
      {start, "Ng1f3", "g1f3"},
      {start, "Кgf3", "g1f3"},
      {start, "К1f3", "g1f3"},
      {kKiwipete, "0-0", "e1g1"},
      {kKiwipete, "O-O", "e1g1"},
      {kKiwipete, "o-o", "e1g1"},
      {kKiwipete, "\u041E-\u041E", "e1g1"},
      {kKiwipete, "0-0-0", "e1c1"},
      {kKiwipete, "O-O-O+", "e1c1"},
      {kKiwipete, "e1h1", "e1g1"},
      {kKiwipete, "e1a1", "e1c1"},
      {kKiwipete, "e1-g1", "e1g1"},
      {kKiwipete, "Сa6", "e2a6"},
      {kKiwipete, "с:a6", "e2a6"},
      {kKiwipete, "Bxa6", "e2a6"},
      {kKiwipete, "Cxa6", "e2a6"},
      {kKiwipete, "\u0421\u0445\u04306", "e2a6"},  // С х а 6
      {kKiwipete, "dxe6", "d5e6"},
      {kKiwipete, "de6", "d5e6"},
      {kKiwipete, "d:e6", "d5e6"},
      {kKiwipete, "de", "d5e6"},
      {kKiwipete, "d\u0435", "d5e6"},
      {kKiwipete, "gxh3", "g2h3"},
      {kKiwipete, "Ф:f6", "f3f6"},
      {kKiwipete, "фf6", "f3f6"},
      {kKiwipete, "Qxf6+", "f3f6"},
      {kKiwipete, "Лb1", "a1b1"},
      {kKiwipete, "лb1", "a1b1"},
      {kKiwipete, "Кр:d1", "e1d1"},
      {kKiwipete, "КРd1", "e1d1"},
      {kKiwipete, "Kd1", "e1d1"},
      {kKiwipete, "Крf1", "e1f1"},
      {kPromotion, "a8Ф", "a7a8q"},
      {kPromotion, "a8ф", "a7a8q"},
      {kPromotion, "a8=Q", "a7a8q"},
      {kPromotion, "a8Q", "a7a8q"},
      {kPromotion, "a8q", "a7a8q"},
      {kPromotion, "a7a8q", "a7a8q"},
      {kPromotion, "a7-a8К", "a7a8n"},
      {kPromotion, "axb8=N", "a7b8n"},
      {kPromotion, "a:b8К", "a7b8n"},
      {kPromotion, "ab8Л+", "a7b8r"},
      {kPromotion, "ab8с", "a7b8b"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e:d6e.p.", "e5d6"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6 ep", "e5d6"},
      {both, "Сd5", "g8d5"},
      {both, "Bd5", "g8d5"},
      {both, "cd5", "c4d5"},
      {both, "c:d5", "c4d5"},
      {kingAndKnight, "Кf1", "d2f1"},
      {kingAndKnight, "Nf1", "d2f1"},
      {kingAndKnight, "Крf1", "e1f1"},
      {kingAndKnight, "кРf1", "e1f1"},
      {kingAndKnight, "Kf1", "e1f1"},
  };
  for (const Case& c : cases) {
    const ParsedMove parsed = ParseMoveText(Fen(c.fen), c.typed);
    EXPECT_EQ(parsed.fault, Fault::None) << c.typed << " in " << c.fen;
    EXPECT_EQ(parsed.move ? UciText(*parsed.move) : "<none>", c.uci) << c.typed << " in " << c.fen;
  }
}

TEST(ChessNotation, TypedFaults) {
  struct Case {
    std::string_view fen, typed;
    Fault fault;
  };
  const std::string_view start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  const Case cases[] = {
      {start, "", Fault::NotAMove},
      {start, "hello", Fault::NotAMove},
      {start, "e9", Fault::NotAMove},
      {start, "i4", Fault::NotAMove},
      {start, "Кр", Fault::NotAMove},
      {start, "nf3", Fault::NotAMove},
      {start, "E4", Fault::NotAMove},
      {start, "O-O-O-O", Fault::NotAMove},
      {start, "e2e4e5", Fault::NotAMove},
      {start, "\xFF\xFE", Fault::NotAMove},
      {start, "\xD0", Fault::NotAMove},
      {start, "e8=", Fault::NotAMove},
      {start, "e5", Fault::Illegal},
      {start, "Kf3", Fault::Illegal},
      {start, "Крe2", Fault::Illegal},
      {start, "0-0", Fault::Illegal},
      {start, "e2e4q", Fault::Illegal},
      {start, "e2e5", Fault::Illegal},
      {start, "Кf6", Fault::Illegal},
      {start, "e4=Q", Fault::Illegal},
      {"4k3/8/8/8/8/8/8/R4RK1 w - - 0 1", "Rd1", Fault::Ambiguous},
      {"4k3/8/8/8/8/8/8/R4RK1 w - - 0 1", "Лd1", Fault::Ambiguous},
      {"2k5/8/8/8/4Q2Q/8/8/K6Q w - - 0 1", "Qhe1", Fault::Ambiguous},
      // A lower-case с reads as the bishop and as the c-file: both moves are legal.
      {"4k1B1/8/8/3p4/2P5/8/8/4K3 w - - 0 1", "сd5", Fault::Ambiguous},
      {"4k1B1/8/8/3p4/2P5/8/8/4K3 w - - 0 1", "с:d5", Fault::Ambiguous},
      {kPromotion, "a8", Fault::NeedsPromotion},
      {kPromotion, "a7a8", Fault::NeedsPromotion},
      {kPromotion, "ab8", Fault::NeedsPromotion},
      {kPromotion, "a:b8+", Fault::NeedsPromotion},
  };
  for (const Case& c : cases) {
    const ParsedMove parsed = ParseMoveText(Fen(c.fen), c.typed);
    EXPECT_EQ(parsed.fault, c.fault) << c.typed << " in " << c.fen;
    EXPECT_EQ(parsed.move.has_value(), c.fault == Fault::NeedsPromotion) << c.typed;
  }
  // A missing promotion piece still names the squares, for a window to ask for the piece.
  const ParsedMove unfinished = ParseMoveText(Fen(kPromotion), "ab8");
  ASSERT_TRUE(unfinished.move);
  EXPECT_EQ(unfinished.move->from, At("a7"));
  EXPECT_EQ(unfinished.move->to, At("b8"));
  EXPECT_EQ(unfinished.move->promotion, NoPieceType);
}

TEST(ChessNotation, ClickedAndCoordinateMoves) {
  const Position kiwipete = Fen(kKiwipete);
  // The king put onto its own rook castles, as does the king's own two-square step.
  for (const auto& [to, castled] :
       {std::pair{"h1", "g1"}, {"a1", "c1"}, {"g1", "g1"}, {"c1", "c1"}}) {
    const auto move = MoveFromSquares(kiwipete, At("e1"), At(to));
    ASSERT_TRUE(move) << to;
    EXPECT_EQ(move->to, At(castled));
    EXPECT_EQ(move->kind, MoveKind::Castling);
  }
  EXPECT_FALSE(MoveFromSquares(Fen("4k3/8/8/8/8/8/8/4KR2 w - - 0 1"), At("e1"), At("f1")));
  EXPECT_FALSE(MoveFromSquares(kiwipete, At("a2"), At("a5")));
  EXPECT_FALSE(MoveFromSquares(kiwipete, At("a8"), At("a7")));  // not White's man
  EXPECT_FALSE(MoveFromSquares(kiwipete, At("e4"), At("e4")));
  EXPECT_FALSE(MoveFromSquares(kiwipete, kNoSquare, At("e4")));
  EXPECT_FALSE(MoveFromSquares(kiwipete, At("c4"), At("c5")));  // empty square

  const Position promotion = Fen(kPromotion);
  EXPECT_FALSE(MoveFromSquares(promotion, At("a7"), At("a8")));
  EXPECT_EQ(MoveFromSquares(promotion, At("a7"), At("a8"), Knight),
            (Move{At("a7"), At("a8"), Knight}));
  // A window may pass its chosen piece with every click: ignored when nothing promotes.
  EXPECT_EQ(MoveFromSquares(promotion, At("e1"), At("e2"), Queen), (Move{At("e1"), At("e2")}));

  EXPECT_EQ(MoveFromUci(kiwipete, "e1h1"),
            (Move{At("e1"), At("g1"), NoPieceType, MoveKind::Castling}));
  EXPECT_EQ(MoveFromUci(kiwipete, "e1g1"), MoveFromUci(kiwipete, "e1h1"));
  EXPECT_EQ(MoveFromUci(promotion, "a7b8N"), (Move{At("a7"), At("b8"), Knight}));
  for (const char* bad : {"", "e1", "a7a8", "a7a8k", "e1d1q", "e1e3", "e1d1x", "a7a8qq"})
    EXPECT_FALSE(MoveFromUci(bad[0] == 'a' ? promotion : kiwipete, bad)) << bad;
  EXPECT_EQ(UciText(Move{At("e7"), At("e8"), Queen}), "e7e8q");
  EXPECT_EQ(UciText(Move{At("e1"), At("g1"), NoPieceType, MoveKind::Castling}), "e1g1");
}

TEST(ChessNotation, DescribesThePosition) {
  const Position p = Fen("3r2k1/5p2/8/8/8/8/PP6/3Q1RK1 w - - 0 1");
  EXPECT_EQ(DescribePosition(p, Language::English),
            "White: Kg1, Qd1, Rf1, pawns a2, b2. Black: Kg8, Rd8, pawn f7. White to move.");
  EXPECT_EQ(DescribePosition(p, Language::Russian),
            "Белые: Крg1, Фd1, Лf1, пешки a2, b2. Чёрные: Крg8, Лd8, пешка f7. Ход белых.");
  const Position bare = Fen("4k3/8/8/8/8/8/8/4K2R b K - 0 1");
  EXPECT_EQ(DescribePosition(bare, Language::English),
            "White: Ke1, Rh1. Black: Ke8. Black to move.");
  EXPECT_EQ(DescribePosition(bare, Language::Russian),
            "Белые: Крe1, Лh1. Чёрные: Крe8. Ход чёрных.");
  // Each kind in order, king to knights, then pawns; within a kind from the a-file on.
  EXPECT_EQ(DescribePosition(Fen(kKiwipete), Language::English),
            "White: Ke1, Qf3, Ra1, Rh1, Bd2, Be2, Nc3, Ne5, pawns a2, b2, c2, d5, e4, f2, g2, h2. "
            "Black: Ke8, Qe7, Ra8, Rh8, Ba6, Bg7, Nb6, Nf6, pawns a7, b4, c7, d7, e6, f7, g6, h3. "
            "White to move.");
}

}  // namespace
}  // namespace zel::chess

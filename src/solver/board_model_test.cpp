// The board without a window: squares and points both ways round, the mouse
// turned into moves (clicks, drags, a wobble, castling onto the rook), what
// each square shows, a man moving, and which squares need painting again.
#include "solver/board_model.h"

#include <gtest/gtest.h>

#include <bit>

namespace zel::solver {
namespace {

using chess::Square;

Square At(std::string_view name) { return *chess::SquareFromName(name); }
std::uint64_t Bit(std::string_view name) { return std::uint64_t{1} << At(name); }
chess::Position Fen(std::string_view fen) { return *chess::Position::FromFen(fen); }

// Two rooks and a king against a king and a pawn on b2.
constexpr std::string_view kRooks = "7k/8/8/8/8/8/1p6/RR4K1 w - - 0 1";

TEST(BoardGeometry, EverySquareAndItsPointBothWaysRoundInsideTheFrame) {
  const BoardGeometry g(500, 500);
  // Eight squares of 59 pixels, 19 for the coordinates, a frame of 2 on
  // either side: 495 of the 500, centred.
  ASSERT_EQ(g.square(), 59);
  EXPECT_EQ(g.frame(), 2);
  EXPECT_EQ(g.SquareRect(At("a1"), chess::White), (PixelRect{23, 417, 82, 476}));
  EXPECT_EQ(g.SquareRect(At("h8"), chess::White), (PixelRect{436, 4, 495, 63}));
  EXPECT_EQ(g.SquareRect(At("a1"), chess::Black), (PixelRect{436, 4, 495, 63}));
  EXPECT_EQ(g.FrameRect(), (PixelRect{21, 2, 497, 478}));
  EXPECT_EQ(g.FileLabelRect(0), (PixelRect{23, 478, 82, 497}));
  EXPECT_EQ(g.RankLabelRect(7), (PixelRect{2, 417, 21, 476}));
  EXPECT_EQ(g.LabelHeight(), 14);
  // Everything inside the area, the coordinates too.
  for (const PixelRect r : {g.FrameRect(), g.FileLabelRect(7), g.RankLabelRect(0)})
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 500 && r.bottom <= 500);
  for (const chess::Color bottom : {chess::White, chess::Black}) {
    for (Square s = 0; s < 64; ++s) {
      const PixelRect r = g.SquareRect(s, bottom);
      EXPECT_EQ(g.SquareAt(g.SquareCentre(s, bottom), bottom), s);
      EXPECT_EQ(g.SquareAt({r.left, r.top}, bottom), s) << "left and top are inside";
      EXPECT_EQ(g.SquareAt({r.right - 1, r.bottom - 1}, bottom), s);
    }
  }
  // Off the board: the margins and beyond the last square.
  EXPECT_FALSE(g.SquareAt({22, 450}, chess::White));
  EXPECT_FALSE(g.SquareAt({50, 476}, chess::White));
  EXPECT_FALSE(g.SquareAt({495, 10}, chess::White));
  EXPECT_FALSE(g.SquareAt({-5, -5}, chess::Black));
}

TEST(BoardGeometry, AWideAreaCentresTheBoardAndATinyOneHasNoSquares) {
  const BoardGeometry wide(1000, 500);
  EXPECT_EQ(wide.square(), 59);
  EXPECT_EQ(wide.SquareRect(At("a8"), chess::White).left, 273);
  for (const auto& [w, h] : {std::pair{0, 0}, std::pair{8, 500}, std::pair{-20, 40}}) {
    const BoardGeometry tiny(w, h);
    EXPECT_EQ(tiny.square(), 0);
    EXPECT_FALSE(tiny.SquareAt({0, 0}, chess::White));
    EXPECT_FALSE(tiny.SquareAt({1, 1}, chess::Black));
  }
}

struct BoardModelTest : ::testing::Test {
  BoardModel board;
  void SetUp() override {
    board.Resize(500, 500);
    board.Show(Fen(kRooks), chess::White, std::nullopt);
    board.TakeDamage();
  }
  Point Centre(std::string_view square) const {
    return board.geometry().SquareCentre(At(square), board.bottom());
  }
  std::optional<BoardGesture> Click(std::string_view square) {
    board.Press(Centre(square));
    return board.Release(Centre(square));
  }
  std::uint64_t Marked(TargetMark mark) const {
    std::uint64_t marked = 0;
    for (Square s = 0; s < 64; ++s)
      if (board.LookOf(s).target == mark) marked |= std::uint64_t{1} << s;
    return marked;
  }
};

TEST_F(BoardModelTest, AChosenManShowsWhereItMayGoAndASecondClickMakesTheGesture) {
  EXPECT_FALSE(Click("b1"));
  EXPECT_EQ(board.selected(), At("b1"));
  EXPECT_EQ(board.LookOf(At("b1")).shade, Shade::Selected);
  EXPECT_EQ(Marked(TargetMark::Ring), Bit("b2")) << "the pawn it takes";
  EXPECT_EQ(Marked(TargetMark::Dot), Bit("c1") | Bit("d1") | Bit("e1") | Bit("f1"));
  EXPECT_EQ(board.Press(Centre("b2")), (BoardGesture{At("b1"), At("b2")}));
  EXPECT_FALSE(board.Release(Centre("b2")));
  EXPECT_FALSE(board.selected());
  EXPECT_EQ(Marked(TargetMark::Ring) | Marked(TargetMark::Dot), 0u);

  // Any second square makes a gesture: whether it is a move is not the board's to say.
  Click("a1");
  EXPECT_EQ(board.Press(Centre("h5")), (BoardGesture{At("a1"), At("h5")}));
}

TEST_F(BoardModelTest, ClicksThatChooseAnotherManOrNothing) {
  Click("a1");
  EXPECT_FALSE(Click("b1")) << "another man of one's own is chosen instead";
  EXPECT_EQ(board.selected(), At("b1"));
  EXPECT_FALSE(Click("h8")) << "nor can the opponent's king be taken";
  Click("b1");
  board.Press({2, 2});  // the margin, off the board
  EXPECT_FALSE(board.selected());
  EXPECT_FALSE(Click("b2")) << "the opponent's man is not the user's to choose";
  EXPECT_FALSE(board.selected());
  EXPECT_FALSE(Click("c4")) << "nor an empty square";
  Click("b1");
  board.ClearSelection();  // the right button
  EXPECT_FALSE(board.selected());
}

TEST_F(BoardModelTest, TheKingPutOntoItsOwnRookCastlesRatherThanChoosingTheRook) {
  board.Show(Fen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1"), chess::White, std::nullopt);
  Click("e1");
  EXPECT_EQ(board.Press(Centre("h1")), (BoardGesture{At("e1"), At("h1")}));
  board.Release(Centre("h1"));
  Click("e1");
  EXPECT_EQ(board.Press(Centre("a1")), (BoardGesture{At("e1"), At("a1")}));
  // Without the right, the rook is chosen instead.
  board.Show(Fen("4k3/8/8/8/8/8/8/R3K2R w Q - 0 1"), chess::White, std::nullopt);
  Click("e1");
  EXPECT_FALSE(board.Press(Centre("h1")));
  EXPECT_EQ(board.selected(), At("h1"));
}

TEST_F(BoardModelTest, ADragLiftsTheManAndPutsItDownWhileAWobbleIsAClick) {
  const Point a1 = Centre("a1"), a7 = Centre("a7");
  board.Press(a1);
  EXPECT_TRUE(board.holding());
  board.Drag({a1.x + 2, a1.y + 2}, 4);  // within the system's drag distance
  EXPECT_FALSE(board.Floating());
  EXPECT_FALSE(board.Release({a1.x + 2, a1.y + 2}));
  EXPECT_EQ(board.selected(), At("a1")) << "a click leaves it chosen for a second one";

  board.Press(a1);
  board.Drag({a1.x, a1.y - 100}, 4);
  ASSERT_TRUE(board.Floating());
  EXPECT_EQ(board.Floating()->man, (chess::Piece{chess::White, chess::Rook}));
  EXPECT_EQ(board.Floating()->box, (PixelRect{a1.x - 29, a1.y - 129, a1.x + 30, a1.y - 70}));
  EXPECT_FALSE(board.LookOf(At("a1")).man) << "lifted off its square";
  EXPECT_EQ(board.Release(a7), (BoardGesture{At("a1"), At("a7")}));
  EXPECT_FALSE(board.holding());
  EXPECT_FALSE(board.Floating());

  // Let go off the board or where it began: nothing, the man back home.
  for (const Point end : {Point{2, 2}, a1}) {
    board.Press(a1);
    board.Drag({a1.x + 40, a1.y - 40}, 4);
    board.Drag(end, 4);
    EXPECT_FALSE(board.Release(end));
    EXPECT_TRUE(board.LookOf(At("a1")).man);
  }
  // The window losing the mouse ends a drag too.
  board.Press(a1);
  board.Drag(a7, 4);
  board.CancelDrag();
  EXPECT_FALSE(board.Floating());
  EXPECT_FALSE(board.Release(a7));
}

TEST_F(BoardModelTest, WithoutInputOrWhileAManMovesNothingIsChosen) {
  Click("b1");
  board.SetInputEnabled(false);
  EXPECT_FALSE(board.selected());
  EXPECT_FALSE(Click("b1"));
  EXPECT_FALSE(board.selected());
  board.SetInputEnabled(true);
  board.Animate({At("b1"), At("b7")}, 1000, 100);
  EXPECT_FALSE(Click("a1"));
  EXPECT_FALSE(board.selected());
}

TEST_F(BoardModelTest, TheSamePositionAgainKeepsTheChoiceAnotherOrTheOtherSideEndsIt) {
  Click("b1");
  board.Show(Fen(kRooks), chess::White, std::nullopt);
  EXPECT_EQ(board.selected(), At("b1"));
  board.Show(Fen(kRooks), chess::Black, std::nullopt);
  EXPECT_FALSE(board.selected());
  EXPECT_EQ(board.FileLabel(0), 'h');
  EXPECT_EQ(board.RankLabel(0), '1');
  EXPECT_EQ(board.geometry().SquareAt(Centre("a1"), chess::Black), At("a1"));
  board.Show(Fen(kRooks), chess::White, std::nullopt);
  EXPECT_EQ(board.FileLabel(0), 'a');
  EXPECT_EQ(board.RankLabel(0), '8');
  Click("b1");
  board.Show(Fen(kRooks).After({At("a1"), At("a2")}), chess::White, std::nullopt);
  EXPECT_FALSE(board.selected());
}

TEST_F(BoardModelTest, AMoveShownSlidesTheManThenThePositionAfterItStands) {
  const chess::Move move{At("b1"), At("b7")};
  board.Animate(move, 1000, 100);
  ASSERT_TRUE(board.animating());
  EXPECT_FALSE(board.LookOf(At("b1")).man);
  EXPECT_EQ(board.Floating()->box, board.geometry().SquareRect(At("b1"), chess::White));
  EXPECT_FALSE(board.Advance(1050));
  // Half the time, half the way: the easing is symmetric.
  const PixelRect from = board.geometry().SquareRect(At("b1"), chess::White);
  const PixelRect to = board.geometry().SquareRect(At("b7"), chess::White);
  EXPECT_EQ(board.Floating()->box.top, (from.top + to.top) / 2);
  EXPECT_FALSE(board.Advance(1010));
  EXPECT_LT(board.Floating()->box.top, from.top) << "early on it has moved, but little";
  EXPECT_GT(board.Floating()->box.top, (from.top + to.top) / 2);
  // A position given meanwhile waits for the move to arrive.
  board.Show(Fen(kRooks), chess::White, std::nullopt);
  EXPECT_TRUE(board.Advance(1100));
  EXPECT_FALSE(board.animating());
  EXPECT_FALSE(board.Floating());
  EXPECT_EQ(board.position(), Fen(kRooks).After(move));
  EXPECT_EQ(board.LookOf(At("b7")).shade, Shade::LastMoveLight);
  EXPECT_EQ(board.LookOf(At("b1")).shade, Shade::LastMoveLight);
  EXPECT_FALSE(board.Advance(1200));

  // A move from an empty square is nothing to show.
  board.Animate({At("c4"), At("c5")}, 2000, 100);
  EXPECT_FALSE(board.animating());
}

TEST_F(BoardModelTest, OnlyWhatChangedIsPaintedAgain) {
  EXPECT_FALSE(board.TakeDamage().any()) << "nothing since SetUp";
  Click("a1");
  BoardDamage damage = board.TakeDamage();
  EXPECT_FALSE(damage.all);
  EXPECT_EQ(std::popcount(damage.squares), 8) << "the chosen man and its seven targets";
  EXPECT_TRUE(damage.squares & Bit("a1"));
  EXPECT_TRUE(damage.squares & Bit("a8"));

  board.SetHint(At("b1"), At("b7"));
  EXPECT_EQ(board.TakeDamage().squares, Bit("b1") | Bit("b7"));
  EXPECT_TRUE(board.LookOf(At("b7")).hint);

  // A moving man: the squares it left and the area it crosses.
  board.SetHint(std::nullopt, std::nullopt);
  board.Animate({At("b1"), At("b7")}, 1000, 100);
  damage = board.TakeDamage();
  EXPECT_TRUE(damage.squares & Bit("b1"));
  EXPECT_EQ(damage.area, board.geometry().SquareRect(At("b1"), chess::White));
  const PixelRect before = board.Floating()->box;
  board.Advance(1050);
  damage = board.TakeDamage();
  EXPECT_EQ(damage.squares, 0u);
  EXPECT_EQ(damage.area, before.Union(board.Floating()->box));

  board.Resize(400, 300);
  EXPECT_TRUE(board.TakeDamage().all);
  board.StopAnimation();
  board.Show(board.position(), chess::Black, std::nullopt);
  EXPECT_TRUE(board.TakeDamage().all) << "turned round";
}

TEST(PixelRect, UnionAndIntersectionLeaveEmptyOnesOut) {
  const PixelRect a{0, 0, 10, 10}, b{5, 5, 20, 20}, none{};
  EXPECT_EQ(a.Union(b), (PixelRect{0, 0, 20, 20}));
  EXPECT_EQ(a.Union(none), a);
  EXPECT_EQ(none.Union(b), b);
  EXPECT_TRUE(a.Intersects(b));
  EXPECT_FALSE(a.Intersects({10, 0, 20, 10})) << "touching edges do not overlap";
  EXPECT_FALSE(a.Intersects(none));
}

}  // namespace
}  // namespace zel::solver

// The session as the window drives it, over a real program folder: moves
// judged, replies, hints, the solution, moving between problems, and what
// reaches the progress file.
#include "solver/session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

using S = ProblemState;

chess::Square Sq(std::string_view name) { return *chess::SquareFromName(name); }
chess::Move M(std::string_view from, std::string_view to,
              chess::PieceType promotion = chess::NoPieceType) {
  return {Sq(from), Sq(to), promotion};
}

struct SessionTest : ::testing::Test {
  zel::testing::Harness h;
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  const CourseInfo& practice = *FindCourse("practice");
  const CourseProblems& problems = *data.Find("practice");

  Session Open(Language language = Language::Russian) {
    return Session(h.files, practice, problems, language);
  }
  // The states as the progress file holds them.
  std::vector<S> Saved() {
    ProgressStore store(h.native, practice, problems.Ids());
    return store.Load().states;
  }
  int Replaces() const {
    return static_cast<int>(std::count(h.files.log().begin(), h.files.log().end(),
                                       "Replace practice.prg"));
  }
};

TEST_F(SessionTest, ARightMoveThenTheReplyThenTheMateSolvesAtTheFirstAttempt) {
  Session s = Open();
  EXPECT_EQ(s.ProblemIndex(), 0u);
  EXPECT_EQ(s.Title(), "Тактика-0: практика");
  EXPECT_EQ(s.ProblemLine(), "Задача 1 из 4");
  EXPECT_EQ(s.ToMoveLine(), "Ход белых");
  EXPECT_EQ(s.ProgressLine(), "Решено 0 из 4, с первой попытки 0");

  EXPECT_EQ(s.Try(M("b1", "b7")), MoveResult::Right);
  EXPECT_EQ(s.ResultText(MoveResult::Right), "Правильно!");
  EXPECT_EQ(s.phase(), Phase::ReplyPending);
  EXPECT_EQ(s.PendingReply(), M("h8", "g8"));
  // Nothing is judged, and no hint given, while the reply is pending.
  EXPECT_EQ(s.Try(M("a1", "a8")), MoveResult::NotNow);
  EXPECT_FALSE(s.RequestHint());
  EXPECT_EQ(s.PlayReply(), M("h8", "g8"));
  EXPECT_FALSE(s.PlayReply());
  EXPECT_EQ(s.Position().Fen(), "6k1/1R6/8/8/8/8/8/R5K1 w - - 2 2");
  EXPECT_EQ(s.LastMove(), M("h8", "g8"));
  EXPECT_EQ(s.Ply(), 2u);

  EXPECT_EQ(s.TrySquares(Sq("a1"), Sq("a8")), MoveResult::Solved);
  EXPECT_EQ(s.ResultText(MoveResult::Solved), "Задача решена!");
  EXPECT_EQ(s.phase(), Phase::Solved);
  EXPECT_EQ(s.StateOf(0), S::SolvedFirst);
  EXPECT_EQ(s.ProgressLine(), "Решено 1 из 4, с первой попытки 1");
  EXPECT_EQ(Saved(), (std::vector<S>{S::SolvedFirst, S::New, S::New, S::New}));
  EXPECT_EQ(s.Try(M("a8", "a7")), MoveResult::NotNow);
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST_F(SessionTest, AWrongMoveIsNotPlayedAndTheUserGoesOnFromThatMove) {
  Session s = Open();
  ASSERT_EQ(s.Try(M("b1", "b7")), MoveResult::Right);
  s.PlayReply();
  const std::string before = s.Position().Fen();

  // An illegal move: refused, no penalty, nothing written.
  EXPECT_EQ(s.TrySquares(Sq("a1"), Sq("b2")), MoveResult::Illegal);
  EXPECT_EQ(s.Try(M("g8", "h8")), MoveResult::Illegal);  // the other side's man
  EXPECT_EQ(s.ResultText(MoveResult::Illegal), "Так ходить нельзя.");
  EXPECT_EQ(s.Mistakes(), 0);
  EXPECT_EQ(Replaces(), 0);

  EXPECT_EQ(s.Try(M("a1", "a2")), MoveResult::Wrong);
  EXPECT_EQ(s.ResultText(MoveResult::Wrong), "Неверно. Попробуйте ещё раз.");
  EXPECT_EQ(s.Position().Fen(), before);
  EXPECT_EQ(s.Ply(), 2u);
  EXPECT_EQ(s.phase(), Phase::SolverToMove);
  EXPECT_EQ(s.Mistakes(), 1);
  EXPECT_EQ(Saved()[0], S::Missed);
  // A second mistake changes nothing in the file, so nothing is written.
  EXPECT_EQ(s.Try(M("b7", "b8")), MoveResult::Wrong);
  EXPECT_EQ(s.Mistakes(), 2);
  EXPECT_EQ(Replaces(), 1);

  EXPECT_EQ(s.Try(M("a1", "a8")), MoveResult::Solved);
  EXPECT_EQ(s.StateOf(0), S::Solved);
  EXPECT_EQ(Saved()[0], S::Solved);
  EXPECT_EQ(s.ProgressLine(), "Решено 1 из 4, с первой попытки 0");

  // Solving it again, cleanly, never makes it a first attempt.
  s.Retry();
  EXPECT_EQ(s.Mistakes(), 0);
  s.Try(M("b1", "b7"));
  s.PlayReply();
  EXPECT_EQ(s.Try(M("a1", "a8")), MoveResult::Solved);
  EXPECT_EQ(Saved()[0], S::Solved);
}

TEST_F(SessionTest, AMateOffTheLineSolvesAtAnyStep) {
  Session s = Open(Language::English);
  ASSERT_TRUE(s.GoTo(1));  // the line starts quietly, but Ra8 mates at once
  EXPECT_EQ(s.TryTyped("Ra8"), MoveResult::Solved);
  EXPECT_EQ(s.ResultText(MoveResult::Solved), "Checkmate! Solved.");
  EXPECT_EQ(s.StateOf(1), S::SolvedFirst);
  EXPECT_EQ(s.LastMove(), M("a1", "a8"));
}

TEST_F(SessionTest, TheKingTakingItsOwnRookCastles) {
  Session s = Open();
  ASSERT_TRUE(s.GoTo(2));
  EXPECT_EQ(s.TrySquares(Sq("e1"), Sq("a1")), MoveResult::Solved);
  // The line's own move, not merely some mate.
  EXPECT_EQ(s.ResultText(MoveResult::Solved), "Задача решена!");
  EXPECT_EQ(s.Position().Fen(), "2rkr3/2p1p3/8/8/8/8/8/2KR4 b - - 1 1");
  s.Retry();
  EXPECT_EQ(s.TryTyped("0-0-0"), MoveResult::Solved);
  s.Retry();
  EXPECT_EQ(s.Try(M("e1", "c1")), MoveResult::Solved);
  s.Retry();
  EXPECT_EQ(s.Try(M("e1", "a1")), MoveResult::Solved);
  s.Retry();
  EXPECT_EQ(s.TryTyped("e1a1"), MoveResult::Solved);
  EXPECT_EQ(s.ResultText(MoveResult::Solved), "Задача решена!");
  EXPECT_EQ(s.StateOf(2), S::SolvedFirst);
}

TEST_F(SessionTest, APromotionAsksForItsPieceWithoutPenalty) {
  Session s = Open();
  ASSERT_TRUE(s.GoTo(3));
  EXPECT_EQ(s.ToMoveLine(), "Ход чёрных");
  EXPECT_EQ(s.SolverColor(), chess::Black);
  EXPECT_TRUE(s.NeedsPromotion(Sq("a2"), Sq("a1")));
  EXPECT_FALSE(s.NeedsPromotion(Sq("g8"), Sq("f8")));
  EXPECT_EQ(s.TrySquares(Sq("a2"), Sq("a1")), MoveResult::NeedsPromotion);
  EXPECT_EQ(s.Try(M("a2", "a1")), MoveResult::NeedsPromotion);
  EXPECT_EQ(s.TryTyped("a1"), MoveResult::NeedsPromotion);
  EXPECT_EQ(s.Mistakes(), 0);
  EXPECT_EQ(s.TrySquares(Sq("a2"), Sq("a1"), chess::Knight), MoveResult::Wrong);
  EXPECT_EQ(s.TrySquares(Sq("a2"), Sq("a1"), chess::Rook), MoveResult::Solved);
  EXPECT_EQ(s.StateOf(3), S::Solved);
}

TEST_F(SessionTest, TypedMovesInEitherNotation) {
  Session s = Open();
  EXPECT_EQ(s.TryTyped("hello"), MoveResult::NotUnderstood);
  EXPECT_EQ(s.ResultText(MoveResult::NotUnderstood),
            "Это не ход. Введите, например, Кf3 или e2e4.");
  EXPECT_EQ(s.TryTyped("Фd1"), MoveResult::Illegal);  // no queen
  EXPECT_EQ(s.Mistakes(), 0);
  EXPECT_EQ(s.TryTyped("Лb7"), MoveResult::Right);
  s.PlayReply();
  EXPECT_EQ(s.TryTyped("a1a8"), MoveResult::Solved);
}

TEST_F(SessionTest, HintsShowTheManThenTheMoveAndCountAsMistakes) {
  Session s = Open();
  const std::optional<Hint> first = s.RequestHint();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->from, Sq("b1"));
  EXPECT_FALSE(first->move);
  EXPECT_EQ(first->text, "Подсказка: ходит ладья с b1.");
  EXPECT_EQ(Saved()[0], S::Missed);
  const std::optional<Hint> second = s.RequestHint();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->move, M("b1", "b7"));
  EXPECT_EQ(second->text, "Подсказка: ход Лb7.");
  EXPECT_EQ(s.Mistakes(), 2);

  // The next step starts with the man again.
  s.Try(M("b1", "b7"));
  s.PlayReply();
  const std::optional<Hint> third = s.RequestHint();
  ASSERT_TRUE(third);
  EXPECT_FALSE(third->move);
  EXPECT_EQ(third->from, Sq("a1"));
  EXPECT_EQ(s.Try(M("a1", "a8")), MoveResult::Solved);
  EXPECT_EQ(s.StateOf(0), S::Solved);
  EXPECT_FALSE(s.RequestHint());
}

TEST_F(SessionTest, TheSolutionIsPlayedOutAndLeavesTheProblemUnsolved) {
  Session s = Open();
  ASSERT_EQ(s.Try(M("b1", "b7")), MoveResult::Right);
  s.ShowSolution();
  EXPECT_EQ(s.phase(), Phase::ShowingSolution);
  EXPECT_EQ(s.StepSolution(), M("h8", "g8"));
  EXPECT_EQ(s.StepSolution(), M("a1", "a8"));
  EXPECT_EQ(s.phase(), Phase::SolutionShown);
  EXPECT_FALSE(s.StepSolution());
  EXPECT_TRUE(chess::IsCheckmate(s.Position()));
  EXPECT_EQ(s.StateOf(0), S::Missed);
  EXPECT_EQ(Saved()[0], S::Missed);
  EXPECT_EQ(s.Try(M("a8", "b8")), MoveResult::NotNow);

  s.Retry();
  EXPECT_EQ(s.Position(), problems.problems[0].start);
  s.Try(M("b1", "b7"));
  s.PlayReply();
  EXPECT_EQ(s.Try(M("a1", "a8")), MoveResult::Solved);
  EXPECT_EQ(s.StateOf(0), S::Solved);

  // The solution of a solved problem: the whole line, and the mark stays.
  s.ShowSolution();
  EXPECT_EQ(s.StepSolution(), M("b1", "b7"));
  EXPECT_EQ(Saved()[0], S::Solved);
}

TEST_F(SessionTest, MovingBetweenProblemsAndWhereACourseOpens) {
  {
    Session s = Open();
    EXPECT_FALSE(s.Previous());
    EXPECT_TRUE(s.Next());
    EXPECT_EQ(s.ProblemIndex(), 1u);
    EXPECT_FALSE(s.GoTo(4));
    EXPECT_TRUE(s.GoTo(3));
    EXPECT_FALSE(s.Next());
    EXPECT_TRUE(s.Previous());
    EXPECT_EQ(s.ProblemIndex(), 2u);
    EXPECT_EQ(s.Try(M("a1", "d1")), MoveResult::Solved);  // Rd1#, off the line
    // A problem left half done starts afresh when the user comes back.
    ASSERT_TRUE(s.GoTo(0));
    s.Try(M("b1", "b7"));
    ASSERT_TRUE(s.Next());
    ASSERT_TRUE(s.Previous());
    EXPECT_EQ(s.Ply(), 0u);
    EXPECT_EQ(s.phase(), Phase::SolverToMove);
  }
  // The first problem not yet solved: p0001.
  EXPECT_EQ(Open().ProblemIndex(), 0u);
  {
    Session s = Open();
    s.Try(M("b1", "b7"));
    s.PlayReply();
    s.Try(M("a1", "a8"));
    s.GoTo(1);
    s.Try(M("a1", "a8"));
    s.GoTo(3);
    s.Try(M("a2", "a1", chess::Queen));
    s.GoTo(1);
  }
  // All solved: where the user was.
  Session s = Open();
  EXPECT_TRUE(s.AllSolved());
  EXPECT_EQ(s.ProblemIndex(), 1u);
  EXPECT_EQ(s.ProgressLine(), "Решено 4 из 4, с первой попытки 4");
}

TEST_F(SessionTest, RestartingTheCourseClearsEveryMark) {
  Session s = Open();
  s.GoTo(1);
  s.Try(M("a1", "a8"));
  s.GoTo(3);
  s.RequestHint();
  EXPECT_EQ(s.SolvedCount(), 1u);
  s.RestartCourse();
  EXPECT_EQ(s.ProblemIndex(), 0u);
  EXPECT_EQ(s.SolvedCount(), 0u);
  EXPECT_EQ(Saved(), std::vector<S>(4, S::New));
  // Marks earned after the restart count at the first attempt again.
  s.GoTo(3);
  EXPECT_EQ(s.Try(M("a2", "a1", chess::Queen)), MoveResult::Solved);
  EXPECT_EQ(s.StateOf(3), S::SolvedFirst);
}

TEST_F(SessionTest, TwoSolversOnOneCourseKeepEachOthersResults) {
  Session russian = Open(Language::Russian);
  Session english = Open(Language::English);
  EXPECT_EQ(english.Title(), "Tactics-0: Practice");
  EXPECT_EQ(english.ProblemLine(), "Problem 1 of 4");

  english.GoTo(1);
  english.Try(M("a1", "a8"));                 // p0002 first
  russian.GoTo(2);
  russian.Try(M("d8", "d7"));                 // illegal: not the solver's man
  russian.Try(M("a1", "b1"));                 // p0003 missed
  english.GoTo(2);
  english.Try(M("e1", "c1"));                 // p0003 solved by the other, unaware of the miss
  EXPECT_EQ(english.StateOf(2), S::Solved);   // the miss counted all the same
  russian.GoTo(0);
  EXPECT_EQ(russian.StateOf(1), S::SolvedFirst);  // the other's results, read back
  EXPECT_EQ(Saved(), (std::vector<S>{S::New, S::SolvedFirst, S::Solved, S::New}));
}

TEST_F(SessionTest, AFailedWriteKeepsTheResultAndTheNextWriteSavesIt) {
  Session s = Open();
  s.GoTo(1);
  h.files.FailOperation("Replace", 1, 28, true);
  EXPECT_THROW(s.Try(M("a1", "a8")), platform::Failure);
  EXPECT_EQ(s.phase(), Phase::Solved);
  EXPECT_EQ(s.StateOf(1), S::SolvedFirst);
  EXPECT_TRUE(s.HasUnsavedChanges());
  EXPECT_THROW(s.Next(), platform::Failure);
  EXPECT_EQ(s.ProblemIndex(), 2u);
  EXPECT_EQ(Saved()[1], S::New);

  h.files.FailCall(0, 0);
  s.SaveAgain();
  EXPECT_FALSE(s.HasUnsavedChanges());
  EXPECT_EQ(Saved()[1], S::SolvedFirst);
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST_F(SessionTest, ACourseWithoutProblemsCannotBeOpened) {
  const CourseProblems empty{"tactics1", {}};
  try {
    Session(h.files, *FindCourse("tactics1"), empty, Language::Russian);
    FAIL() << "opened";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.subject, "Zadachi.dat");
    EXPECT_NE(failure.description.find("tactics1"), std::string::npos);
  }
}

}  // namespace
}  // namespace zel::solver

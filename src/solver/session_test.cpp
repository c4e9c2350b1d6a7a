// The session as the window drives it, over a real program folder: moves
// judged, replies, hints, the solution, moving between problems, and what
// reaches the progress file.
#include "solver/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "platform/fake/fake_clock.h"
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
  platform::FakeClock clock;
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  const CourseInfo& practice = *FindCourse("practice");
  const CourseProblems& problems = *data.Find("practice");

  Session Open(Language language = Language::Russian) {
    return Session(h.files, clock, practice, problems, language);
  }
  ProgressStore Store() { return ProgressStore(h.native, clock, practice, problems); }
  // The states of the cycle under way as the progress file holds them.
  std::vector<S> Saved() {
    const CourseProgress progress = Store().Load();
    std::vector<S> states;
    for (const ProblemRecord& record : progress.Current().records) states.push_back(record.state);
    return states;
  }
  int Replaces() const {
    return static_cast<int>(
        std::count(h.files.log().begin(), h.files.log().end(), "Replace practice.prg"));
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

// Solves the problem at hand by its line, with no fault.
void SolveByTheLine(Session& s) {
  const std::vector<chess::Move>& line = s.CurrentProblem().line;
  for (std::size_t ply = 0; ply < line.size(); ply += 2) {
    ASSERT_NE(s.Try(line[ply]), MoveResult::Wrong);
    s.PlayReply();
  }
  ASSERT_EQ(s.phase(), Phase::Solved);
}

TEST_F(SessionTest, ANewCycleStartsEveryProblemAfreshAndKeepsTheEarlierCycles) {
  {
    Session s = Open();
    clock.PassSeconds(42);
    SolveByTheLine(s);  // p0001 first, 42 s
    s.GoTo(3);
    s.RequestHint();  // p0004 missed
    EXPECT_EQ(s.CycleNumber(), 1u);
    EXPECT_EQ(s.CycleLine(), "Круг 1");
    clock.PassDays(3);
    s.RestartCourse();
    EXPECT_EQ(s.CycleNumber(), 2u);
    EXPECT_EQ(s.ProblemIndex(), 0u);
    EXPECT_EQ(s.SolvedCount(), 0u);
    EXPECT_EQ(Saved(), std::vector<S>(4, S::New));
    // Marks earned in the new cycle count at the first attempt again, but the
    // problem is known: the rating stays.
    const Glicko rating = s.Rating();
    s.GoTo(3);
    EXPECT_EQ(s.Try(M("a2", "a1", chess::Queen)), MoveResult::Solved);
    EXPECT_EQ(s.StateOf(3), S::SolvedFirst);
    EXPECT_EQ(s.Rating(), rating);
  }
  // Opened again: both cycles, side by side.
  Session s = Open();
  const std::vector<CycleSummary> cycles = s.Cycles();
  ASSERT_EQ(cycles.size(), 2u);
  EXPECT_EQ(cycles[0].started, clock.Today() + -3);
  EXPECT_EQ(cycles[0].attempted, 2u);
  EXPECT_EQ(cycles[0].solvedFirst, 1u);
  EXPECT_EQ(cycles[0].seconds, 42u);
  EXPECT_FALSE(cycles[0].finished);
  EXPECT_EQ(cycles[1].started, clock.Today());
  EXPECT_EQ(cycles[1].solvedFirst, 1u);
  // The schedule goes on across cycles: missed in the first, p0004 was due
  // when the second solved it, and moved up a box.
  EXPECT_EQ(s.Progress().reviews[3], (ReviewSlot{2, clock.Today() + 3}));
  // A new cycle when the one under way has nothing in it only dates it anew.
  s.GoTo(0);
  s.StartNewCycle();
  s.StartNewCycle();
  EXPECT_EQ(s.CycleNumber(), 3u);
}

TEST_F(SessionTest, ErasingTheCourseClearsEveryCycleAndTheScheduleButNotTheRating) {
  Session s = Open();
  s.GoTo(1);
  s.RequestHint();
  s.StartNewCycle();
  const Glicko rating = s.Rating();
  ASSERT_NE(rating, Glicko{});
  s.EraseCourse();
  EXPECT_EQ(s.CycleNumber(), 1u);
  EXPECT_EQ(s.DueCount(), 0u);
  EXPECT_EQ(Store().Load(), FreshProgress(4, clock.Today()));
  EXPECT_EQ(s.Rating(), rating);
  // The problem is known all the same.
  s.GoTo(1);
  s.RequestHint();
  EXPECT_EQ(s.Rating(), rating);
}

TEST_F(SessionTest, AProblemFailedTodayIsDueAgainOnTheScheduledDay) {
  const platform::Day first = clock.Today();
  {
    Session s = Open();
    s.GoTo(2);
    s.Try(M("a1", "a2"));  // p0003 missed: due tomorrow
    s.GoTo(1);
    s.ShowSolution();  // p0002 likewise
    EXPECT_EQ(s.DueCount(), 0u);
    EXPECT_FALSE(s.StartReview());
    EXPECT_FALSE(s.InReview());
    clock.PassDays(1);
    s.GoTo(3);
    s.RequestHint();  // p0004: due the day after
  }
  clock.PassDays(2);
  Session s = Open();
  EXPECT_EQ(s.DueCount(), 3u);
  EXPECT_EQ(s.DueLine(), "К повторению сегодня: 3");
  EXPECT_EQ(s.ReviewLine(), "");
  // The longest due first, in course order among equals.
  ASSERT_TRUE(s.StartReview());
  EXPECT_EQ(s.ProblemIndex(), 1u);
  EXPECT_EQ(s.ReviewLine(), "Повторение: задача 1 из 3");
  EXPECT_FALSE(s.Previous());
  SolveByTheLine(s);  // up a box: due in three days
  EXPECT_FALSE(s.IsDue(1));
  ASSERT_TRUE(s.Next());
  EXPECT_EQ(s.ProblemIndex(), 2u);
  s.RequestHint();  // back to the first box: due tomorrow
  ASSERT_TRUE(s.Next());
  EXPECT_EQ(s.ProblemIndex(), 3u);
  EXPECT_EQ(s.ReviewPlace(), 2u);
  ASSERT_TRUE(s.Previous());
  EXPECT_EQ(s.ProblemIndex(), 2u);
  ASSERT_TRUE(s.Next());
  EXPECT_FALSE(s.Next());  // the review is over, p0004 still due
  EXPECT_FALSE(s.InReview());
  EXPECT_EQ(s.DueCount(), 1u);

  EXPECT_EQ(Store().Load().reviews[1], (ReviewSlot{2, first + 3 + 3}));
  EXPECT_EQ(Store().Load().reviews[2], (ReviewSlot{1, first + 3 + 1}));
  // Starting a review again and choosing a problem ends it.
  ASSERT_TRUE(s.StartReview());
  s.GoTo(0);
  EXPECT_FALSE(s.InReview());
}

TEST_F(SessionTest, TheRatingMovesAfterTheFirstAttemptAtAProblemOnly) {
  Session s = Open();
  EXPECT_EQ(s.Rating(), Glicko{});
  EXPECT_EQ(s.RatingLine(), "Рейтинг 1500 ± 350");
  s.GoTo(1);
  s.Try(M("a1", "b1"));  // a mistake on p0002 (500): a loss
  ASSERT_TRUE(s.LastRatingChange());
  EXPECT_EQ(s.LastRatingChange()->before, Glicko{});
  const Glicko afterLoss = s.Rating();
  EXPECT_LT(afterLoss.rating, 1100);
  s.Try(M("a1", "b1"));
  SolveByTheLine(s);
  EXPECT_EQ(s.Rating(), afterLoss);

  s.GoTo(0);
  SolveByTheLine(s);  // p0001 (600) at the first attempt: a win
  EXPECT_GT(s.Rating().rating, afterLoss.rating);
  EXPECT_EQ(s.LastRatingChange()->before, afterLoss);
  const Glicko afterWin = s.Rating();
  s.Retry();
  s.RequestHint();
  EXPECT_EQ(s.Rating(), afterWin);

  // The other solver family sees the same rating.
  const CourseProblems& book = *data.Find("checkmate");
  Session other(h.files, clock, *FindCourse("checkmate"), book, Language::English);
  EXPECT_EQ(other.Rating(), afterWin);
  EXPECT_EQ(other.RatingLine(), "Rating " + std::to_string(std::lround(afterWin.rating)) + " ± " +
                                    std::to_string(std::lround(afterWin.deviation)));
}

TEST_F(SessionTest, TheClockCountsTheTimeOnAProblemUntilItIsSolved) {
  Session s = Open();
  EXPECT_TRUE(s.ClockRunning());
  clock.PassSeconds(42.7);
  EXPECT_EQ(s.ProblemSeconds(), 42u);
  EXPECT_EQ(s.ClockLine(), "0:42");
  EXPECT_TRUE(s.HasUnsavedChanges());
  s.PauseClock();  // the user is elsewhere
  clock.PassSeconds(100);
  s.ResumeClock();
  clock.PassSeconds(3);
  EXPECT_EQ(s.ProblemSeconds(), 45u);

  // Left unsolved, its time is kept; it goes on from there on the way back.
  s.GoTo(1);
  EXPECT_EQ(Store().Load().Current().records[0], (ProblemRecord{S::New, 45, clock.Today()}));
  EXPECT_EQ(s.ProblemSeconds(), 0u);
  clock.PassSeconds(5);
  s.GoTo(0);
  EXPECT_EQ(s.ProblemSeconds(), 45u);
  clock.PassSeconds(10);
  s.Try(M("b1", "b7"));
  clock.PassSeconds(2);
  s.PlayReply();
  s.Try(M("a1", "a8"));
  EXPECT_FALSE(s.ClockRunning());
  clock.PassSeconds(100);
  EXPECT_EQ(s.ProblemSeconds(), 57u);
  EXPECT_EQ(Store().Load().Current().records[0].seconds, 57u);
  EXPECT_FALSE(s.HasUnsavedChanges());
  s.Retry();  // a solved problem's clock does not run again
  EXPECT_FALSE(s.ClockRunning());

  // A visit counts half an hour at most; the window's close writes it.
  s.GoTo(1);
  clock.PassSeconds(3 * 3600);
  EXPECT_EQ(s.ProblemSeconds(), 5u + kLongestVisitSeconds);
  EXPECT_EQ(s.ClockLine(), "30:05");
  s.SaveAgain();
  EXPECT_FALSE(s.HasUnsavedChanges());
  EXPECT_EQ(Store().Load().Current().records[1].seconds, 5u + kLongestVisitSeconds);
}

TEST_F(SessionTest, AtMyLevelGoesToTheUnsolvedProblemNearestAboveTheRating) {
  h.Write("rating.prg", "Zelmiku rating 1\r\nrating 620 40 0.06 -\r\nend\r\n");
  Session s = Open();
  s.SetOrder(Order::AtMyLevel);
  EXPECT_EQ(s.order(), Order::AtMyLevel);
  EXPECT_EQ(s.ProblemAtMyLevel(), 3u);  // 650 of 600, 500, 700, 650
  ASSERT_TRUE(s.Next());
  EXPECT_EQ(s.ProblemIndex(), 3u);
  EXPECT_EQ(s.Try(M("a2", "a1", chess::Queen)), MoveResult::Solved);
  ASSERT_GT(s.Rating().rating, 620);
  ASSERT_LT(s.Rating().rating, 700);
  ASSERT_TRUE(s.Next());
  EXPECT_EQ(s.ProblemIndex(), 2u);  // 700
  EXPECT_EQ(s.TrySquares(Sq("e1"), Sq("a1")), MoveResult::Solved);
  // Nothing above the rating left: the nearest below.
  ASSERT_TRUE(s.Next());
  EXPECT_EQ(s.ProblemIndex(), 0u);
  SolveByTheLine(s);
  ASSERT_TRUE(s.Next());
  EXPECT_EQ(s.ProblemIndex(), 1u);
  EXPECT_FALSE(s.ProblemAtMyLevel());  // every other problem solved
  EXPECT_FALSE(s.Next());
}

TEST_F(SessionTest, AFileOfVersion1OpensWithEveryResultAndItsFailuresDue) {
  // As the solvers of version 1 left it.
  h.Write("practice.prg",
          "Zelmiku progress 1\r\ncourse practice\r\ncurrent p0002\r\np0001 first\r\n"
          "p0002 missed\r\np0003 new\r\np0004 solved\r\nend\r\n");
  Session s = Open();
  EXPECT_EQ(s.ProblemIndex(), 1u);  // the first not yet solved
  EXPECT_EQ(Saved(), (std::vector<S>{S::SolvedFirst, S::Missed, S::New, S::Solved}));
  EXPECT_EQ(s.ProgressLine(), "Решено 2 из 4, с первой попытки 1");
  EXPECT_EQ(s.DueCount(), 2u);
  SolveByTheLine(s);  // due, and solved without a fault: up a box
  EXPECT_EQ(s.StateOf(1), S::Solved);
  EXPECT_EQ(s.Rating(), Glicko{});  // tried before: not rated
  EXPECT_TRUE(h.Read("practice.prg").starts_with("Zelmiku progress 2\r\n"));
  EXPECT_EQ(Store().Load().reviews[1], (ReviewSlot{2, clock.Today() + 3}));
  s.GoTo(2);
  SolveByTheLine(s);
  EXPECT_GT(s.Rating().rating, 1500);
  EXPECT_EQ(Saved(), (std::vector<S>{S::SolvedFirst, S::Solved, S::SolvedFirst, S::Solved}));
}

TEST_F(SessionTest, TwoSolversOnOneCourseKeepEachOthersResults) {
  Session russian = Open(Language::Russian);
  Session english = Open(Language::English);
  EXPECT_EQ(english.Title(), "Tactics-0: Practice");
  EXPECT_EQ(english.ProblemLine(), "Problem 1 of 4");

  english.GoTo(1);
  english.Try(M("a1", "a8"));  // p0002 first
  russian.GoTo(2);
  russian.Try(M("d8", "d7"));  // illegal: not the solver's man
  russian.Try(M("a1", "b1"));  // p0003 missed
  english.GoTo(2);
  english.Try(M("e1", "c1"));                // p0003 solved by the other, unaware of the miss
  EXPECT_EQ(english.StateOf(2), S::Solved);  // the miss counted all the same
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
    Session(h.files, clock, *FindCourse("tactics1"), empty, Language::Russian);
    FAIL() << "opened";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.subject, "Zadachi.dat");
    EXPECT_NE(failure.description.find("tactics1"), std::string::npos);
  }
}

}  // namespace
}  // namespace zel::solver

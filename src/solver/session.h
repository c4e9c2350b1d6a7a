// One course open in a solver: the state machine the window drives. It holds
// the problem at hand, its position and how far into the solution line the
// user has got, judges each move, gives hints, plays the solution out, moves
// between problems, keeps the time spent on each, and keeps every result in
// the course's progress file and the user's rating file.
//
// The user solves for the side to move in the problem's position. A move is
//   - right when it is the line's move, or when it mates, at any step (the
//     problem is then solved); castling may be given as the king taking its
//     own rook. After a right move that does not end the line the defender's
//     reply is pending: the window shows it after a pause with PlayReply.
//   - wrong when it is legal but neither: it is not played, counts as a
//     mistake, and the user tries again from the same position.
//   - illegal: refused, no penalty.
// A hint counts as a mistake: the first shows which man moves, asking again
// shows the move. Showing the solution plays the rest of the line out one
// move per StepSolution and leaves the problem unsolved. The problem states,
// cycles, the review schedule and what counts as the first attempt are in
// progress.h; what is rated in user_rating.h.
//
// Cycles: the course can be gone through again and again; a new cycle starts
// every problem afresh and keeps the earlier cycles' results beside it.
// Review: the problems of the schedule due today, one after another, as the
// course's own problems otherwise are. At my level: Next goes to the problem
// not yet solved in the cycle whose rating is nearest above the user's.
//
// The clock: the seconds spent on the problem at hand in the cycle, counted
// while it is not solved in the cycle and the window has not paused it, at
// most kLongestVisitSeconds a visit; written with each change.
//
// Every change of a problem's state and every change of the current problem
// is written to the progress file at once. A failed write throws the
// platform's failure after the session itself has changed: the window reports
// it and the user goes on; the change is written with the next one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chess/notation.h"
#include "chess/position.h"
#include "chess/types.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"
#include "solver/progress.h"
#include "solver/progress_store.h"
#include "solver/statistics.h"
#include "solver/texts.h"
#include "solver/user_rating.h"

namespace zel::solver {

enum class Phase : std::uint8_t {
  SolverToMove,     // the user's move is expected
  ReplyPending,     // a right move was played; PlayReply plays the defender's answer
  Solved,           // the line is complete, or the user mated
  ShowingSolution,  // StepSolution plays the line's next move
  SolutionShown,    // the line has been played out; Retry starts the problem again
};

enum class MoveResult : std::uint8_t {
  Right,           // played; the defender's reply is pending
  Solved,          // played; it completes the line or mates
  Wrong,           // legal but not the solution: not played, one more mistake
  Illegal,         // no legal move: refused, no penalty
  NotUnderstood,   // typed text that is no move
  Ambiguous,       // typed text that fits more than one legal move
  NeedsPromotion,  // a promotion without its piece: ask the user and try again
  NotNow,          // no move is expected in this phase
};

// How Next chooses the problem that follows.
enum class Order : std::uint8_t {
  Course,     // the course's own order
  AtMyLevel,  // the unsolved problem nearest above the user's rating
};

// The longest a visit to one problem counts on its clock: a window left open
// overnight must not make a cycle look hours slower.
inline constexpr std::uint32_t kLongestVisitSeconds = 30 * 60;

struct Hint {
  chess::Square from;               // the man to move
  std::optional<chess::Move> move;  // from the second hint on
  std::string text;                 // PieceHintText or MoveHintText
};

class Session {
 public:
  // Opens the course at its first problem not yet solved in the cycle under
  // way, or, when all are solved, where the user was. `course`, `problems`
  // and `clock` must outlive the session. Throws the platform's failure when
  // the progress file is there but cannot be read, and DamagedFileFailure
  // when the course has no problems.
  Session(platform::Files& files, platform::Clock& clock, const CourseInfo& course,
          const CourseProblems& problems, Language language);
  // The same on the platform's clock.
  Session(platform::Files& files, const CourseInfo& course, const CourseProblems& problems,
          Language language);

  // --- The course
  const CourseInfo& Course() const { return course_; }
  std::string_view Title() const { return course_.Title(language_); }
  Language language() const { return language_; }
  std::size_t ProblemCount() const { return problems_.problems.size(); }
  std::size_t ProblemIndex() const { return index_; }  // 0-based
  // In the cycle under way.
  ProblemState StateOf(std::size_t index) const {
    return progress_.Current().records.at(index).state;
  }
  std::size_t SolvedCount() const;
  std::size_t SolvedFirstCount() const;
  bool AllSolved() const { return SolvedCount() == ProblemCount(); }
  // Everything the course's file holds, as the session last read or wrote it.
  const CourseProgress& Progress() const { return progress_; }

  // --- Cycles
  std::size_t CycleNumber() const { return progress_.cycles.size(); }  // from 1
  // Every cycle side by side, the first first; the last is under way.
  std::vector<CycleSummary> Cycles() const;
  // A new cycle: every problem afresh, the first one at hand; the earlier
  // cycles stay. What is not yet written is written first (and a failure
  // thrown then starts nothing). The window asks first (Text::RestartQuestion).
  void StartNewCycle();
  // Every result of the course erased, all cycles and the schedule; the
  // user's rating stays. The window asks first (Text::EraseQuestion).
  void EraseCourse();

  // --- Review
  std::size_t DueCount() const;  // problems of the course due today
  bool IsDue(std::size_t index) const;
  // Plays the problems due today, the longest due first, from the first; false
  // (and nothing changes) when none is due. Next and Previous then move
  // through them; Next after the last, or GoTo, ends the review.
  bool StartReview();
  void EndReview();
  bool InReview() const { return !review_.empty(); }
  std::size_t ReviewSize() const { return review_.size(); }
  std::size_t ReviewPlace() const { return reviewPlace_; }  // 0-based

  // --- Order and rating
  Order order() const { return order_; }
  void SetOrder(Order order) { order_ = order; }
  // The problem not yet solved in the cycle, other than the one at hand, whose
  // rating is the lowest at or above the user's; failing that the highest
  // below it; in course order among equals. Nothing when every other problem
  // is solved.
  std::optional<std::size_t> ProblemAtMyLevel() const;
  const Glicko& Rating() const { return rating_; }
  // The last change a first attempt made to the rating in this session.
  std::optional<RatingChange> LastRatingChange() const { return lastRated_; }

  // --- The clock
  // Seconds spent on the problem at hand in this cycle, what the file holds
  // and this visit's.
  std::uint32_t ProblemSeconds() const;
  bool ClockRunning() const { return runningSince_.has_value(); }
  // While the user is elsewhere (the window inactive or minimised).
  void PauseClock();
  void ResumeClock();

  // --- The problem at hand
  const Problem& CurrentProblem() const { return problems_.problems[index_]; }
  chess::Color SolverColor() const { return CurrentProblem().start.SideToMove(); }
  const chess::Position& Position() const { return position_; }
  std::optional<chess::Move> LastMove() const { return lastMove_; }
  std::size_t Ply() const { return ply_; }  // moves of the line played so far
  Phase phase() const { return phase_; }
  int Mistakes() const { return mistakes_; }  // this attempt's, hints included

  // A move by its squares and promotion piece, as TrySquares.
  MoveResult Try(const chess::Move& move);
  // From two clicked squares; the king onto its own rook castles.
  MoveResult TrySquares(chess::Square from, chess::Square to,
                        chess::PieceType promotion = chess::NoPieceType);
  // A typed move in either language's notation or in coordinates.
  MoveResult TryTyped(std::string_view typed);
  // Whether a move between these squares would promote, so the window asks
  // for the piece before trying it.
  bool NeedsPromotion(chess::Square from, chess::Square to) const;

  // The defender's answer while a reply is pending; PlayReply plays it and
  // gives it back, nothing in any other phase.
  std::optional<chess::Move> PendingReply() const;
  std::optional<chess::Move> PlayReply();

  // Nothing unless the user's move is expected.
  std::optional<Hint> RequestHint();

  // Plays the rest of the line from here, one StepSolution per move; from a
  // solved or shown problem, the whole line from the start.
  void ShowSolution();
  // The move just played, or nothing when the line is over (phase SolutionShown).
  std::optional<chess::Move> StepSolution();

  // Whether something is not in the progress file yet: a change a failed
  // write did not save (every later write carries it again), or time spent
  // on the problem at hand since the last write. SaveAgain writes both, for
  // a window that is closing.
  bool HasUnsavedChanges() const { return !unsaved_.empty() || UnsentSeconds() > 0; }
  void SaveAgain();

  // The problem from its start again; its state stays.
  void Retry();
  // The next or previous problem, from its start, in the order (or the
  // review) under way; false at either end.
  bool Next();
  bool Previous();
  // Problem `index` (0-based) from its start; false when there is none. Ends
  // a review.
  bool GoTo(std::size_t index);
  // A new cycle (StartNewCycle): the course starts again with every problem
  // new, and the earlier cycles' results are kept.
  void RestartCourse() { StartNewCycle(); }

  // --- Texts in the session's language
  std::string ProblemLine() const;      // "Задача 5 из 30"
  std::string_view ToMoveLine() const;  // "Ход белых", the solver's side
  std::string ProgressLine() const;  // "Решено 12 из 30, с первой попытки 9"
  std::string ClockLine() const;     // "4:05"
  std::string CycleLine() const;     // "Круг 2"
  std::string RatingLine() const;    // "Рейтинг 1432 ± 81"
  std::string DueLine() const;       // "К повторению сегодня: 3"
  std::string ReviewLine() const;  // "Повторение: задача 2 из 5"; empty outside a review
  std::string_view ResultText(MoveResult result) const;  // empty for NotNow

 private:
  std::optional<std::size_t> FirstUnsolved() const;
  // The problem from its start, its clock from this visit's start.
  void StartProblem(std::size_t index);
  // The board back to the problem's start; the clock goes on.
  void ResetBoard();
  void Play(const chess::Move& move);
  // A mistake, a hint or the shown solution: the problem can no longer be
  // solved at the first attempt.
  void CountFault();
  // The change for the problem at hand, with its unsent time, then written.
  void Save(Outcome outcome);
  // Into the session's own view and the changes to write.
  void Record(const Change& change);
  void Write();
  // To another problem: the time of the one left is recorded, the move written.
  void MoveTo(std::size_t index);
  MoveResult Judge(const chess::Move& move);

  // The clock of this visit.
  std::uint32_t VisitSeconds() const;
  std::uint32_t UnsentSeconds() const { return VisitSeconds() - sentSeconds_; }
  std::uint32_t TakeUnsentSeconds();
  void StopClock();
  void StartClockIfUnsolved();

  const CourseInfo& course_;
  const CourseProblems& problems_;
  Language language_;
  platform::Clock& clock_;
  ProgressStore store_;
  CourseProgress progress_;
  Glicko rating_;
  std::optional<RatingChange> lastRated_;
  std::vector<bool> faulted_;    // a fault counted by this session, by problem
  std::vector<Change> unsaved_;  // changes a failed write did not save

  Order order_ = Order::Course;
  std::vector<std::size_t> review_;  // the problems of the review under way
  std::size_t reviewPlace_ = 0;

  std::int64_t visitMilliseconds_ = 0;        // counted before runningSince_
  std::optional<std::int64_t> runningSince_;  // steady milliseconds
  bool clockPaused_ = false;
  std::uint32_t sentSeconds_ = 0;  // of this visit, recorded already

  std::size_t index_ = 0;
  chess::Position position_;
  std::optional<chess::Move> lastMove_;
  std::size_t ply_ = 0;
  Phase phase_ = Phase::SolverToMove;
  int hintLevel_ = 0;  // hints asked at this step
  int mistakes_ = 0;
  bool otherMate_ = false;  // the last right move mated off the line
};

}  // namespace zel::solver

// One course open in a solver: the state machine the window drives. It holds
// the problem at hand, its position and how far into the solution line the
// user has got, judges each move, gives hints, plays the solution out, moves
// between problems and keeps every result in the course's progress file.
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
// move per StepSolution and leaves the problem unsolved. The problem states
// and what counts as the first attempt are in progress.h.
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
#include "platform/files.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"
#include "solver/progress.h"
#include "solver/texts.h"

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

struct Hint {
  chess::Square from;                // the man to move
  std::optional<chess::Move> move;   // from the second hint on
  std::string text;                  // PieceHintText or MoveHintText
};

class Session {
 public:
  // Opens the course at its first problem not yet solved, or, when all are
  // solved, where the user was. `course` and `problems` must outlive the
  // session. Throws the platform's failure when the progress file is there
  // but cannot be read, and DamagedFileFailure when the course has no problems.
  Session(platform::Files& files, const CourseInfo& course, const CourseProblems& problems,
          Language language);

  // --- The course
  const CourseInfo& Course() const { return course_; }
  std::string_view Title() const { return course_.Title(language_); }
  Language language() const { return language_; }
  std::size_t ProblemCount() const { return problems_.problems.size(); }
  std::size_t ProblemIndex() const { return index_; }  // 0-based
  ProblemState StateOf(std::size_t index) const { return progress_.states.at(index); }
  std::size_t SolvedCount() const;
  std::size_t SolvedFirstCount() const;
  bool AllSolved() const { return SolvedCount() == ProblemCount(); }

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

  // Whether a change failed to reach the progress file; every later write
  // carries it again, and so does SaveAgain, for a window that is closing.
  bool HasUnsavedChanges() const { return !unsaved_.empty(); }
  void SaveAgain();

  // The problem from its start again; its state stays.
  void Retry();
  // The next or previous problem, from its start; false at either end.
  bool Next();
  bool Previous();
  // Problem `index` (0-based) from its start; false when there is none.
  bool GoTo(std::size_t index);
  // Every problem new again, the first one at hand. The window asks first
  // (Text::RestartQuestion).
  void RestartCourse();

  // --- Texts in the session's language
  std::string ProblemLine() const;   // "Задача 5 из 30"
  std::string_view ToMoveLine() const;  // "Ход белых", the solver's side
  std::string ProgressLine() const;  // "Решено 12 из 30, с первой попытки 9"
  std::string_view ResultText(MoveResult result) const;  // empty for NotNow

 private:
  void StartProblem(std::size_t index);
  void Play(const chess::Move& move);
  // A mistake, a hint or the shown solution: the problem can no longer be
  // solved at the first attempt.
  void CountFault();
  void Save(Outcome outcome);
  MoveResult Judge(const chess::Move& move);

  const CourseInfo& course_;
  const CourseProblems& problems_;
  Language language_;
  ProgressStore store_;
  CourseProgress progress_;
  std::vector<bool> faulted_;  // a fault counted by this session, by problem
  std::vector<Change> unsaved_;  // changes a failed write did not save

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

// The solver's screen without the window: what it shows (the left part, every
// text, which commands are shown and enabled, the list, the board) and what
// each thing the user does leads to. It drives the Session and tells a
// TrainerView what changed, no more. The pauses (before the defender's
// answer, between the moves of a shown solution, a moving man's frames) and
// the problem's clock are timers the view runs and hands back to OnTimer.
//
// The rules it keeps:
//   - while a right move's answer comes (the pause, then the man moving) the
//     commands keep their look but do nothing, and the board takes no move;
//     the board may be turned, though not while a man moves. While a
//     solution plays out, every command but Flip is disabled;
//   - a move is taken only when the user's move is expected, from the board
//     (two clicks or a drag) or typed; a promotion asks for its piece first;
//   - a right move is answered after a pause, and the answer moves on the
//     board; a wrong one is named, counted and taken back;
//   - after a problem, solved or shown, its themes, rating and solution;
//     otherwise, from the second cycle on, the cycles side by side;
//   - the problem's clock is the session's: it stops while the window is
//     inactive, and the user may hide it (it counts all the same);
//   - Review plays the problems due today; Next after the last ends it;
//   - a new cycle and erasing the course's results are asked first;
//   - in the collections Next may go by the user's rating ("at my level");
//   - a failed write of the progress is reported after the screen shows the
//     change, and the user goes on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "solver/board_model.h"
#include "solver/problem_data.h"
#include "solver/session.h"
#include "solver/startup.h"
#include "solver/trainer_view.h"

namespace zel::solver {

struct ScreenTiming {
  int replyPauseMs = 600;    // before the defender's answer, so the user sees his move
  int animationMs = 250;     // a man moving from square to square
  int solutionStepMs = 900;  // between the moves of a shown solution
  int frameMs = 15;          // between the frames of a moving man
};

// What the view was last told, all of it.
struct ScreenState {
  LeftPart part = LeftPart::Board;
  std::array<std::string, kFieldCount> texts;
  std::array<CommandState, kCommandCount> commands{};
  std::vector<std::string> list;  // while a list is shown
  std::size_t listChoice = 0;
  // Counts the verdicts and messages: the same words said again are told
  // again, so that a screen reader repeats them.
  std::uint64_t statusSaid = 0;

  const std::string& text(Field field) const { return texts[static_cast<std::size_t>(field)]; }
  CommandState command(Command command) const {
    return commands[static_cast<std::size_t>(command)];
  }
};

class TrainerScreen {
 public:
  // `view`, `files`, `clock` and `data` must outlive the screen. The clock
  // gives the day for the review schedule and the steady time for the
  // problem's clock and the moving men. `productTitle` begins the window's
  // title while no course is open. Shows nothing until Start.
  TrainerScreen(TrainerView& view, platform::Files& files, platform::Clock& clock,
                const StartChoice& start, const ProblemData& data, std::string_view productTitle,
                ScreenTiming timing = {});
  TrainerScreen(const TrainerScreen&) = delete;
  TrainerScreen& operator=(const TrainerScreen&) = delete;

  // Opens the chosen course at its first unsolved problem, or offers the
  // family's courses, and shows it. Throws the platform's failure when the
  // course's progress cannot be read.
  void Start();
  // Tells the view everything again, as to a view whose controls are new.
  void ShowAll();

  // --- What the user does, as the view hears it
  // A command, unless it is hidden or disabled (a click can reach a window
  // all the same). Play takes the move field's text; ListOpen the list's
  // choice.
  void Do(Command command);
  void OnTimer(Timer timer);
  // The board control's client size in pixels.
  void BoardResized(int width, int height);
  // The mouse on the board, in its client pixels; `dragThreshold`: the
  // system's distance before a press becomes a drag.
  void BoardPressed(Point at);
  void BoardDragged(Point at, int dragThreshold);
  void BoardReleased(Point at);
  void BoardLostMouse();
  void BoardRightClicked();
  // The window became active (the user is here) or inactive.
  void Activated(bool active);
  // The window is closing: a result a failed write kept is tried once more.
  void Closing();

  // --- What is shown
  const ScreenState& state() const { return shown_; }
  const BoardModel& board() const { return board_; }
  LeftPart part() const { return part_; }
  // Whether a click on the command would do anything now.
  bool Available(Command command) const;
  // The session while a course is open.
  const Session* session() const { return session_.get(); }

 private:
  // Runs a user's action and shows what came of it; a progress file that
  // could not be written is reported once the screen shows the change.
  template <typename Action>
  void Act(Action&& action);
  // Brings the board up to date with the session, tells the view what
  // changed since it was last told, and asks for the board's changed squares
  // to be painted.
  void Push();
  void SyncBoard();
  ScreenState Render() const;

  // The solution being played out, move by move.
  bool PlayingSolution() const;
  // A right move's answer on its way: the pause, then the defender's man moving.
  bool Answering() const;
  // The user's move is expected, and nothing moves.
  bool YourMove() const;
  std::string_view Say(Text text) const;
  void SetStatus(std::string_view status);
  // Where the problem is played: the board, or the position in words.
  LeftPart PlayPart() const;
  FocusTarget PlayFocus() const;

  void OpenCourse(const CourseInfo& course);
  void OpenChosen();
  void GoTo(std::size_t index);
  void StopMotion();  // the pauses and a moving man
  // The screen's part of going to another problem: nothing moves, the
  // board the right way up, the user's move awaited.
  void LeaveProblem();
  void Step(bool forward);  // Next or Previous, in the order or review under way
  // The clock's timer runs while the session's clock does and is shown.
  void SyncClockTimer();
  std::string CyclesText() const;

  void PlayTyped();
  void PlayGesture(const BoardGesture& gesture);
  std::optional<chess::PieceType> AskPromotion();
  // The session's verdict on a move tried from `before` (`tried`: the legal
  // move meant, when there is one), said and acted on.
  void Judge(MoveResult result, const chess::Position& before, std::optional<chess::Move> tried);
  // A try through the session; a failed write is thrown on once the verdict
  // the session reached is said.
  template <typename Try>
  MoveResult Attempt(const chess::Position& before, std::optional<chess::Move> tried,
                     Try&& attempt);
  void GiveHint();
  void ShowSolution();
  void Retry();
  void RestartCourse();
  void EraseCourse();
  void StartReview();
  void ShowStatistics();  // a file that cannot be read is reported
  void PlayReply();
  void StepSolution();
  void StartAnimation(const chess::Move& move);
  void AnimationDone();

  // A hint's squares, shown while the position it was given for is.
  struct HintMarks {
    std::size_t problem;
    std::size_t ply;
    chess::Square from;
    std::optional<chess::Square> to;
  };

  TrainerView& view_;
  platform::Files& files_;
  platform::Clock& clock_;
  StartChoice start_;
  const ProblemData& data_;
  std::string productTitle_;
  ScreenTiming timing_;

  std::unique_ptr<Session> session_;
  BoardModel board_;
  LeftPart part_ = LeftPart::Board;
  bool flipped_ = false;
  std::string status_;
  std::uint64_t statusSaid_ = 0;
  std::optional<HintMarks> hint_;
  bool active_ = true;  // the window has the user
  bool clockShown_ = true;
  bool clockTicking_ = false;
  Order order_ = Order::Course;  // kept from one course of the list to the next

  ScreenState shown_;
  bool everShown_ = false;
};

}  // namespace zel::solver

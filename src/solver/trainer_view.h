// What the trainer's screen needs of a window: parts to show, texts, the
// commands' states, a list, the board repainted, timers, and the
// few questions only a window can ask (a promotion piece, a confirmation).
// The screen decides; a view only shows. Win32's is the solver window, the
// tests' an in-memory one (fake_trainer_view.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "chess/types.h"
#include "platform/failure.h"
#include "solver/board_model.h"
#include "solver/texts.h"

namespace zel::solver {

// What the left of the window shows.
enum class LeftPart : std::uint8_t { Board, Description, ProblemList, CourseList };

// The texts, each in a control of its own. Lines are separated by "\n".
enum class Field : std::uint8_t {
  Caption,      // the window's title: the course, as the taskbar names it
  Title,        // the course, large, above the panel
  Problem,      // "Задача 5 из 30"
  ToMove,       // "Ход белых"
  Progress,     // "Решено 12 из 30, с первой попытки 9"
  Clock,        // the time on this problem, while the user wants it shown
  Rating,       // "Рейтинг 1512 ± 290 (+12)"
  Due,          // "К повторению сегодня: 3", or the place in a review under way
  Status,       // what the last move or command earned; screen readers hear it
  Summary,      // after a problem: its themes, rating and solution; else the cycles
  Description,  // the position in words, in place of the board
  BoardWords,   // the board's own name for screen readers: its position in words
  Count
};
inline constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::Count);

// The commands, each a button with an access key. Play stands for the move
// field and its label too: they are shown and enabled together.
enum class Command : std::uint8_t {
  Play,
  Hint,
  Solution,
  Retry,
  Flip,
  Previous,
  Next,
  ProblemList,
  Statistics,
  RestartCourse,  // a new cycle
  EraseCourse,
  ListOpen,
  ListClose,
  Review,     // beside the due line
  AtMyLevel,  // the order of Next, in the collections
  ShowClock,
  Count
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::Count);

// A push button, or a check box whose mark the screen sets.
enum class CommandKind : std::uint8_t { Push, Check };

struct CommandRow {
  Command id;
  Text caption;
  CommandKind kind = CommandKind::Push;
};
// Play beside the move field, the panel's buttons two a row, the list's,
// then those that sit on the panel's lines.
inline constexpr CommandRow kCommandRows[] = {
    {Command::Play, Text::CommandPlay},
    {Command::Hint, Text::CommandHint},
    {Command::Solution, Text::CommandSolution},
    {Command::Retry, Text::CommandRetry},
    {Command::Flip, Text::CommandFlipBoard},
    {Command::Previous, Text::CommandPrevious},
    {Command::Next, Text::CommandNext},
    {Command::ProblemList, Text::CommandProblemList},
    {Command::Statistics, Text::CommandStatistics},
    {Command::RestartCourse, Text::CommandRestartCourse},
    {Command::EraseCourse, Text::CommandEraseCourse},
    {Command::ListOpen, Text::CommandOpen},
    {Command::ListClose, Text::CommandClose},
    {Command::Review, Text::CommandReview},
    {Command::AtMyLevel, Text::CommandAtMyLevel, CommandKind::Check},
    {Command::ShowClock, Text::CommandShowClock, CommandKind::Check},
};
namespace view_detail {
constexpr bool CommandRowsInOrder() {
  for (std::size_t i = 0; i < std::size(kCommandRows); ++i)
    if (static_cast<std::size_t>(kCommandRows[i].id) != i) return false;
  return std::size(kCommandRows) == kCommandCount;
}
static_assert(CommandRowsInOrder(), "one row per Command, in enum order");
}  // namespace view_detail

struct CommandState {
  bool shown = false;
  bool enabled = false;
  bool checked = false;  // a check box's mark
  friend bool operator==(const CommandState&, const CommandState&) = default;
};

// The view's timers. Each repeats every `milliseconds` until stopped, as a
// window's timers do; starting one that runs restarts it.
enum class Timer : std::uint8_t {
  Reply,         // the pause before the defender's answer
  SolutionStep,  // the pause between the moves of a shown solution
  Animation,     // a frame of a moving man
  Clock,         // the problem's clock, once a second
  Count
};
inline constexpr std::size_t kTimerCount = static_cast<std::size_t>(Timer::Count);

// Where the keyboard goes.
enum class FocusTarget : std::uint8_t { Board, MoveField, List };

class TrainerView {
 public:
  virtual void ShowPart(LeftPart part) = 0;
  virtual void SetText(Field field, std::string_view text) = 0;
  virtual void SetCommand(Command command, CommandState state) = 0;
  // The list's entries with one chosen (the view's list keeps the user's
  // choice from then on).
  virtual void SetList(std::span<const std::string> items, std::size_t chosen) = 0;
  // The list entry chosen now, if any.
  virtual std::optional<std::size_t> ListChoice() const = 0;
  // The text in the move field; clearing it, or selecting all of it so that
  // the user types over it.
  virtual std::string TypedMove() const = 0;
  virtual void ClearTypedMove() = 0;
  virtual void SelectTypedMove() = 0;
  // Parts of the board to paint again from the screen's BoardModel.
  virtual void RepaintBoard(const BoardDamage& damage) = 0;
  virtual void Focus(FocusTarget target) = 0;

  virtual void StartTimer(Timer timer, int milliseconds) = 0;
  virtual void StopTimer(Timer timer) = 0;

  // Asks for the piece a pawn becomes; nothing when the user declines.
  virtual std::optional<chess::PieceType> AskPromotion() = 0;
  // A yes-or-no question, "no" the default.
  virtual bool Confirm(std::string_view question, std::string_view title) = 0;
  // The statistics of every course of the family and the rating, in a window
  // of their own. Throws the platform's failure when a file cannot be read.
  virtual void ShowStatistics() = 0;
  virtual void Beep() = 0;
  // A failure the user must hear of before going on: what went wrong in the
  // solver's words, then the platform's.
  virtual void Report(Text headline, const platform::Failure& failure) = 0;

 protected:
  ~TrainerView() = default;
};

}  // namespace zel::solver

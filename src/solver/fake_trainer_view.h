// The solver's window in memory, for tests: it keeps what the screen shows,
// logs each change in order, runs the timers on a clock the test moves, and
// answers the window's questions as the test says. It fails as the real one
// does: a click on a hidden or disabled button still arrives (Wine's BM_CLICK
// sends it), a timer repeats until it is stopped, the keyboard cannot go to a
// hidden or disabled control, and a list entry beyond the list chooses
// nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "solver/trainer_screen.h"
#include "solver/trainer_view.h"

namespace zel::solver {

// "Play", "RestartCourse": the command's name in the log.
std::string_view CommandName(Command command);

class FakeTrainerView final : public TrainerView {
 public:
  // Its timers run on `clock`, which the screen reads too.
  explicit FakeTrainerView(platform::FakeClock& clock) : clock_(clock) {}

  // The board's client size in pixels the fake reports to the screen.
  static constexpr int kBoardSide = 500;
  // The system's drag distance, in pixels.
  static constexpr int kDragThreshold = 4;

  // The screen this view shows; told the board's size at once.
  void Attach(TrainerScreen& screen);

  // --- TrainerView
  void ShowPart(LeftPart part) override;
  void SetText(Field field, std::string_view text) override;
  void SetCommand(Command command, CommandState state) override;
  void SetList(std::span<const std::string> items, std::size_t chosen) override;
  std::optional<std::size_t> ListChoice() const override { return listChoice_; }
  std::string TypedMove() const override { return typed_; }
  void ClearTypedMove() override;
  void SelectTypedMove() override;
  void RepaintBoard(const BoardDamage& damage) override;
  void Focus(FocusTarget target) override;
  void StartTimer(Timer timer, int milliseconds) override;
  void StopTimer(Timer timer) override;
  std::optional<chess::PieceType> AskPromotion() override;
  bool Confirm(std::string_view question, std::string_view title) override;
  void ShowStatistics() override;
  void Beep() override;
  void Report(Text headline, const platform::Failure& failure) override;

  // --- What is shown
  LeftPart part() const { return part_; }
  const std::string& text(Field field) const { return texts_[static_cast<std::size_t>(field)]; }
  CommandState command(Command command) const {
    return commands_[static_cast<std::size_t>(command)];
  }
  const std::vector<std::string>& list() const { return list_; }
  std::optional<FocusTarget> focus() const { return focus_; }
  bool typedSelected() const { return typedSelected_; }
  bool TimerRunning(Timer timer) const {
    return timers_[static_cast<std::size_t>(timer)].has_value();
  }
  int beeps() const { return beeps_; }
  // The board painted since ClearRepaints: every square asked for, or all.
  const BoardDamage& repainted() const { return repainted_; }
  void ClearRepaints() { repainted_ = {}; }
  // "report <headline> | <failure text>", one per report.
  const std::vector<std::string>& reports() const { return reports_; }
  // One line per change: "text Status Правильно!", "command Hint 1 0",
  // "timer Reply 600", "stop Reply", "part Board", "focus MoveField", ...
  const std::vector<std::string>& log() const { return log_; }
  void ClearLog() { log_.clear(); }

  // --- The window's questions, answered as the test says
  std::optional<chess::PieceType> promotionAnswer = chess::Queen;
  bool confirmAnswer = false;
  int promotionsAsked = 0;
  int confirmationsAsked = 0;
  int statisticsShown = 0;
  std::optional<platform::Failure> statisticsFailure;  // thrown instead, when set

  // --- The user, through the screen as the window passes it on
  // A button's click, delivered even when hidden or disabled.
  void Click(Command command);
  // Text into the move field (which takes the keyboard), then Play.
  void Type(std::string_view move);
  // A list entry chosen, then Open.
  void Choose(std::size_t entry);
  // A click on a square's centre (button down and up), and a drag across.
  void ClickSquare(std::string_view square);
  void DragMan(std::string_view from, std::string_view to);

  // --- Time
  // The user going to another program and coming back.
  void Deactivate() { screen().Activated(false); }
  void Activate() { screen().Activated(true); }
  // Moves the clock on, each timer firing in turn as often as it falls due.
  void Advance(int milliseconds);
  // Moves the clock on until the user's move is expected and no man moves
  // (at most ten seconds); false if that never came.
  bool AdvanceToYourMove();

 private:
  TrainerScreen& screen() const;
  Point Centre(std::string_view square) const;

  platform::FakeClock& clock_;
  TrainerScreen* screen_ = nullptr;
  LeftPart part_ = LeftPart::Board;
  std::array<std::string, kFieldCount> texts_;
  std::array<CommandState, kCommandCount> commands_{};
  std::vector<std::string> list_;
  std::optional<std::size_t> listChoice_;
  std::string typed_;
  bool typedSelected_ = false;
  std::optional<FocusTarget> focus_;
  BoardDamage repainted_;
  struct Running {
    int period;
    std::int64_t due;
  };
  std::array<std::optional<Running>, kTimerCount> timers_;
  int beeps_ = 0;
  std::vector<std::string> reports_;
  std::vector<std::string> log_;
};

}  // namespace zel::solver

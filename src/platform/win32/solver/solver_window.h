// The solver's window: the board (or, with pictures off, the position in
// words), the course's name, the problem's number, who moves, the progress,
// the clock, the rating, what is due for review, what the last move earned
// and what the problem was about (or the cycles side by side), a field to
// type a move in and the commands as real buttons and check boxes with
// access keys.
// The left part can also show the list of the course's problems, or, when
// the program was started without a course, the list of its courses. What it
// shows and what each control does is the TrainerScreen's; this is its face
// in Win32: the controls, the messages, the timers and the painting.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/win32/solver/board_view.h"
#include "platform/win32/solver/gdi_guards.h"
#include "solver/problem_data.h"
#include "solver/startup.h"
#include "solver/trainer_screen.h"
#include "solver/trainer_view.h"

namespace zel::platform {

// The window's controls, by id; tests find them with GetDlgItem.
enum SolverControl : int {
  kIdBoard = 100,
  kIdDescription,  // the position in words, in place of the board
  kIdList,         // the problem list or the course list
  kIdListOpen,
  kIdListClose,
  kIdTitle,
  kIdProblem,
  kIdToMove,
  kIdProgress,
  kIdClock,
  kIdStatus,
  kIdSummary,
  kIdMoveLabel,
  kIdMoveEdit,
  kIdPlay,
  kIdHint,
  kIdSolution,
  kIdRetry,
  kIdPrevious,
  kIdNext,
  kIdFlip,
  kIdProblemList,
  kIdRestartCourse,
  kIdRating,
  kIdDue,
  kIdStatistics,
  kIdEraseCourse,
  kIdReview,
  kIdAtMyLevel,  // a check box
  kIdShowClock,  // a check box
};

class SolverWindow final : private solver::TrainerView {
 public:
  static constexpr const wchar_t* kClassName = L"ZelSolver";

  // Creates the window hidden, with the board (or the position in words):
  // the chosen course at its first unsolved problem, or the list of the
  // family's courses when none was chosen. The panel of texts and commands
  // follows in Show, once the board is painted. `files`, `clock`, `data` and
  // `men` must outlive the window. Throws Failure when the system refuses the
  // window or the course's progress cannot be read.
  SolverWindow(Files& files, Clock& clock, const solver::StartChoice& start,
               const solver::ProblemData& data, const MenSheet& men,
               solver::ScreenTiming timing = {});
  ~SolverWindow();
  SolverWindow(const SolverWindow&) = delete;
  SolverWindow& operator=(const SolverWindow&) = delete;

  HWND handle() const { return hwnd_; }
  void Show(int showCommand);
  // Keys the window takes before the focused control: access keys of the
  // buttons, Enter, and the arrows that page through the problems.
  bool PreTranslate(MSG& message);

  // For tests and benchmarks.
  const solver::TrainerScreen& screen() const { return *screen_; }
  const solver::Session* session() const { return screen_->session(); }
  const BoardView* board() const { return board_.get(); }

 private:
  // --- TrainerView
  void ShowPart(solver::LeftPart part) override;
  void SetText(solver::Field field, std::string_view text) override;
  void SetCommand(solver::Command command, solver::CommandState state) override;
  void SetList(std::span<const std::string> items, std::size_t chosen) override;
  std::optional<std::size_t> ListChoice() const override;
  std::string TypedMove() const override;
  void ClearTypedMove() override;
  void SelectTypedMove() override;
  void RepaintBoard(const solver::BoardDamage& damage) override;
  void Focus(solver::FocusTarget target) override;
  void StartTimer(solver::Timer timer, int milliseconds) override;
  void StopTimer(solver::Timer timer) override;
  std::optional<chess::PieceType> AskPromotion() override;
  bool Confirm(std::string_view question, std::string_view title) override;
  void ShowStatistics() override;
  void Beep() override;
  void Report(solver::Text headline, const Failure& failure) override;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int notification);

  void CreateLeftPart();
  void CreatePanel();
  HWND AddControl(const wchar_t* className, int id, DWORD style, DWORD exStyle = 0);
  HWND Item(int id) const;
  void SetFonts();    // made anew for the window's scaling, and given to every control
  void ApplyFonts();  // given to every control
  void Layout();
  std::string_view Say(solver::Text text) const;
  // Gives the keyboard to a control. A window that is not active keeps it for
  // its activation (WM_ACTIVATE): setting the focus would activate it, which
  // for a window not yet shown costs its start time, and for one in the
  // background takes the user away from another program.
  void FocusControl(HWND control);
  void RestoreFocus();

  solver::StartChoice start_;
  Files& files_;
  Clock& clock_;
  const solver::ProblemData& data_;
  const MenSheet& men_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<solver::TrainerScreen> screen_;
  std::unique_ptr<BoardView> board_;
  bool panelMade_ = false;  // the panel's controls exist (CreatePanel)
  HWND focus_ = nullptr;    // the control to have the keyboard when active
  // Where the screen wanted the keyboard before the control was made.
  std::optional<solver::FocusTarget> wantedFocus_;

  UINT dpi_ = 96;
  Font font_;
  Font titleFont_;
};

}  // namespace zel::platform

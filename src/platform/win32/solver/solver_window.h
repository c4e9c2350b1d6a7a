// The solver's window: the board (or, with pictures off, the position in
// words), the course's name, the problem's number, who moves, the progress,
// what the last move earned, a field to type a move in and the commands as
// real buttons with access keys. The left part can also show the list of the
// course's problems, or, when the program was started without a course, the
// list of its courses to choose from. The trainer's logic is the Session's;
// this is only its face.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/win32/solver/board_view.h"
#include "solver/problem_data.h"
#include "solver/session.h"
#include "solver/startup.h"

namespace zel::platform {

// How long the window waits before it shows the defender's reply, how long a
// man takes to move, and the pause between the moves of a shown solution.
struct SolverTiming {
  int replyPauseMs = 600;
  int animationMs = 250;
  int solutionStepMs = 900;
};

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
  kIdStatus,
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
};

class SolverWindow final : private BoardListener {
 public:
  static constexpr const wchar_t* kClassName = L"ZelSolver";

  // Creates the window hidden: the chosen course at its first unsolved
  // problem, or the list of the family's courses when none was chosen. The
  // panel of texts and commands follows in Show, once the board is painted.
  // `data` and `men` must outlive the window. Throws Failure when the system
  // refuses the window or the course's progress cannot be read.
  SolverWindow(Files& files, const solver::StartChoice& start, const solver::ProblemData& data,
               const MenSheet& men, SolverTiming timing = {});
  ~SolverWindow();
  SolverWindow(const SolverWindow&) = delete;
  SolverWindow& operator=(const SolverWindow&) = delete;

  HWND handle() const { return hwnd_; }
  void Show(int showCommand);
  // Keys the window takes before the focused control: access keys of the
  // buttons, Enter, and the arrows that page through the problems.
  bool PreTranslate(MSG& message);

  // For tests: the session while a course is open, and the board.
  const solver::Session* session() const { return session_.get(); }
  const BoardView* board() const { return board_.get(); }

 private:
  enum class LeftPart { Board, Description, ProblemList, CourseList };

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int notification);
  void OnTimer(UINT_PTR timer);

  void CreateLeftPart();
  void CreatePanel();
  HWND AddControl(const wchar_t* className, int id, DWORD style, DWORD exStyle = 0);
  void SetFonts();    // made anew for the window's scaling, and given to every control
  void ApplyFonts();  // given to every control
  void Layout();
  void ShowLeftPart(LeftPart part);
  // Gives the keyboard to a control. A window that is not active keeps it for
  // its activation (WM_ACTIVATE): setting the focus would activate it, which
  // for a window not yet shown costs its start time, and for one in the
  // background takes the user away from another program.
  void Focus(HWND control);
  void RestoreFocus();

  void OpenCourse(const solver::CourseInfo& course);
  void Refresh();  // every text and state from the session
  void SetStatus(std::string_view text);
  std::string_view Say(solver::Text text) const;
  void SetCaption(HWND control, std::string_view caption) const;
  // A result that could not be written to the progress file: the user is told,
  // and goes on.
  void ReportNotSaved(const Failure& failure) const;

  void Judge(solver::MoveResult result);
  void TryFromBoard(chess::Square from, chess::Square to);
  void TryTyped();
  std::optional<chess::PieceType> AskPromotion();
  void PlayReplyNow();
  void StepSolution();
  void Hint();
  void ShowSolution();
  void Retry();
  void GoTo(std::size_t index);
  void Flip();
  void RestartCourse();
  void FillProblemList();
  void FillCourseList();
  void OpenFromList();

  // BoardListener
  void OnBoardMove(chess::Square from, chess::Square to) override;
  void OnBoardAnimationDone() override;

  Files& files_;
  const solver::ProblemData& data_;
  const MenSheet& men_;
  SolverTiming timing_;
  solver::StartChoice start_;
  chess::Language language_;

  HWND hwnd_ = nullptr;
  std::unique_ptr<BoardView> board_;
  std::unique_ptr<solver::Session> session_;
  LeftPart left_ = LeftPart::Board;
  bool flipped_ = false;
  // Set while the board shows the solution being played or a reply moving.
  bool busy_ = false;
  HWND focus_ = nullptr;  // the control to have the keyboard when active

  UINT dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT titleFont_ = nullptr;
  std::string status_;
};

}  // namespace zel::platform

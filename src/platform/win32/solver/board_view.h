// The board of the solver's window: a child control that paints what the
// screen's BoardModel says and passes the mouse on to the screen. It paints
// into a bitmap of its own size and copies only what changed to the screen.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "chess/types.h"
#include "platform/win32/solver/gdi_guards.h"
#include "platform/win32/solver/man_tiles.h"
#include "solver/board_model.h"
#include "solver/men_sheet.h"
#include "solver/trainer_screen.h"

namespace zel::platform {

class BoardView {
 public:
  static constexpr const wchar_t* kClassName = L"ZelBoard";

  // `men` and `screen` must outlive the control.
  BoardView(HWND parent, int controlId, const MenSheet& men, solver::TrainerScreen& screen);
  ~BoardView();
  BoardView(const BoardView&) = delete;
  BoardView& operator=(const BoardView&) = delete;

  HWND handle() const { return hwnd_; }
  // Paints again what changed.
  void Repaint(const solver::BoardDamage& damage);
  // The control's text: its position in words, which screen readers read.
  void SetWords(std::string_view words);

  // Where a square's centre is in the control's client area: for tests,
  // which click the board as a user would.
  POINT SquareCentre(chess::Square square) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  const solver::BoardModel& model() const { return screen_.board(); }
  void Layout();
  // Paints `area` of the client into the bitmap, then copies it to `target`.
  void Paint(HDC target, RECT area);
  void PaintSquare(HDC dc, chess::Square square, const RECT& r);
  void PaintLabels(HDC dc, const RECT& area);
  // Keeps the mouse while the board holds a man, and lets it go after.
  void FollowMouse();
  void LetMouseGo();

  solver::TrainerScreen& screen_;
  HWND hwnd_ = nullptr;
  bool releasingMouse_ = false;  // the board lets the mouse go itself

  ManTiles tiles_;
  std::optional<DibCanvas> canvas_;  // the client area as last painted
  Font labelFont_;
  Pen hintPen_;
  Pen ringPen_;
};

}  // namespace zel::platform

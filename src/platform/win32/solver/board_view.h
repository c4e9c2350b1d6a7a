// The board of the solver's window: a child control that draws a position
// with coordinates, the side to move at the bottom, and takes a move by two
// clicks or by dragging a man. It knows the rules only to show where the
// chosen man may go; whether a move is right is the trainer's business, which
// the owner learns through BoardListener.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <vector>

#include "chess/notation.h"
#include "chess/position.h"
#include "solver/men_sheet.h"

namespace zel::platform {

class BoardListener {
 public:
  // The user put a man from one square onto another (any squares: the owner
  // decides whether that is a legal move, and asks for a promotion piece).
  virtual void OnBoardMove(chess::Square from, chess::Square to) = 0;
  // An animation started with Animate() has ended.
  virtual void OnBoardAnimationDone() = 0;

 protected:
  ~BoardListener() = default;
};

class BoardView {
 public:
  static constexpr const wchar_t* kClassName = L"ZelBoard";

  // `language`: the words the control gives screen readers for its position.
  BoardView(HWND parent, int controlId, const MenSheet& men, chess::Language language,
            BoardListener& listener);
  ~BoardView();
  BoardView(const BoardView&) = delete;
  BoardView& operator=(const BoardView&) = delete;

  HWND handle() const { return hwnd_; }

  // What to draw. Setting a position ends a selection, a drag and an
  // animation. `bottom` is the side drawn at the bottom.
  void SetPosition(const chess::Position& position, chess::Color bottom);
  void SetLastMove(std::optional<chess::Move> move);
  // A square to point out (the man a hint names), and an optional target.
  void SetHint(std::optional<chess::Square> from, std::optional<chess::Square> to = std::nullopt);
  // Whether the user may move the side to move's men now.
  void SetInputEnabled(bool enabled);
  // Shows `move` being played, then the position after it; the listener
  // hears when it is over.
  void Animate(const chess::Move& move, int milliseconds);
  bool animating() const { return animation_.has_value(); }

  // Where a square's centre is in the control's client area: for tests, which
  // click the board as a user would.
  POINT SquareCentre(chess::Square square) const;

 private:
  struct Animation {
    chess::Move move;
    chess::Piece piece;
    DWORD started;
    int milliseconds;
  };
  struct Drag {
    chess::Square from;
    POINT at;
    bool moved = false;
  };

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc) const;
  void PrepareSheet() const;
  void DropSheet() const;
  const std::vector<std::uint32_t>& ManPixels(chess::Piece piece) const;
  POINT SlotCorner(int slot) const;
  // A man into a slot of the sheet: laid on a square's colour, or as it is
  // (premultiplied) for blending.
  void FillSlot(int slot, const std::vector<std::uint32_t>& man,
                std::optional<COLORREF> square) const;
  void PaintMan(HDC dc, chess::Piece piece, int x, int y, COLORREF square) const;
  void PaintFloatingMan(HDC dc, chess::Piece piece, int x, int y) const;
  COLORREF SquareColour(chess::Square square) const;
  void Layout();
  std::optional<chess::Square> SquareAt(POINT point) const;
  RECT SquareRect(chess::Square square) const;
  void Select(std::optional<chess::Square> square);
  void OnButtonDown(POINT point);
  void OnButtonUp(POINT point);
  void FinishAnimation();
  void Describe();

  const MenSheet& men_;
  chess::Language language_;
  BoardListener& listener_;
  HWND hwnd_ = nullptr;

  chess::Position position_;
  chess::Color bottom_ = chess::White;
  std::optional<chess::Move> lastMove_;
  std::optional<chess::Square> hintFrom_, hintTo_;
  bool inputEnabled_ = true;
  std::optional<chess::Square> selected_;
  std::vector<chess::Square> targets_;
  std::optional<Drag> drag_;
  std::optional<Animation> animation_;

  // Geometry in client pixels: the board's top-left corner and square size,
  // and the margin left for the coordinates.
  int left_ = 0, top_ = 0, square_ = 0;
  HFONT labelFont_ = nullptr;
  // The men drawn at the current square size (premultiplied BGRA), and one
  // bitmap that holds each man laid on each square colour it has stood on and
  // the man being dragged or animated: made once per square size, so that a
  // board is painted with plain copies.
  struct ManTile {
    int man;
    COLORREF square;
  };
  mutable int menSide_ = 0;
  mutable std::array<std::vector<std::uint32_t>, 12> menPixels_;
  mutable std::vector<ManTile> tiles_;  // in slot order
  mutable int floatingMan_ = -1;
  mutable HBITMAP sheet_ = nullptr;
  mutable HDC sheetDc_ = nullptr;
  mutable std::uint32_t* sheetPixels_ = nullptr;
};

}  // namespace zel::platform

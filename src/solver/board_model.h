// The board as the solver's window shows it, without the window: where each
// square lies at a given size and which side is at the bottom, what each
// square shows (its shade, its man, a hint's frame, a mark where the chosen
// man may go), the man being dragged or moving, the mouse turned into moves,
// and which squares changed since the window last painted. It knows the rules
// only to mark where the chosen man may go; whether a move is right is the
// trainer's business. The window paints what this says, in client pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "chess/position.h"
#include "chess/types.h"
#include "solver/pixel_rect.h"
#include "solver/point.h"

namespace zel::solver {

// Where the board lies in a client area: squares as large as fit with a
// margin of a third of a square on the left and at the bottom for the
// coordinates and a thin frame around them, centred.
class BoardGeometry {
 public:
  BoardGeometry() = default;
  BoardGeometry(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  int square() const { return square_; }  // pixels a side; 0 when too small
  int frame() const { return frame_; }    // the frame's thickness in pixels

  PixelRect SquareRect(chess::Square square, chess::Color bottom) const;
  Point SquareCentre(chess::Square square, chess::Color bottom) const;
  std::optional<chess::Square> SquareAt(Point at, chess::Color bottom) const;
  // The eight squares with the frame around them.
  PixelRect FrameRect() const;
  // Where the coordinates go: column 0 to 7 from the left below the board,
  // row 0 to 7 from the top to its left.
  PixelRect FileLabelRect(int column) const;
  PixelRect RankLabelRect(int row) const;
  // The coordinates' height in pixels: a quarter of a square.
  int LabelHeight() const;

  friend bool operator==(const BoardGeometry&, const BoardGeometry&) = default;

 private:
  int width_ = 0, height_ = 0;
  int left_ = 0, top_ = 0, square_ = 0, frame_ = 0;
};

enum class Shade : std::uint8_t { Light, Dark, LastMoveLight, LastMoveDark, Selected };
// Where the chosen man may go: a dot on an empty square, a ring around a man.
enum class TargetMark : std::uint8_t { None, Dot, Ring };

struct SquareLook {
  Shade shade = Shade::Light;
  std::optional<chess::Piece> man;  // none while the man is lifted off it
  bool hint = false;                // framed: a hint names it
  TargetMark target = TargetMark::None;
  friend bool operator==(const SquareLook&, const SquareLook&) = default;
};

// The man above the board, dragged or moving: drawn last, over the squares.
struct FloatingMan {
  chess::Piece man;
  PixelRect box;  // a square's size
};

// Two squares the user put a man from and to; any squares: the trainer
// decides whether that is a move.
struct BoardGesture {
  chess::Square from;
  chess::Square to;
  friend bool operator==(const BoardGesture&, const BoardGesture&) = default;
};

// What to paint again: all of it, or the squares of the mask (bit = square)
// and an area the floating man left or entered.
struct BoardDamage {
  bool all = false;
  std::uint64_t squares = 0;
  PixelRect area;
  bool any() const { return all || squares != 0 || !area.Empty(); }
};

class BoardModel {
 public:
  // --- What the trainer shows
  // The position with `bottom` at the bottom, and the move that led to it.
  // Another position or side ends a selection and a drag; the same one
  // again leaves them. Ignored while a move is being shown (Animate).
  void Show(const chess::Position& position, chess::Color bottom,
            std::optional<chess::Move> lastMove);
  void SetHint(std::optional<chess::Square> from, std::optional<chess::Square> to);
  // Whether the user may take the side to move's men now; off ends a
  // selection and a drag.
  void SetInputEnabled(bool enabled);
  bool inputEnabled() const { return inputEnabled_; }

  // Shows `move` being played from the position shown, over `milliseconds`
  // from `now` (a monotonic clock in milliseconds).
  void Animate(const chess::Move& move, std::int64_t now, int milliseconds);
  // The frame for `now`; true when the move has arrived, and the position
  // after it is shown.
  bool Advance(std::int64_t now);
  // Drops a move being shown, as it stands; Show gives the board its position.
  void StopAnimation();
  bool animating() const { return animation_.has_value(); }

  void Resize(int width, int height);

  // --- The mouse, in client pixels
  // A button pressed: a man of the side to move is chosen (and may be
  // dragged), or the chosen one is put on the square.
  std::optional<BoardGesture> Press(Point at);
  // The mouse moved with the button down; it is a drag once it has gone
  // more than `threshold` pixels (across plus down) from where it was pressed.
  void Drag(Point at, int threshold);
  // The button let go: a dragged man is put on the square below.
  std::optional<BoardGesture> Release(Point at);
  // The window lost the mouse: a drag ends where it began.
  void CancelDrag();
  void ClearSelection();
  // Whether the button holds a man (the window keeps the mouse meanwhile).
  bool holding() const { return drag_.has_value(); }

  // --- What to paint
  const BoardGeometry& geometry() const { return geometry_; }
  chess::Color bottom() const { return bottom_; }
  const chess::Position& position() const { return position_; }
  std::optional<chess::Square> selected() const { return selected_; }
  SquareLook LookOf(chess::Square square) const;
  std::optional<FloatingMan> Floating() const;
  // The coordinates by place: 'a'..'h' from the left, '8'..'1' from the top
  // (the other way round with Black at the bottom).
  char FileLabel(int column) const;
  char RankLabel(int row) const;
  // What changed since the last call.
  BoardDamage TakeDamage();

 private:
  struct Held {
    chess::Square from;
    Point pressed;
    Point at;
    bool moved = false;
  };
  struct Animation {
    chess::Move move;
    chess::Piece man;
    std::int64_t started;
    int milliseconds;
    double done = 0;  // of the way, eased, at the last Advance
  };

  void Select(std::optional<chess::Square> square);
  std::optional<chess::Square> Lifted() const;

  BoardGeometry geometry_;
  chess::Position position_;
  chess::Color bottom_ = chess::White;
  std::optional<chess::Move> lastMove_;
  std::optional<chess::Square> hintFrom_, hintTo_;
  bool inputEnabled_ = true;
  std::optional<chess::Square> selected_;
  std::uint64_t targets_ = 0;  // bit = square
  std::optional<Held> drag_;
  std::optional<Animation> animation_;

  // What TakeDamage last reported as painted.
  bool reported_ = false;
  BoardGeometry reportedGeometry_;
  chess::Color reportedBottom_ = chess::White;
  std::array<SquareLook, 64> reportedLooks_{};
  PixelRect reportedFloating_;
};

}  // namespace zel::solver

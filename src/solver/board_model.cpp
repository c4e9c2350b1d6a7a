#include "solver/board_model.h"

#include <algorithm>
#include <cstdlib>

#include "chess/movegen.h"
#include "chess/notation.h"

namespace zel::solver {

using chess::Square;

// --- Geometry ----------------------------------------------------------------

namespace {

int FrameOf(int square) { return std::max(1, square / 20); }

// Eight squares, a third of one for the coordinates, and the frame on
// either side.
int RoomFor(int square) { return 8 * square + square / 3 + 2 * FrameOf(square); }

}  // namespace

BoardGeometry::BoardGeometry(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)) {
  const int room = std::min(width_, height_);
  square_ = room * 3 / 25;  // 8 1/3 squares
  while (square_ > 0 && RoomFor(square_) > room) --square_;
  frame_ = FrameOf(square_);
  left_ = (width_ - RoomFor(square_)) / 2 + square_ / 3 + frame_;
  top_ = (height_ - RoomFor(square_)) / 2 + frame_;
}

PixelRect BoardGeometry::SquareRect(Square square, chess::Color bottom) const {
  int column = chess::FileOf(square), row = 7 - chess::RankOf(square);
  if (bottom == chess::Black) column = 7 - column, row = 7 - row;
  const int x = left_ + column * square_, y = top_ + row * square_;
  return {x, y, x + square_, y + square_};
}

Point BoardGeometry::SquareCentre(Square square, chess::Color bottom) const {
  const PixelRect r = SquareRect(square, bottom);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::optional<Square> BoardGeometry::SquareAt(Point at, chess::Color bottom) const {
  if (square_ <= 0 || at.x < left_ || at.y < top_) return std::nullopt;
  int column = (at.x - left_) / square_, row = (at.y - top_) / square_;
  if (column > 7 || row > 7) return std::nullopt;
  if (bottom == chess::Black) column = 7 - column, row = 7 - row;
  return chess::MakeSquare(column, 7 - row);
}

PixelRect BoardGeometry::FrameRect() const {
  return {left_ - frame_, top_ - frame_, left_ + 8 * square_ + frame_, top_ + 8 * square_ + frame_};
}

PixelRect BoardGeometry::FileLabelRect(int column) const {
  const int below = top_ + 8 * square_ + frame_;
  return {left_ + column * square_, below, left_ + (column + 1) * square_, below + square_ / 3};
}

PixelRect BoardGeometry::RankLabelRect(int row) const {
  return {left_ - square_ / 3 - frame_, top_ + row * square_, left_ - frame_,
          top_ + (row + 1) * square_};
}

int BoardGeometry::LabelHeight() const { return std::max(9, square_ / 4); }

// --- What is shown -----------------------------------------------------------

void BoardModel::Show(const chess::Position& position, chess::Color bottom,
                      std::optional<chess::Move> lastMove) {
  if (animation_) return;
  if (position != position_ || bottom != bottom_) {
    drag_.reset();
    position_ = position;
    bottom_ = bottom;
    Select(std::nullopt);
  }
  lastMove_ = lastMove;
}

void BoardModel::SetHint(std::optional<Square> from, std::optional<Square> to) {
  hintFrom_ = from;
  hintTo_ = to;
}

void BoardModel::SetInputEnabled(bool enabled) {
  inputEnabled_ = enabled;
  if (!enabled) {
    drag_.reset();
    Select(std::nullopt);
  }
}

void BoardModel::Animate(const chess::Move& move, std::int64_t now, int milliseconds) {
  const auto man = position_.PieceAt(move.from);
  if (!man) return;
  Select(std::nullopt);
  drag_.reset();
  animation_ = Animation{move, *man, now, std::max(milliseconds, 1)};
}

bool BoardModel::Advance(std::int64_t now) {
  if (!animation_) return false;
  const double t =
      std::clamp(double(now - animation_->started) / animation_->milliseconds, 0.0, 1.0);
  if (t >= 1) {
    const chess::Move move = animation_->move;
    animation_.reset();
    position_ = position_.After(move);
    lastMove_ = move;
    return true;
  }
  animation_->done = t * t * (3 - 2 * t);  // slow at either end
  return false;
}

void BoardModel::StopAnimation() { animation_.reset(); }

void BoardModel::Resize(int width, int height) { geometry_ = BoardGeometry(width, height); }

void BoardModel::Select(std::optional<Square> square) {
  selected_ = square;
  targets_ = 0;
  if (!square) return;
  for (const chess::Move& m : chess::LegalMoves(position_))
    if (m.from == *square) targets_ |= std::uint64_t{1} << m.to;
}

// --- The mouse -----------------------------------------------------------------

std::optional<BoardGesture> BoardModel::Press(Point at) {
  if (!inputEnabled_ || animation_) return std::nullopt;
  const auto square = geometry_.SquareAt(at, bottom_);
  if (!square) {
    Select(std::nullopt);
    return std::nullopt;
  }
  const auto man = position_.PieceAt(*square);
  const bool own = man && man->color == position_.SideToMove();
  if (selected_ && *square != *selected_) {
    // The second click of a move, unless it picks another man of one's own
    // instead; the king onto its own rook is a move (castling), though.
    const bool isMove =
        chess::MoveFromSquares(position_, *selected_, *square, chess::Queen).has_value();
    if (!own || isMove) {
      const Square from = *selected_;
      Select(std::nullopt);
      return BoardGesture{from, *square};
    }
  }
  if (own) {
    Select(*square);
    drag_ = Held{*square, at, at};
  } else {
    Select(std::nullopt);
  }
  return std::nullopt;
}

void BoardModel::Drag(Point at, int threshold) {
  if (!drag_) return;
  // A few pixels of wobble in a click are no drag.
  if (std::abs(at.x - drag_->pressed.x) + std::abs(at.y - drag_->pressed.y) > threshold)
    drag_->moved = true;
  if (drag_->moved) drag_->at = at;
}

std::optional<BoardGesture> BoardModel::Release(Point at) {
  const std::optional<Held> dragged = drag_;
  drag_.reset();
  // A click leaves the man chosen for a second click; so does a drag that
  // ends off the board or where it began.
  if (!dragged || !dragged->moved) return std::nullopt;
  const auto square = geometry_.SquareAt(at, bottom_);
  if (!square || *square == dragged->from) return std::nullopt;
  Select(std::nullopt);
  return BoardGesture{dragged->from, *square};
}

void BoardModel::CancelDrag() { drag_.reset(); }

void BoardModel::ClearSelection() {
  drag_.reset();
  Select(std::nullopt);
}

// --- Painting ------------------------------------------------------------------

std::optional<Square> BoardModel::Lifted() const {
  if (animation_) return animation_->move.from;
  if (drag_ && drag_->moved) return drag_->from;
  return std::nullopt;
}

SquareLook BoardModel::LookOf(Square square) const {
  SquareLook look;
  const bool light = (chess::FileOf(square) + chess::RankOf(square)) % 2 == 1;
  if (selected_ == square) {
    look.shade = Shade::Selected;
  } else if (lastMove_ && (lastMove_->from == square || lastMove_->to == square)) {
    look.shade = light ? Shade::LastMoveLight : Shade::LastMoveDark;
  } else {
    look.shade = light ? Shade::Light : Shade::Dark;
  }
  if (Lifted() != square) look.man = position_.PieceAt(square);
  look.hint = hintFrom_ == square || hintTo_ == square;
  if (targets_ >> square & 1)
    look.target = position_.IsEmpty(square) ? TargetMark::Dot : TargetMark::Ring;
  return look;
}

std::optional<FloatingMan> BoardModel::Floating() const {
  const int side = geometry_.square();
  if (animation_) {
    const PixelRect from = geometry_.SquareRect(animation_->move.from, bottom_);
    const PixelRect to = geometry_.SquareRect(animation_->move.to, bottom_);
    const int x = from.left + static_cast<int>((to.left - from.left) * animation_->done);
    const int y = from.top + static_cast<int>((to.top - from.top) * animation_->done);
    return FloatingMan{animation_->man, {x, y, x + side, y + side}};
  }
  if (drag_ && drag_->moved) {
    const auto man = position_.PieceAt(drag_->from);
    if (!man) return std::nullopt;
    const int x = drag_->at.x - side / 2, y = drag_->at.y - side / 2;
    return FloatingMan{*man, {x, y, x + side, y + side}};
  }
  return std::nullopt;
}

char BoardModel::FileLabel(int column) const {
  return static_cast<char>('a' + (bottom_ == chess::White ? column : 7 - column));
}

char BoardModel::RankLabel(int row) const {
  return static_cast<char>('0' + (bottom_ == chess::White ? 8 - row : row + 1));
}

BoardDamage BoardModel::TakeDamage() {
  BoardDamage damage;
  std::array<SquareLook, 64> looks;
  for (Square s = 0; s < 64; ++s) looks[s] = LookOf(s);
  const auto floating = Floating();
  const PixelRect floatingBox = floating ? floating->box : PixelRect{};
  if (!reported_ || geometry_ != reportedGeometry_ || bottom_ != reportedBottom_) {
    damage.all = true;
  } else {
    for (Square s = 0; s < 64; ++s)
      if (looks[s] != reportedLooks_[s]) damage.squares |= std::uint64_t{1} << s;
    if (floatingBox != reportedFloating_) damage.area = floatingBox.Union(reportedFloating_);
  }
  reported_ = true;
  reportedGeometry_ = geometry_;
  reportedBottom_ = bottom_;
  reportedLooks_ = looks;
  reportedFloating_ = floatingBox;
  return damage;
}

}  // namespace zel::solver

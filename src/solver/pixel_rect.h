// A rectangle in a window's pixels, for the board's geometry, the panel's
// layout and the pictures' drawings alike: left and top inside, right and
// bottom just outside, as a Win32 RECT.
#pragma once

#include <algorithm>

#include "solver/point.h"

namespace zel::solver {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool Contains(const PixelRect& r) const {
    return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
  }
  // An empty rectangle meets nothing.
  bool Intersects(const PixelRect& r) const {
    return !Empty() && !r.Empty() && left < r.right && r.left < right && top < r.bottom &&
           r.top < bottom;
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  PixelRect Union(const PixelRect& r) const {
    if (Empty()) return r;
    if (r.Empty()) return *this;
    return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
            std::max(bottom, r.bottom)};
  }
};

}  // namespace zel::solver

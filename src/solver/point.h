// A point in a window's pixels, for the board's geometry and the pictures'
// drawings alike.
#pragma once

namespace zel::solver {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

}  // namespace zel::solver

// A picture as the portable logic lays it out and a window paints it: boxes,
// lines and texts at pixel positions, each in an ink the window gives a
// colour and a font. Painted in order: boxes, then lines, then texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/point.h"

namespace zel::solver {

// Left and top inside, right and bottom just outside, as a Win32 RECT.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const Box&, const Box&) = default;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool Contains(const Box& b) const {
    return b.left >= left && b.top >= top && b.right <= right && b.bottom <= bottom;
  }
  bool Overlaps(const Box& b) const {
    return b.left < right && left < b.right && b.top < bottom && top < b.bottom;
  }
};

enum class Ink : std::uint8_t {
  Text,
  Heading,  // a picture's or a table's title, and the columns' names
  Label,    // an axis's figures
  Axis,
  Grid,         // the lines behind a picture at its marks
  Line,         // the rating
  Bar,          // a finished cycle, a theme's success
  BarUnderWay,  // the cycle under way
  Track,        // behind a share's bar: the whole
};

enum class Align : std::uint8_t { Left, Center, Right };

struct TextPiece {
  Box box;  // the text on one line, vertically centred, cut with "…" when too long
  std::string text;
  Align align = Align::Left;
  Ink ink = Ink::Text;
};

struct BoxPiece {
  Box box;
  Ink ink;
};

struct LinePiece {
  std::vector<Point> points;  // joined in order
  Ink ink;
};

struct Drawing {
  std::vector<BoxPiece> boxes;
  std::vector<LinePiece> lines;
  std::vector<TextPiece> texts;
};

// What the layout needs to know of the window's font: the height of a line
// and the width of a text, in pixels.
struct TextMeasure {
  int lineHeight = 16;
  std::function<int(std::string_view utf8)> width;
};

}  // namespace zel::solver

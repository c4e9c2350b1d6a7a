// A picture as the portable logic lays it out and a window paints it: boxes,
// lines and texts at pixel positions, each in an ink the window gives a
// colour and a font. Painted in order: boxes, then lines, then texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/pixel_rect.h"

namespace zel::solver {

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
  PixelRect box;  // the text on one line, vertically centred, cut with "…" when too long
  std::string text;
  Align align = Align::Left;
  Ink ink = Ink::Text;
};

struct BoxPiece {
  PixelRect box;
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

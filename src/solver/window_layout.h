// Where the solver window's parts go, in client pixels, for a client size and
// the monitor's scaling: the left part (the board, the position in words or
// a list) takes what the panel on the right leaves; the panel holds the
// course's title, the problem's lines (the order's check box beside the
// problem's number, the clock's beside the clock, Review beside the due
// line), the verdict, the move field with Play, the commands from Hint to
// EraseCourse two a row and, below them, what the last problem was about or
// the cycles.
// Sizes are given at 96 dots per inch and scaled.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "solver/board_model.h"
#include "solver/trainer_view.h"

namespace zel::solver {

// The parts that are no command button (those go by their Command).
enum class Place : std::uint8_t {
  Left,  // the board, the position in words, or a list with its buttons below
  List,
  Title,
  Problem,
  ToMove,
  Progress,
  Clock,
  Rating,
  Due,
  Status,
  MoveLabel,
  MoveField,
  Summary,
  Count
};
inline constexpr std::size_t kPlaceCount = static_cast<std::size_t>(Place::Count);

struct WindowLayout {
  std::array<PixelRect, kPlaceCount> places{};
  std::array<PixelRect, kCommandCount> buttons{};
  const PixelRect& at(Place place) const { return places[static_cast<std::size_t>(place)]; }
  const PixelRect& at(Command command) const { return buttons[static_cast<std::size_t>(command)]; }
};

// `dpi`: the monitor's dots per inch, 96 at 100 %.
WindowLayout LayOutWindow(int width, int height, int dpi);

struct WindowSize {
  int width = 0;
  int height = 0;
};
// The window's outer size as it opens, and the least the user may make it.
WindowSize OpeningWindowSize(int dpi);
WindowSize SmallestWindowSize(int dpi);

}  // namespace zel::solver

// The board's men at its square size, kept in one bitmap: each man laid once
// on each square colour it has stood on, so that a board is painted with
// plain copies, and a slot for the man that floats (dragged or moving),
// kept with its transparency for blending. Drawn anew at a new size.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "chess/types.h"
#include "platform/win32/solver/gdi_guards.h"
#include "solver/men_sheet.h"

namespace zel::platform {

class ManTiles {
 public:
  explicit ManTiles(const MenSheet& men) : men_(men) {}

  // Square size in pixels; a new one drops everything drawn at the old.
  void Resize(int side);
  // The man on a square of colour `square`, its top-left corner at x, y.
  void Draw(HDC dc, chess::Piece man, int x, int y, COLORREF square);
  // The man blended over whatever is there.
  void DrawFloating(HDC dc, chess::Piece man, int x, int y);

 private:
  struct Tile {
    int man;
    COLORREF square;
  };
  // Whether the sheet is there to draw with; made on first use.
  bool Ready();
  const std::vector<std::uint32_t>& Pixels(chess::Piece man);
  POINT SlotCorner(int slot) const;
  // A man into a slot: laid on a square's colour, or as it is (premultiplied).
  void Fill(int slot, const std::vector<std::uint32_t>& man, std::optional<COLORREF> square);

  const MenSheet& men_;
  int side_ = 0;
  std::array<std::vector<std::uint32_t>, 2 * chess::kGlyphCount> pixels_;  // by ManIndex
  std::vector<Tile> tiles_;                                                // in slot order
  int floating_ = -1;  // the man in the last slot
  std::optional<DibCanvas> sheet_;
};

}  // namespace zel::platform

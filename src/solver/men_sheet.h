// The chessmen of the board, as the build draws them (tools/pictures/
// men_sheet.py): coverage masks at one large size, reduced here to the size of
// a square and coloured. Portable, so the reduction is tested on Linux; the
// window only blends the result.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "chess/pieces.h"
#include "chess/types.h"

namespace zel {

class MenSheet {
 public:
  // Reads the resource; nothing for bytes that are not a whole, valid sheet.
  static std::optional<MenSheet> Decode(std::span<const std::uint8_t> bytes);

  int size() const { return size_; }

  // The man drawn on `side` x `side` pixels: premultiplied BGRA, row after
  // row from the top, transparent around the man.
  std::vector<std::uint32_t> Draw(chess::Piece man, int side) const;

 private:
  int size_ = 0;
  // Bodies of the six kinds, then White's lines, then Black's, each in the
  // order of the chess glyphs (chess::PieceRow::glyph): size_ x size_.
  std::vector<std::vector<std::uint8_t>> masks_;
};

// A square mask of `from` pixels a side reduced (or enlarged) to `to`, each
// new pixel the area-weighted mean of the old ones it covers. `from` is at
// most 512, as MenSheet::Decode takes.
std::vector<std::uint8_t> ResampleMask(std::span<const std::uint8_t> mask, int from, int to);

}  // namespace zel

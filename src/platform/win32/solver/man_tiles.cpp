#include "platform/win32/solver/man_tiles.h"

#include <algorithm>

namespace zel::platform {
namespace {

// The sheet: 8 x 8 slots of one square each, the last for the floating man.
// A game never has more than 62 men-on-colours at once.
constexpr int kSlotsPerRow = 8;
constexpr int kFloatingSlot = kSlotsPerRow * kSlotsPerRow - 1;

// White's six men, then Black's, in the chess glyphs' order.
int ManIndex(chess::Piece man) {
  return (man.color == chess::White ? 0 : chess::kGlyphCount) + chess::RowOf(man.type).glyph;
}

}  // namespace

void ManTiles::Resize(int side) {
  if (side == side_) return;
  side_ = side;
  for (auto& pixels : pixels_) pixels.clear();
  tiles_.clear();
  floating_ = -1;
  sheet_.reset();  // made when first needed
}

const std::vector<std::uint32_t>& ManTiles::Pixels(chess::Piece man) {
  auto& pixels = pixels_[ManIndex(man)];
  if (pixels.empty()) pixels = men_.Draw(man, side_);
  return pixels;
}

POINT ManTiles::SlotCorner(int slot) const {
  return {(slot % kSlotsPerRow) * side_, (slot / kSlotsPerRow) * side_};
}

void ManTiles::Fill(int slot, const std::vector<std::uint32_t>& man,
                    std::optional<COLORREF> square) {
  const POINT corner = SlotCorner(slot);
  const int stride = kSlotsPerRow * side_;
  const std::uint32_t under[3] = {square ? GetBValue(*square) : 0u,
                                  square ? GetGValue(*square) : 0u,
                                  square ? GetRValue(*square) : 0u};
  for (int y = 0; y < side_; ++y) {
    std::uint32_t* row =
        sheet_->pixels() + static_cast<std::size_t>(corner.y + y) * stride + corner.x;
    for (int x = 0; x < side_; ++x) {
      const std::uint32_t p = man[static_cast<std::size_t>(y) * side_ + x];
      if (!square) {
        row[x] = p;  // premultiplied, for blending
        continue;
      }
      const std::uint32_t clear = 255 - (p >> 24);
      std::uint32_t out = 0;
      for (int c = 0; c < 3; ++c)
        out |= std::min<std::uint32_t>(255, ((p >> (8 * c)) & 0xFF) + under[c] * clear / 255)
               << (8 * c);
      row[x] = out;
    }
  }
  GdiFlush();  // the bits were written directly; GDI reads them next
}

bool ManTiles::Ready() {
  if (side_ <= 0) return false;
  if (!sheet_) sheet_.emplace(kSlotsPerRow * side_, kSlotsPerRow * side_);
  return sheet_->dc() != nullptr;
}

void ManTiles::Draw(HDC dc, chess::Piece man, int x, int y, COLORREF square) {
  if (!Ready()) return;
  const int index = ManIndex(man);
  auto tile = std::find_if(tiles_.begin(), tiles_.end(),
                           [&](const Tile& t) { return t.man == index && t.square == square; });
  if (tile == tiles_.end()) {
    if (static_cast<int>(tiles_.size()) >= kFloatingSlot) tiles_.clear();  // never in a game
    Fill(static_cast<int>(tiles_.size()), Pixels(man), square);
    tile = tiles_.insert(tiles_.end(), Tile{index, square});
  }
  const POINT from = SlotCorner(static_cast<int>(tile - tiles_.begin()));
  BitBlt(dc, x, y, side_, side_, sheet_->dc(), from.x, from.y, SRCCOPY);
}

void ManTiles::DrawFloating(HDC dc, chess::Piece man, int x, int y) {
  if (!Ready()) return;
  const int index = ManIndex(man);
  if (floating_ != index) {
    Fill(kFloatingSlot, Pixels(man), std::nullopt);
    floating_ = index;
  }
  const POINT from = SlotCorner(kFloatingSlot);
  const BLENDFUNCTION over{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, x, y, side_, side_, sheet_->dc(), from.x, from.y, side_, side_, over);
}

}  // namespace zel::platform

#include "solver/men_sheet.h"

#include <algorithm>
#include <cstring>

namespace zel {
namespace {

constexpr int kMasks = 3 * chess::kGlyphCount;
// Body and lines of a man, as the textbook's diagrams paint them.
constexpr std::uint8_t kWhiteBody[3] = {255, 255, 255};
constexpr std::uint8_t kBlackBody[3] = {238, 232, 220};
constexpr std::uint8_t kInk[3] = {24, 22, 20};

std::uint32_t ReadLittle(std::span<const std::uint8_t> bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

// Run-length code to exactly `length` bytes; nothing if it does not fit.
std::optional<std::vector<std::uint8_t>> Expand(std::span<const std::uint8_t> code,
                                                std::size_t length) {
  std::vector<std::uint8_t> out;
  out.reserve(length);
  std::size_t i = 0;
  while (i < code.size()) {
    const unsigned c = code[i];
    if (c < 128) {
      const std::size_t count = c + 1;
      if (i + 1 + count > code.size() || out.size() + count > length) return std::nullopt;
      out.insert(out.end(), code.begin() + static_cast<std::ptrdiff_t>(i + 1),
                 code.begin() + static_cast<std::ptrdiff_t>(i + 1 + count));
      i += 1 + count;
    } else {
      const std::size_t count = c - 126;
      if (i + 1 >= code.size() || out.size() + count > length) return std::nullopt;
      out.insert(out.end(), count, code[i + 1]);
      i += 2;
    }
  }
  if (out.size() != length) return std::nullopt;
  return out;
}

}  // namespace

std::optional<MenSheet> MenSheet::Decode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8 || std::memcmp(bytes.data(), "ZMEN", 4) != 0) return std::nullopt;
  const int size = static_cast<int>(ReadLittle(bytes, 4, 2));
  if (size < 8 || size > 512 || ReadLittle(bytes, 6, 2) != kMasks) return std::nullopt;
  MenSheet sheet;
  sheet.size_ = size;
  std::size_t at = 8;
  for (int m = 0; m < kMasks; ++m) {
    if (at + 4 > bytes.size()) return std::nullopt;
    const std::size_t length = ReadLittle(bytes, at, 4);
    at += 4;
    if (length > bytes.size() - at) return std::nullopt;
    auto mask = Expand(bytes.subspan(at, length), static_cast<std::size_t>(size) * size);
    if (!mask) return std::nullopt;
    sheet.masks_.push_back(std::move(*mask));
    at += length;
  }
  if (at != bytes.size()) return std::nullopt;
  return sheet;
}

namespace {

// The old pixels a new one covers, with their overlap. In units of 1/to of an
// old pixel every edge falls on a whole number: new pixel n spans
// [n * from, (n + 1) * from), old pixel o spans [o * to, (o + 1) * to), and
// the weights of one new pixel add up to `from`.
struct Tap {
  int old;
  std::uint32_t weight;
};

std::vector<std::vector<Tap>> TapsOf(int from, int to) {
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(to));
  for (int n = 0; n < to; ++n) {
    const int begin = n * from, end = (n + 1) * from;
    for (int o = begin / to; o < from && o * to < end; ++o) {
      const int overlap = std::min(end, (o + 1) * to) - std::max(begin, o * to);
      if (overlap > 0) taps[n].push_back({o, static_cast<std::uint32_t>(overlap)});
    }
  }
  return taps;
}

}  // namespace

std::vector<std::uint8_t> ResampleMask(std::span<const std::uint8_t> mask, int from, int to) {
  const auto taps = TapsOf(from, to);
  // Rows first, kept exact (each a sum of weights up to from * 255), then columns.
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(from) * to);
  for (int y = 0; y < from; ++y)
    for (int x = 0; x < to; ++x) {
      std::uint32_t sum = 0;
      for (const Tap& t : taps[x])
        sum += t.weight * mask[static_cast<std::size_t>(y) * from + t.old];
      rows[static_cast<std::size_t>(y) * to + x] = sum;
    }
  // At most 512 * 512 * 255 (Decode's largest sheet): 32 bits suffice, and on
  // a 32-bit processor they spare a library call for every pixel's division.
  const std::uint32_t total = static_cast<std::uint32_t>(from) * static_cast<std::uint32_t>(from);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(to) * to);
  for (int y = 0; y < to; ++y)
    for (int x = 0; x < to; ++x) {
      std::uint32_t sum = 0;
      for (const Tap& t : taps[y]) sum += t.weight * rows[static_cast<std::size_t>(t.old) * to + x];
      out[static_cast<std::size_t>(y) * to + x] =
          static_cast<std::uint8_t>((sum + total / 2) / total);
    }
  return out;
}

std::vector<std::uint32_t> MenSheet::Draw(chess::Piece man, int side) const {
  const int k = chess::RowOf(man.type).glyph;
  if (k < 0) return {};
  const bool white = man.color == chess::White;
  const auto body = ResampleMask(masks_[k], size_, side);
  const auto lines = ResampleMask(masks_[(white ? 1 : 2) * chess::kGlyphCount + k], size_, side);
  const std::uint8_t* paint = white ? kWhiteBody : kBlackBody;
  std::vector<std::uint32_t> out(body.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    // The body, then the ink over it ("over" with premultiplied colours).
    const unsigned b = body[i], l = lines[i];
    const unsigned alpha = l + b * (255 - l) / 255;
    std::uint32_t pixel = alpha << 24;
    for (int c = 0; c < 3; ++c) {
      const unsigned value = (kInk[c] * l + paint[c] * b * (255 - l) / 255) / 255;
      pixel |= std::min(value, alpha) << (8 * (2 - c));  // B, G, R from the top byte down
    }
    out[i] = pixel;
  }
  return out;
}

}  // namespace zel

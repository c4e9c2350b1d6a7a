// Where each man can go from each square, worked out once at compile time so
// that the generator and the attack test walk short lists instead of checking
// the board's edges on every step.
#pragma once

#include <array>
#include <cstdint>

#include "chess/types.h"

namespace zel::chess::tables {

// The squares a knight or a king reaches in one step.
struct Steps {
  std::uint8_t count = 0;
  std::array<Square, 8> squares{};
};

// The squares along one line from a square (not including it), nearest first.
struct Ray {
  std::uint8_t length = 0;
  std::array<Square, 7> squares{};
};

// Rook lines first (0-3), then bishop lines (4-7): a queen uses all eight.
inline constexpr int kRookRays = 0;
inline constexpr int kBishopRays = 4;

namespace detail {

constexpr std::array<Steps, 64> MakeSteps(const int (&files)[8], const int (&ranks)[8]) {
  std::array<Steps, 64> table{};
  for (int s = 0; s < 64; ++s) {
    for (int i = 0; i < 8; ++i) {
      const int f = s % 8 + files[i], r = s / 8 + ranks[i];
      if (f >= 0 && f < 8 && r >= 0 && r < 8) table[s].squares[table[s].count++] = MakeSquare(f, r);
    }
  }
  return table;
}

constexpr std::array<std::array<Ray, 8>, 64> MakeRays() {
  constexpr int files[8] = {1, -1, 0, 0, 1, 1, -1, -1};
  constexpr int ranks[8] = {0, 0, 1, -1, 1, -1, 1, -1};
  std::array<std::array<Ray, 8>, 64> table{};
  for (int s = 0; s < 64; ++s) {
    for (int d = 0; d < 8; ++d) {
      Ray& ray = table[s][d];
      for (int f = s % 8 + files[d], r = s / 8 + ranks[d]; f >= 0 && f < 8 && r >= 0 && r < 8;
           f += files[d], r += ranks[d])
        ray.squares[ray.length++] = MakeSquare(f, r);
    }
  }
  return table;
}

inline constexpr int kKnightFiles[8] = {1, 2, 2, 1, -1, -2, -2, -1};
inline constexpr int kKnightRanks[8] = {2, 1, -1, -2, -2, -1, 1, 2};
inline constexpr int kKingFiles[8] = {1, 1, 0, -1, -1, -1, 0, 1};
inline constexpr int kKingRanks[8] = {0, 1, 1, 1, 0, -1, -1, -1};

}  // namespace detail

inline constexpr std::array<Steps, 64> kKnight =
    detail::MakeSteps(detail::kKnightFiles, detail::kKnightRanks);
inline constexpr std::array<Steps, 64> kKing =
    detail::MakeSteps(detail::kKingFiles, detail::kKingRanks);
inline constexpr std::array<std::array<Ray, 8>, 64> kRays = detail::MakeRays();

static_assert(kKnight[0].count == 2 && kKnight[27].count == 8);
static_assert(kKing[0].count == 3 && kRays[0][kRookRays].length == 7);

}  // namespace zel::chess::tables

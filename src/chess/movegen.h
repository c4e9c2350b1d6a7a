// Legal moves, mate and stalemate, and perft, the move generator's node count
// that engines print too, so that the two can be compared move by move.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "chess/position.h"
#include "chess/types.h"

namespace zel::chess {

// The legal moves of one position, without the heap: no position has more
// than 218 legal moves.
class MoveList {
 public:
  static constexpr std::size_t kCapacity = 256;

  const Move* begin() const { return moves_.data(); }
  const Move* end() const { return moves_.data() + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Move& operator[](std::size_t i) const { return moves_[i]; }
  // Compares squares and promotion only (SameMove): the kind follows from the board.
  bool contains(const Move& move) const;

  void push_back(const Move& move) {
    if (size_ < kCapacity) moves_[size_++] = move;
  }

 private:
  std::array<Move, kCapacity> moves_;
  std::size_t size_ = 0;
};

// In a fixed order: by origin square a1 to h8, promotions queen, rook,
// bishop, knight; castling last.
MoveList LegalMoves(const Position& position);
// Stops at the first legal move, so it costs less than LegalMoves().empty().
bool HasLegalMove(const Position& position);
bool IsCheckmate(const Position& position);
bool IsStalemate(const Position& position);

// The number of move sequences of `depth` plies (1 for depth 0).
std::uint64_t Perft(const Position& position, int depth);

// Perft split by the first move ("divide"), in LegalMoves order.
struct PerftCount {
  Move move;
  std::uint64_t nodes;
};
std::vector<PerftCount> PerftDivide(const Position& position, int depth);

}  // namespace zel::chess

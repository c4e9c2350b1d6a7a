// A chess position as a small value: the board, the side to move, castling
// rights, the en passant square and the move counters. Copy it freely; a move
// gives a new one (After), so a window can keep every position of a solution.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "chess/types.h"

namespace zel::chess {

// Castling rights, one bit each, as FEN writes them: K, Q, k, q.
enum CastlingRight : std::uint8_t {
  WhiteKingSide = 1,
  WhiteQueenSide = 2,
  BlackKingSide = 4,
  BlackQueenSide = 8,
};

class Position {
 public:
  Position();  // the starting position, so a member can start out as a game does
  static Position Start();

  // The position of a FEN, or nothing with *error (when given) saying why.
  // Syntax faults start "Invalid FEN: ", positions that cannot arise in a game
  // "Unsupported position: ". Checked in this order, the first fault wins:
  // the field count (6, or 4 without the counters); the side to move; the
  // castling field; the en passant field; the board (8 ranks of 8 squares);
  // one king a side; no pawn on rank 1 or 8; at most 8 pawns, 16 men and as
  // many promoted men as pawns are missing, a side; the side not to move not
  // in check, the side to move not by more than two men; each castling right
  // with its king and rook at home (a right without them is rejected, not
  // dropped: a problem file with one is wrong and should say so); an en
  // passant square behind a pawn that has just made a double step; the move
  // counters. An en passant square with no legal capture is accepted and
  // dropped, as engines do, so Fen() writes "-" there.
  static std::optional<Position> FromFen(std::string_view fen, std::string* error = nullptr);

  // Six fields, castling rights in KQkq order, counters included.
  std::string Fen() const;

  Color SideToMove() const { return side_; }
  std::optional<Piece> PieceAt(Square s) const;
  bool InCheck() const { return IsAttacked(kings_[side_], Opponent(side_)); }

  // The position after a legal move. Castling and en passant follow from the
  // board (a king moving two files, a pawn moving aslant onto an empty
  // square), whatever the move's kind says. A move off the board or from an
  // empty square changes nothing; any other move that is not legal here gives
  // a position that means nothing: take moves from LegalMoves, MoveFromSquares,
  // MoveFromUci or ParseMoveText.
  Position After(const Move& move) const;

  // --- For the generator and the notation; the trainer needs none of these.
  // Squares passed to them must be on the board (below 64).

  // The kind of man on a square, NoPieceType when empty.
  PieceType TypeAt(Square s) const { return static_cast<PieceType>(cells_[s] & 7); }
  // The colour of the man on a square; meaningless for an empty square.
  Color ColorAt(Square s) const { return static_cast<Color>(cells_[s] >> 3); }
  bool IsEmpty(Square s) const { return cells_[s] == 0; }
  Square KingSquare(Color c) const { return kings_[c]; }
  bool HasCastlingRight(CastlingRight right) const { return (castling_ & right) != 0; }
  // Set only when a legal en passant capture exists; kNoSquare otherwise.
  Square EnPassantSquare() const { return enPassant_; }
  std::uint32_t HalfmoveClock() const { return halfmove_; }
  std::uint32_t FullmoveNumber() const { return fullmove_; }

  // Whether a man of colour `by` attacks the square.
  bool IsAttacked(Square s, Color by) const { return Attackers(s, by, 1) > 0; }
  // For a pseudo-legal move: whether the mover's king is safe after it.
  bool LeavesKingSafe(const Move& move) const;

  friend bool operator==(const Position&, const Position&) = default;

 private:
  struct EmptyBoard {};
  explicit Position(EmptyBoard) {}

  void Apply(const Move& move);
  void DropUselessEnPassant();
  int Attackers(Square s, Color by, int enough) const;
  std::optional<std::string> ImpossibleBecause();
  std::optional<std::string> EnPassantFault() const;

  std::array<std::uint8_t, 64> cells_{};  // 0 empty, else PieceType | Color << 3
  std::array<Square, 2> kings_{kNoSquare, kNoSquare};
  Color side_ = White;
  std::uint8_t castling_ = 0;  // CastlingRight bits
  Square enPassant_ = kNoSquare;
  std::uint32_t halfmove_ = 0;
  std::uint32_t fullmove_ = 1;
};

}  // namespace zel::chess

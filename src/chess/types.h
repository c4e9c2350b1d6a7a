// The chess vocabulary shared by the rules, the notation and the trainer:
// colours, pieces, squares and moves. Squares count from a1 = 0 along the
// ranks to h8 = 63, so a square is rank * 8 + file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zel::chess {

enum Color : std::uint8_t { White, Black };
constexpr Color Opponent(Color c) { return c == White ? Black : White; }

enum PieceType : std::uint8_t { NoPieceType, Pawn, Knight, Bishop, Rook, Queen, King };

struct Piece {
  Color color;
  PieceType type;
  friend constexpr bool operator==(Piece, Piece) = default;
};

using Square = std::uint8_t;
inline constexpr Square kNoSquare = 64;

constexpr int FileOf(Square s) { return s % 8; }  // 0 = file a
constexpr int RankOf(Square s) { return s / 8; }  // 0 = rank 1
constexpr Square MakeSquare(int file, int rank) { return static_cast<Square>(rank * 8 + file); }

std::string SquareName(Square s);                        // "e4"; "-" for kNoSquare
std::optional<Square> SquareFromName(std::string_view);  // "e4" -> 28; lower-case only

// What a move does beyond lifting a man and putting it down; the generator
// fills it in, and After() works it out from the board again rather than
// trusting it, so a move built from two squares by hand plays the same.
enum class MoveKind : std::uint8_t { Normal, Castling, EnPassant };

struct Move {
  Square from = kNoSquare;
  Square to = kNoSquare;  // castling: the king's destination, g1/c1/g8/c8
  PieceType promotion = NoPieceType;
  MoveKind kind = MoveKind::Normal;
  friend constexpr bool operator==(const Move&, const Move&) = default;
};

// Whether two moves are the same move of one position: the kind is implied by
// the board, so a hand-built e1g1 equals the generator's castling e1g1.
constexpr bool SameMove(const Move& a, const Move& b) {
  return a.from == b.from && a.to == b.to && a.promotion == b.promotion;
}

}  // namespace zel::chess

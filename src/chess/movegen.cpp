#include "chess/movegen.h"

#include <algorithm>

#include "chess/board_tables.h"

namespace zel::chess {
namespace {

constexpr PieceType kPromotions[] = {Queen, Rook, Bishop, Knight};

// Walks the pseudo-legal moves of the side to move, hands each one that keeps
// its own king safe to `visit`, and stops when `visit` returns false. Returns
// whether it went through them all.
template <typename Visit>
bool ForEachLegalMove(const Position& p, Visit&& visit) {
  const Color us = p.SideToMove();
  const auto offer = [&](Square from, Square to, MoveKind kind = MoveKind::Normal) {
    const Move move{from, to, NoPieceType, kind};
    return !p.LeavesKingSafe(move) || visit(move);
  };
  const auto isTarget = [&](Square to) { return p.IsEmpty(to) || p.ColorAt(to) != us; };

  for (Square from = 0; from < 64; ++from) {
    if (p.IsEmpty(from) || p.ColorAt(from) != us) continue;
    switch (p.TypeAt(from)) {
      case Pawn: {
        const int forward = us == White ? 1 : -1;
        const int rank = RankOf(from) + forward;  // never off the board: no pawn on rank 1 or 8
        const bool promotes = rank == 0 || rank == 7;
        const auto pawnMove = [&](Square to, MoveKind kind) {
          if (!promotes) return offer(from, to, kind);
          if (!p.LeavesKingSafe(Move{from, to})) return true;
          for (const PieceType piece : kPromotions) {
            if (!visit(Move{from, to, piece, kind})) return false;
          }
          return true;
        };
        const Square ahead = MakeSquare(FileOf(from), rank);
        if (p.IsEmpty(ahead)) {
          if (!pawnMove(ahead, MoveKind::Normal)) return false;
          const bool home = RankOf(from) == (us == White ? 1 : 6);
          const Square twoAhead = MakeSquare(FileOf(from), rank + forward);
          if (home && p.IsEmpty(twoAhead) && !offer(from, twoAhead)) return false;
        }
        for (const int file : {FileOf(from) - 1, FileOf(from) + 1}) {
          if (file < 0 || file > 7) continue;
          const Square to = MakeSquare(file, rank);
          if (!p.IsEmpty(to) && p.ColorAt(to) != us) {
            if (!pawnMove(to, MoveKind::Normal)) return false;
          } else if (to == p.EnPassantSquare()) {
            if (!offer(from, to, MoveKind::EnPassant)) return false;
          }
        }
        break;
      }
      case Knight:
      case King: {
        const tables::Steps& steps =
            p.TypeAt(from) == Knight ? tables::kKnight[from] : tables::kKing[from];
        for (int i = 0; i < steps.count; ++i) {
          if (isTarget(steps.squares[i]) && !offer(from, steps.squares[i])) return false;
        }
        break;
      }
      default: {
        const PieceType type = p.TypeAt(from);
        const int first = type == Bishop ? tables::kBishopRays : 0;
        const int last = type == Rook ? tables::kBishopRays : 8;
        for (int d = first; d < last; ++d) {
          const tables::Ray& ray = tables::kRays[from][d];
          for (int i = 0; i < ray.length; ++i) {
            const Square to = ray.squares[i];
            if (isTarget(to) && !offer(from, to)) return false;
            if (!p.IsEmpty(to)) break;
          }
        }
        break;
      }
    }
  }

  // Castling: the rights, an empty path between king and rook, and a king
  // neither in check nor passing a square attacked; landing in check is
  // caught like any other move, by LeavesKingSafe.
  const Color them = Opponent(us);
  const Square king = p.KingSquare(us);
  const int home = us == White ? 0 : 7;
  const bool kingSide = p.HasCastlingRight(us == White ? WhiteKingSide : BlackKingSide);
  const bool queenSide = p.HasCastlingRight(us == White ? WhiteQueenSide : BlackQueenSide);
  if ((kingSide || queenSide) && !p.IsAttacked(king, them)) {
    const auto empty = [&](int file) { return p.IsEmpty(MakeSquare(file, home)); };
    const auto safe = [&](int file) { return !p.IsAttacked(MakeSquare(file, home), them); };
    if (kingSide && empty(5) && empty(6) && safe(5) &&
        !offer(king, MakeSquare(6, home), MoveKind::Castling))
      return false;
    if (queenSide && empty(1) && empty(2) && empty(3) && safe(3) &&
        !offer(king, MakeSquare(2, home), MoveKind::Castling))
      return false;
  }
  return true;
}

}  // namespace

bool MoveList::contains(const Move& move) const {
  return std::any_of(begin(), end(), [&](const Move& m) { return SameMove(m, move); });
}

MoveList LegalMoves(const Position& position) {
  MoveList moves;
  ForEachLegalMove(position, [&](const Move& m) {
    moves.push_back(m);
    return true;
  });
  return moves;
}

bool HasLegalMove(const Position& position) {
  return !ForEachLegalMove(position, [](const Move&) { return false; });
}

bool IsCheckmate(const Position& position) { return position.InCheck() && !HasLegalMove(position); }

bool IsStalemate(const Position& position) {
  return !position.InCheck() && !HasLegalMove(position);
}

std::uint64_t Perft(const Position& position, int depth) {
  if (depth <= 0) return 1;
  std::uint64_t nodes = 0;
  ForEachLegalMove(position, [&](const Move& m) {
    // The last ply is only counted, not played.
    nodes += depth == 1 ? 1 : Perft(position.After(m), depth - 1);
    return true;
  });
  return nodes;
}

std::vector<PerftCount> PerftDivide(const Position& position, int depth) {
  std::vector<PerftCount> counts;
  for (const Move& m : LegalMoves(position))
    counts.push_back({m, Perft(position.After(m), depth - 1)});
  return counts;
}

}  // namespace zel::chess

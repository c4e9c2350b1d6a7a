#include "chess/notation.h"

#include "chess/movegen.h"

namespace zel::chess {
namespace {

const Move* FindLegal(const MoveList& legal, const Move& move) {
  for (const Move& m : legal) {
    if (SameMove(m, move)) return &m;
  }
  return nullptr;
}

// What tells `move` apart from other men of its kind that could go to the
// same square: nothing, the file, the rank, or both (the square).
std::string Disambiguation(const Position& before, const MoveList& legal, const Move& move) {
  bool rival = false, sameFile = false, sameRank = false;
  for (const Move& other : legal) {
    if (other.to != move.to || other.from == move.from ||
        before.TypeAt(other.from) != before.TypeAt(move.from))
      continue;
    rival = true;
    sameFile |= FileOf(other.from) == FileOf(move.from);
    sameRank |= RankOf(other.from) == RankOf(move.from);
  }
  if (!rival) return "";
  const std::string from = SquareName(move.from);
  if (!sameFile) return from.substr(0, 1);
  if (!sameRank) return from.substr(1, 1);
  return from;
}

}  // namespace

std::string MoveText(const Position& before, const Move& move, Language language) {
  const MoveList legal = LegalMoves(before);
  const Move* found = FindLegal(legal, move);
  if (!found) return UciText(move);
  const Move m = *found;
  const bool russian = language == Language::Russian;

  std::string text;
  if (m.kind == MoveKind::Castling) {
    const bool kingSide = FileOf(m.to) == 6;
    text = russian ? (kingSide ? "0-0" : "0-0-0") : (kingSide ? "O-O" : "O-O-O");
  } else {
    const PieceType type = before.TypeAt(m.from);
    const bool capture = !before.IsEmpty(m.to) || m.kind == MoveKind::EnPassant;
    const char* captureMark = russian ? ":" : "x";
    if (type == Pawn) {
      if (capture) text = SquareName(m.from).substr(0, 1) + captureMark;
      text += SquareName(m.to);
      if (m.promotion != NoPieceType) {
        if (!russian) text += '=';
        text += PieceLetter(m.promotion, language);
      }
    } else {
      text = std::string(PieceLetter(type, language)) + Disambiguation(before, legal, m);
      if (capture) text += captureMark;
      text += SquareName(m.to);
    }
  }
  const Position after = before.After(m);
  if (after.InCheck()) text += HasLegalMove(after) ? "+" : "#";
  return text;
}

std::string UciText(const Move& move) {
  std::string text = SquareName(move.from) + SquareName(move.to);
  if (move.promotion != NoPieceType) text += RowOf(move.promotion).fen;
  return text;
}

std::optional<Move> MoveFromSquares(const Position& position, Square from, Square to,
                                    PieceType promotion) {
  if (from >= 64 || to >= 64 || position.IsEmpty(from)) return std::nullopt;
  // The king put onto its own rook at home means castling on that side.
  const int home = position.ColorAt(from) == White ? 0 : 7;
  if (position.TypeAt(from) == King && position.TypeAt(to) == Rook &&
      position.ColorAt(to) == position.ColorAt(from) && RankOf(from) == home &&
      RankOf(to) == home && (FileOf(to) == 0 || FileOf(to) == 7))
    to = MakeSquare(FileOf(to) == 7 ? 6 : 2, home);

  for (const Move& m : LegalMoves(position)) {
    if (m.from != from || m.to != to) continue;
    if (m.promotion == NoPieceType) return m;
    if (m.promotion == promotion) return m;
  }
  return std::nullopt;
}

std::optional<Move> MoveFromUci(const Position& position, std::string_view uci) {
  if (uci.size() != 4 && uci.size() != 5) return std::nullopt;
  const auto from = SquareFromName(uci.substr(0, 2));
  const auto to = SquareFromName(uci.substr(2, 2));
  if (!from || !to) return std::nullopt;
  PieceType promotion = NoPieceType;
  if (uci.size() == 5) {
    promotion = PieceOfFenLetter(uci[4]);
    if (promotion < Knight || promotion > Queen) return std::nullopt;
  }
  const auto move = MoveFromSquares(position, *from, *to, promotion);
  // Unlike a click, coordinates say exactly what they mean: a letter on a
  // move that does not promote makes them wrong.
  if (move && move->promotion != promotion) return std::nullopt;
  return move;
}

std::string DescribePosition(const Position& position, Language language) {
  const bool russian = language == Language::Russian;
  constexpr PieceType kOrder[] = {King, Queen, Rook, Bishop, Knight};
  std::string text;
  for (const Color color : {White, Black}) {
    if (color == Black) text += ' ';
    text +=
        russian ? (color == White ? "Белые:" : "Чёрные:") : (color == White ? "White:" : "Black:");
    const char* separator = " ";
    // Each kind from the a-file on, and up the file.
    const auto squaresOf = [&](PieceType type, auto&& add) {
      for (int file = 0; file < 8; ++file) {
        for (int rank = 0; rank < 8; ++rank) {
          const Square s = MakeSquare(file, rank);
          if (position.PieceAt(s) == Piece{color, type}) add(s);
        }
      }
    };
    for (const PieceType type : kOrder) {
      squaresOf(type, [&](Square s) {
        text += separator + (std::string(PieceLetter(type, language)) + SquareName(s));
        separator = ", ";
      });
    }
    int pawns = 0;
    squaresOf(Pawn, [&](Square) { ++pawns; });
    if (pawns) {
      text += separator;
      text += russian ? (pawns == 1 ? "пешка" : "пешки") : (pawns == 1 ? "pawn" : "pawns");
      separator = " ";
      squaresOf(Pawn, [&](Square s) {
        text += separator + SquareName(s);
        separator = ", ";
      });
    }
    text += '.';
  }
  const bool white = position.SideToMove() == White;
  text += russian ? (white ? " Ход белых." : " Ход чёрных.")
                  : (white ? " White to move." : " Black to move.");
  return text;
}

}  // namespace zel::chess

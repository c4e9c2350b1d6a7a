// Moves and positions as text, in UTF-8: short notation in Russian and in
// English, coordinates (UCI), moves typed by a user, moves clicked on a board,
// and a position described in words. The Russian is written exactly as the
// textbook's tool writes it (tools/content/chess.py), so the book and the
// solver speak alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chess/pieces.h"
#include "chess/position.h"
#include "chess/types.h"

namespace zel::chess {

// Short notation, written from the position before the move.
//   Russian: "Кр Ф Л С К", pawns without a letter, ":" for a capture ("e:d5",
//   "Кр:d1"), "0-0", "0-0-0", the promotion piece appended ("e8Ф", "e:d8К").
//   English: "K Q R B N", "x", "O-O", "O-O-O", "e8=Q", "exd8=N".
// Both: "+" check, "#" mate; a second man of the same kind that could go to
// the same square is told apart by the file, else the rank, else both
// ("Лad1", "К1f3", "Фh4e1"). A move that is not legal here is written in
// coordinates, as UciText does.
std::string MoveText(const Position& before, const Move& move, Language language);

// Coordinates: "e2e4", "e7e8q"; castling as the king's two squares, "e1g1".
std::string UciText(const Move& move);

// The legal move of these coordinates, or nothing. Castling may also be
// given as the king taking its own rook ("e1h1"); a promotion needs its
// letter (q, r, b, n).
std::optional<Move> MoveFromUci(const Position& position, std::string_view uci);

// The legal move from one clicked square to another, or nothing. The king
// put onto its own rook castles. `promotion` is needed only when the move
// promotes (nothing without it), and ignored otherwise, so a window may pass
// its chosen piece with every click.
std::optional<Move> MoveFromSquares(const Position& position, Square from, Square to,
                                    PieceType promotion = NoPieceType);

// A move typed by the user, in either language and in any of the usual
// forms: short ("Кf3", "Nf3", "e:d5", "exd5", "ed5", "ed"), long ("e2-e4",
// "Кb1-c3", "Nb1xc3"), coordinates ("e2e4", "e7e8q"), castling ("0-0",
// "O-O", "o-o", Cyrillic "О-О"), with or without "+", "#", "!", "?", "x",
// ":" and "e.p.". Cyrillic letters count in either case ("кр", "ф"); the
// English piece letters only in upper case, since "b" is a file; Latin "K"
// is the king, Cyrillic "К" the knight, "Кр" the king. The Cyrillic letters
// that look like Latin ones ("а", "с", "е", "х") count as those too, so a
// Russian keyboard layout does no harm, and a Latin "C" is the bishop "С";
// a lower-case "с" that could be a bishop or the c-file is whichever gives a
// legal move (both: ambiguous).
struct ParsedMove {
  enum class Fault {
    None,            // `move` is the legal move meant
    NotAMove,        // the text is not a move in any form
    Illegal,         // a move in form, but no legal move matches it
    Ambiguous,       // more than one legal move matches it
    NeedsPromotion,  // a promotion without its piece; `move` holds the squares
  };
  std::optional<Move> move;
  Fault fault = Fault::NotAMove;
};
ParsedMove ParseMoveText(const Position& position, std::string_view typed);

// The position in words, for screen readers and for training to see the board
// without it: each side's men, king first, then queens, rooks, bishops,
// knights, and pawns, each kind from the a-file on; then who is to move.
//   English: "White: Kg1, Qd1, Rf1, pawns a2, b2. Black: Kg8, Rd8, pawn f7.
//   White to move."
//   Russian: "Белые: Крg1, Фd1, Лf1, пешки a2, b2. Чёрные: Крg8, Лd8, пешка f7.
//   Ход белых."
std::string DescribePosition(const Position& position, Language language);

}  // namespace zel::chess

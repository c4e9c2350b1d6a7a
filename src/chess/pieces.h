// Every way the program writes a piece, in one table by PieceType: FEN's
// letter (also a promotion's in coordinates), the short notation's letter in
// English and in Russian, its name in words, and its place among the chess
// glyphs, which is the order the board's men are drawn in (men_sheet.h).
// Whoever writes or reads a piece takes it from here.
#pragma once

#include <cstddef>
#include <string_view>

#include "chess/types.h"

namespace zel::chess {

enum class Language { Russian, English };

struct PieceRow {
  PieceType type;
  char fen;                      // lower case (Black's in FEN); ' ' for no piece
  std::string_view english;      // "N"; pawns have no letter
  std::string_view russian;      // "К", "Кр"; UTF-8
  std::string_view englishName;  // "knight"
  std::string_view russianName;  // "конь", as in "ходит конь"
  int glyph;  // after U+2654 (White) or U+265A (Black): king 0 ... pawn 5; -1 for no piece
};

// clang-format off
inline constexpr PieceRow kPieceRows[] = {
  {NoPieceType, ' ', "",  "",   "",       "",       -1},
  {Pawn,        'p', "",  "",   "pawn",   "пешка",   5},
  {Knight,      'n', "N", "К",  "knight", "конь",    4},
  {Bishop,      'b', "B", "С",  "bishop", "слон",    3},
  {Rook,        'r', "R", "Л",  "rook",   "ладья",   2},
  {Queen,       'q', "Q", "Ф",  "queen",  "ферзь",   1},
  {King,        'k', "K", "Кр", "king",   "король",  0},
};
// clang-format on

// The glyphs of one colour: king, queen, rook, bishop, knight, pawn.
inline constexpr int kGlyphCount = 6;

namespace pieces_detail {
constexpr bool RowsInOrder() {
  int glyphs = 0;
  for (std::size_t i = 0; i < std::size(kPieceRows); ++i) {
    if (kPieceRows[i].type != static_cast<PieceType>(i)) return false;
    if (kPieceRows[i].glyph >= 0) glyphs |= 1 << kPieceRows[i].glyph;
  }
  return std::size(kPieceRows) == King + 1u && glyphs == (1 << kGlyphCount) - 1;
}
static_assert(RowsInOrder(), "one row per PieceType, in order, each glyph once");
}  // namespace pieces_detail

constexpr const PieceRow& RowOf(PieceType type) {
  return kPieceRows[type <= King ? type : NoPieceType];
}

constexpr std::string_view PieceLetter(PieceType type, Language language) {
  return language == Language::Russian ? RowOf(type).russian : RowOf(type).english;
}

constexpr std::string_view PieceName(PieceType type, Language language) {
  return language == Language::Russian ? RowOf(type).russianName : RowOf(type).englishName;
}

// The piece of a FEN letter in either case; NoPieceType for any other character.
constexpr PieceType PieceOfFenLetter(char letter) {
  const char lower =
      letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
  for (const PieceRow& row : kPieceRows)
    if (row.type != NoPieceType && row.fen == lower) return row.type;
  return NoPieceType;
}

// The piece of an English notation letter ("N", upper case only, since "b"
// is a file); NoPieceType for any other character.
constexpr PieceType PieceOfEnglishLetter(char letter) {
  for (const PieceRow& row : kPieceRows)
    if (row.english.size() == 1 && row.english[0] == letter) return row.type;
  return NoPieceType;
}

}  // namespace zel::chess

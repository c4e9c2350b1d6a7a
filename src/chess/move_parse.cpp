// Reading a move the user typed. The text is first turned into one or more
// plain readings in Latin letters (a lower-case Cyrillic "с" can be a bishop
// or the c-file, so it gives two), each reading is taken apart into what it
// says about the move, and the legal moves that fit are collected: one is the
// move, none or several is the fault.
#include <algorithm>
#include <string>
#include <vector>

#include "chess/movegen.h"
#include "chess/notation.h"

namespace zel::chess {
namespace {

using Fault = ParsedMove::Fault;

// The code points of UTF-8 text, or nothing when it is not UTF-8 (or holds
// characters beyond the ones a move could use).
std::optional<std::u32string> Decode(std::string_view text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
    for (std::size_t k = 1; k < length; ++k) {
      if ((byte(i + k) >> 6) != 0x2) return std::nullopt;
      c = c << 6 | (byte(i + k) & 0x3F);
    }
    out += c;
    i += length;
  }
  return out;
}

bool EndsWith(const std::u32string& s, std::u32string_view tail) {
  return s.size() >= tail.size() && std::u32string_view(s).substr(s.size() - tail.size()) == tail;
}

// Marks that say nothing about which move it is: check, mate, "!" and "?",
// and en passant spelled out after the square ("e:d6 e.p.").
void DropMarks(std::u32string& s) {
  for (bool again = true; again;) {
    again = false;
    while (!s.empty() && std::u32string_view(U"+#!?").find(s.back()) != std::u32string_view::npos)
      s.pop_back(), again = true;
    for (const std::u32string_view ep : {U"e.p.", U"ep", U"\u0435.p.", U"\u0435p"}) {
      if (EndsWith(s, ep) && s.size() > ep.size() && s[s.size() - ep.size() - 1] >= U'1' &&
          s[s.size() - ep.size() - 1] <= U'8') {
        s.resize(s.size() - ep.size());
        again = true;
      }
    }
  }
}

// A Cyrillic letter in upper case; others as they are.
constexpr char32_t UpperCyrillic(char32_t c) {
  return c >= U'\u0430' && c <= U'\u044F' ? c - 0x20 : c;
}

// A Russian piece letter, as code points in upper case, with the English
// letter it stands for.
struct RussianLetter {
  std::u32string letters;
  char english;
};

// The Russian piece letters of the table, longest first: "Кр" (king) must
// win over "К" (knight).
const std::vector<RussianLetter>& RussianLetters() {
  static const std::vector<RussianLetter> letters = [] {
    std::vector<RussianLetter> out;
    for (const PieceRow& row : kPieceRows) {
      if (row.russian.empty()) continue;
      std::u32string upper = *Decode(row.russian);
      for (char32_t& c : upper) c = UpperCyrillic(c);
      out.push_back({upper, row.english[0]});
    }
    std::stable_sort(out.begin(), out.end(), [](const RussianLetter& a, const RussianLetter& b) {
      return a.letters.size() > b.letters.size();
    });
    return out;
  }();
  return letters;
}

// The Russian piece letter that the text spells at `at`, in either case.
const RussianLetter* RussianLetterAt(const std::u32string& s, std::size_t at) {
  for (const RussianLetter& letter : RussianLetters()) {
    if (at + letter.letters.size() > s.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < letter.letters.size(); ++k)
      same = same && UpperCyrillic(s[at + k]) == letter.letters[k];
    if (same) return &letter;
  }
  return nullptr;
}

// The readings of the text in plain letters: K Q R B N for pieces, a-h and
// 1-8 for squares, x for a capture, - for a dash, = and O as they are, and
// q r b n for promotions as coordinates write them. Nothing when a character fits none.
std::vector<std::string> Readings(const std::u32string& s) {
  std::vector<std::string> readings{""};
  const auto addAll = [&](char c) {
    for (std::string& r : readings) r += c;
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char32_t c = s[i];
    if ((c >= U'a' && c <= U'h') || (c >= U'0' && c <= U'8') || c == U'-' || c == U'=' ||
        c == U'K' || c == U'Q' || c == U'R' || c == U'B' || c == U'N' || c == U'q' || c == U'r' ||
        c == U'n') {
      addAll(static_cast<char>(c));
    } else if (c == U'x' || c == U'X' || c == U':' || c == U'\u0445' || c == U'\u0425') {
      addAll('x');  // Latin x, colon, Cyrillic х
    } else if (c == U'\u2013' || c == U'\u2014') {
      addAll('-');  // en and em dashes, as printed books set "e2–e4"
    } else if (c == U'O' || c == U'o' || c == U'\u041E' || c == U'\u043E') {
      addAll('O');  // castling, Latin or Cyrillic O
    } else if (c == U'C') {
      addAll('B');  // the Latin C that looks like С: English has no C
    } else if (c == U'\u0441') {
      // с: the bishop, or the Latin c it looks like.
      if (readings.size() >= 8) return {};
      std::vector<std::string> doubled;
      for (const std::string& r : readings) {
        doubled.push_back(r + 'B');
        doubled.push_back(r + 'c');
      }
      readings = std::move(doubled);
    } else if (c == U'\u0430') {
      addAll('a');  // а
    } else if (c == U'\u0435') {
      addAll('e');  // е
    } else if (const RussianLetter* letter = RussianLetterAt(s, i)) {
      addAll(letter->english);
      i += letter->letters.size() - 1;
    } else {
      return {};
    }
  }
  return readings;
}

// What one reading says about the move.
struct Pattern {
  enum class Form { Castling, Piece, Squares, PawnAhead, PawnCapture } form;
  PieceType piece = NoPieceType;  // Form::Piece
  int fromFile = -1, fromRank = -1;
  int toFile = -1, toRank = -1;
  PieceType promotion = NoPieceType;
  bool kingSide = true;  // Form::Castling
};

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return at_ == text_.size(); }
  bool Take(char c) {
    if (AtEnd() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  int File() {
    return !AtEnd() && text_[at_] >= 'a' && text_[at_] <= 'h' ? text_[at_++] - 'a' : -1;
  }
  int Rank() {
    return !AtEnd() && text_[at_] >= '1' && text_[at_] <= '8' ? text_[at_++] - '1' : -1;
  }
  // One of `letters`, any of "NBRQK" in either case, as a piece.
  PieceType Piece(std::string_view letters) {
    if (AtEnd() || letters.find(text_[at_]) == std::string_view::npos) return NoPieceType;
    return PieceOfEnglishLetter(static_cast<char>(text_[at_++] & ~0x20));
  }
  // "=Q", "Q" or "q" at the end: the piece, NoPieceType for none, nothing
  // when something else follows.
  std::optional<PieceType> Promotion() {
    const std::size_t mark = at_;
    const bool equals = Take('=');
    const PieceType piece = Piece("NBRQnbrq");
    if (AtEnd() && (piece != NoPieceType || !equals)) return piece;
    at_ = mark;
    return std::nullopt;
  }
  void Rewind() { at_ = 0; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// "O-O" or "O-O-O" with any mix of the letter O and the digit 0.
std::optional<bool> CastlingSide(std::string_view text) {
  if (text.size() != 3 && text.size() != 5) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool fits = i % 2 ? text[i] == '-' : text[i] == 'O' || text[i] == '0';
    if (!fits) return std::nullopt;
  }
  return text.size() == 3;
}

std::optional<Pattern> Read(std::string_view text) {
  if (const auto kingSide = CastlingSide(text))
    return Pattern{.form = Pattern::Form::Castling, .kingSide = *kingSide};

  Reader r(text);
  Pattern p{.form = Pattern::Form::Piece};
  // A piece: "Nf3", "Nbd7", "R1e2", "Qh4xe1", "Nb1-c3".
  if ((p.piece = r.Piece("NBRQK")) != NoPieceType) {
    p.fromFile = r.File();
    p.fromRank = r.Rank();
    if (!r.Take('x')) r.Take('-');
    p.toFile = r.File();
    p.toRank = r.Rank();
    if (p.toFile < 0 || p.toRank < 0) {  // the hints were the destination
      if (p.fromFile < 0 || p.fromRank < 0 || !r.AtEnd()) return std::nullopt;
      p.toFile = p.fromFile, p.toRank = p.fromRank;
      p.fromFile = p.fromRank = -1;
    }
    return r.AtEnd() ? std::optional(p) : std::nullopt;
  }
  // From a square: "e2e4", "e2-e4", "e7e8q", "e5:d6", or a pawn's "e4", "e8Q".
  p.fromFile = r.File();
  p.fromRank = r.Rank();
  if (p.fromFile >= 0 && p.fromRank >= 0) {
    if (const auto promotion = r.Promotion()) {
      return Pattern{.form = Pattern::Form::PawnAhead,
                     .toFile = p.fromFile,
                     .toRank = p.fromRank,
                     .promotion = *promotion};
    }
    if (!r.Take('x')) r.Take('-');
    p.toFile = r.File();
    p.toRank = r.Rank();
    const auto promotion = r.Promotion();
    if (p.toFile < 0 || p.toRank < 0 || !promotion) return std::nullopt;
    p.form = Pattern::Form::Squares;
    p.promotion = *promotion;
    return p;
  }
  // A pawn's capture by files: "exd5", "e:d5", "ed5", "ed", "exd8=Q".
  r.Rewind();
  p.form = Pattern::Form::PawnCapture;
  p.fromFile = r.File();
  r.Take('x');
  p.toFile = r.File();
  p.toRank = r.Rank();
  const auto promotion = r.Promotion();
  if (p.fromFile < 0 || p.toFile < 0 || !promotion) return std::nullopt;
  p.promotion = *promotion;
  return p;
}

// Whether a legal move fits the pattern, its promotion aside.
bool Fits(const Position& position, const Pattern& p, const Move& m) {
  const bool pawn = position.TypeAt(m.from) == Pawn;
  switch (p.form) {
    case Pattern::Form::Castling:
      return m.kind == MoveKind::Castling && (FileOf(m.to) == 6) == p.kingSide;
    case Pattern::Form::Piece:
      return position.TypeAt(m.from) == p.piece && m.kind != MoveKind::Castling &&
             m.to == MakeSquare(p.toFile, p.toRank) &&
             (p.fromFile < 0 || FileOf(m.from) == p.fromFile) &&
             (p.fromRank < 0 || RankOf(m.from) == p.fromRank);
    case Pattern::Form::Squares: {
      if (m.from != MakeSquare(p.fromFile, p.fromRank)) return false;
      const Square to = MakeSquare(p.toFile, p.toRank);
      if (m.to == to) return true;
      // The king onto its own rook castles, as with clicks (MoveFromSquares).
      return m.kind == MoveKind::Castling && position.TypeAt(to) == Rook &&
             position.ColorAt(to) == position.ColorAt(m.from) && RankOf(to) == RankOf(m.from) &&
             FileOf(to) == (FileOf(m.to) == 6 ? 7 : 0);
    }
    case Pattern::Form::PawnAhead:
      return pawn && m.to == MakeSquare(p.toFile, p.toRank) && FileOf(m.from) == p.toFile;
    case Pattern::Form::PawnCapture:
      return pawn && FileOf(m.from) == p.fromFile && FileOf(m.to) == p.toFile &&
             p.fromFile != p.toFile && (p.toRank < 0 || RankOf(m.to) == p.toRank);
  }
  return false;
}

void AddOnce(std::vector<Move>& moves, const Move& m) {
  for (const Move& known : moves) {
    if (SameMove(known, m)) return;
  }
  moves.push_back(m);
}

}  // namespace

ParsedMove ParseMoveText(const Position& position, std::string_view typed) {
  std::optional<std::u32string> text = Decode(typed);
  if (!text) return {std::nullopt, Fault::NotAMove};
  std::erase_if(*text, [](char32_t c) { return c == U' ' || c == U'\t'; });
  DropMarks(*text);

  const MoveList legal = LegalMoves(position);
  std::vector<Move> found;       // legal moves that fit, promotion and all
  std::vector<Move> unfinished;  // promotions that fit but for their missing piece
  bool inForm = false;
  for (const std::string& reading : Readings(*text)) {
    const std::optional<Pattern> pattern = Read(reading);
    if (!pattern) continue;
    inForm = true;
    for (const Move& m : legal) {
      if (!Fits(position, *pattern, m)) continue;
      if (m.promotion == pattern->promotion) {
        AddOnce(found, m);
      } else if (pattern->promotion == NoPieceType) {
        AddOnce(unfinished, Move{m.from, m.to, NoPieceType, m.kind});
      }
    }
  }
  if (found.size() == 1) return {found.front(), Fault::None};
  if (found.size() > 1) return {std::nullopt, Fault::Ambiguous};
  if (unfinished.size() == 1) return {unfinished.front(), Fault::NeedsPromotion};
  if (unfinished.size() > 1) return {std::nullopt, Fault::Ambiguous};
  return {std::nullopt, inForm ? Fault::Illegal : Fault::NotAMove};
}

}  // namespace zel::chess

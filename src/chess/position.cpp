#include "chess/position.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "chess/board_tables.h"
#include "chess/pieces.h"

namespace zel::chess {
namespace {

constexpr std::string_view kStartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* kColorNames[2] = {"White", "Black"};

constexpr std::uint8_t Code(Color c, PieceType t) { return static_cast<std::uint8_t>(t | c << 3); }

// The rights a move keeps when it leaves or lands on a square: moving a king
// or a rook from home, or taking a rook there, loses the rights that need it.
constexpr std::array<std::uint8_t, 64> MakeKeptRights() {
  std::array<std::uint8_t, 64> kept{};
  for (auto& k : kept) k = 15;
  kept[MakeSquare(0, 0)] = 15 & ~WhiteQueenSide;
  kept[MakeSquare(4, 0)] = 15 & ~(WhiteKingSide | WhiteQueenSide);
  kept[MakeSquare(7, 0)] = 15 & ~WhiteKingSide;
  kept[MakeSquare(0, 7)] = 15 & ~BlackQueenSide;
  kept[MakeSquare(4, 7)] = 15 & ~(BlackKingSide | BlackQueenSide);
  kept[MakeSquare(7, 7)] = 15 & ~BlackKingSide;
  return kept;
}
constexpr std::array<std::uint8_t, 64> kKeptRights = MakeKeptRights();

// One castling right: its FEN letter and where its king and rook stand.
struct CastlingHome {
  CastlingRight right;
  char letter;
  Color color;
  Square king, rook;
};
constexpr CastlingHome kCastlingHomes[] = {
    {WhiteKingSide, 'K', White, MakeSquare(4, 0), MakeSquare(7, 0)},
    {WhiteQueenSide, 'Q', White, MakeSquare(4, 0), MakeSquare(0, 0)},
    {BlackKingSide, 'k', Black, MakeSquare(4, 7), MakeSquare(7, 7)},
    {BlackQueenSide, 'q', Black, MakeSquare(4, 7), MakeSquare(0, 7)},
};

// Input text inside a message: printable ASCII as it is, any other byte as
// \xNN, so that a message never carries half a UTF-8 character.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (const char c : text) {
    if (c >= 0x20 && c < 0x7f) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    }
  }
  return out + "'";
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Up to seven blank-separated fields; `count` goes on counting beyond them.
struct Fields {
  std::array<std::string_view, 7> text;
  std::size_t count = 0;
};

Fields SplitFields(std::string_view fen) {
  Fields fields;
  std::size_t i = 0;
  while (i < fen.size()) {
    while (i < fen.size() && IsBlank(fen[i])) ++i;
    if (i == fen.size()) break;
    const std::size_t start = i;
    while (i < fen.size() && !IsBlank(fen[i])) ++i;
    if (fields.count < fields.text.size()) fields.text[fields.count] = fen.substr(start, i - start);
    ++fields.count;
  }
  return fields;
}

// The man a FEN letter stands for: upper case White, lower case Black.
std::optional<Piece> PieceOfLetter(char c) {
  const PieceType type = PieceOfFenLetter(c);
  if (type == NoPieceType) return std::nullopt;
  return Piece{c >= 'a' ? Black : White, type};
}

std::optional<std::uint32_t> Counter(std::string_view digits) {
  std::uint32_t value = 0;
  const char* end = digits.data() + digits.size();
  auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::optional<std::uint8_t> CastlingBits(std::string_view field) {
  if (field == "-") return 0;
  std::uint8_t bits = 0;
  std::size_t next = 0;  // rights must come in KQkq order, each once
  for (const char c : field) {
    while (next < 4 && kCastlingHomes[next].letter != c) ++next;
    if (next == 4) return std::nullopt;
    bits |= kCastlingHomes[next++].right;
  }
  return bits;
}

std::uint32_t Saturated(std::uint32_t n) {
  return n == std::numeric_limits<std::uint32_t>::max() ? n : n + 1;
}

}  // namespace

Position::Position() : Position(Start()) {}

Position Position::Start() {
  static const Position start = *FromFen(kStartFen);
  return start;
}

std::optional<Position> Position::FromFen(std::string_view fen, std::string* error) {
  const auto fail = [error](std::string message) -> std::optional<Position> {
    if (error) *error = std::move(message);
    return std::nullopt;
  };
  const Fields fields = SplitFields(fen);
  if (fields.count != 6 && fields.count != 4)
    return fail("Invalid FEN: " + std::to_string(fields.count) +
                " fields, not 6 (or 4 without the move counters)");

  Position p{EmptyBoard{}};
  const std::string_view side = fields.text[1];
  if (side != "w" && side != "b")
    return fail("Invalid FEN: side to move " + Quoted(side) + " is not 'w' or 'b'");
  p.side_ = side == "w" ? White : Black;

  const auto castling = CastlingBits(fields.text[2]);
  if (!castling)
    return fail("Invalid FEN: castling rights " + Quoted(fields.text[2]) +
                " are not '-' or some of KQkq in that order");
  p.castling_ = *castling;

  const std::string_view ep = fields.text[3];
  if (ep != "-") {
    const auto square = SquareFromName(ep);
    if (!square)
      return fail("Invalid FEN: en passant square " + Quoted(ep) + " is not '-' or a square");
    const int rank = p.side_ == White ? 5 : 2;
    if (RankOf(*square) != rank)
      return fail("Invalid FEN: en passant square " + std::string(ep) + " is not on rank " +
                  std::to_string(rank + 1) + ", where it lies with " + kColorNames[p.side_] +
                  " to move");
    p.enPassant_ = *square;
  }

  // The board, rank 8 first.
  std::string_view board = fields.text[0];
  int ranks = 1;
  for (const char c : board) ranks += c == '/';
  if (ranks != 8)
    return fail("Invalid FEN: the board has " + std::to_string(ranks) +
                " ranks separated by '/', not 8");
  for (int rank = 7; rank >= 0; --rank) {
    const std::size_t slash = board.find('/');
    const std::string_view row = board.substr(0, slash);
    board = slash == std::string_view::npos ? std::string_view() : board.substr(slash + 1);
    int file = 0;
    for (const char c : row) {
      if (c >= '1' && c <= '8') {
        file += c - '0';
      } else if (const auto piece = PieceOfLetter(c)) {
        if (file < 8) p.cells_[MakeSquare(file, rank)] = Code(piece->color, piece->type);
        ++file;
      } else {
        return fail("Invalid FEN: " + Quoted(std::string_view(&c, 1)) + " on rank " +
                    std::to_string(rank + 1) +
                    " is not a piece letter or a count of empty squares");
      }
    }
    if (file != 8)
      return fail("Invalid FEN: rank " + std::to_string(rank + 1) + " (" + Quoted(row) + ") has " +
                  std::to_string(file) + " squares, not 8");
  }

  if (auto impossible = p.ImpossibleBecause()) return fail("Unsupported position: " + *impossible);

  if (fields.count == 6) {
    const auto halfmove = Counter(fields.text[4]);
    if (!halfmove)
      return fail("Invalid FEN: halfmove clock " + Quoted(fields.text[4]) + " is not a number");
    const auto fullmove = Counter(fields.text[5]);
    if (!fullmove || *fullmove == 0)
      return fail("Invalid FEN: move number " + Quoted(fields.text[5]) + " is not a number from 1");
    p.halfmove_ = *halfmove;
    p.fullmove_ = *fullmove;
  }
  p.DropUselessEnPassant();
  return p;
}

// Why the board cannot arise in a game, in the order FromFen documents.
std::optional<std::string> Position::ImpossibleBecause() {
  for (const Color c : {White, Black}) {
    int kings = 0;
    for (Square s = 0; s < 64; ++s) {
      if (cells_[s] == Code(c, King)) {
        ++kings;
        kings_[c] = s;
      }
    }
    if (kings != 1)
      return std::string(kColorNames[c]) + " has " + (kings ? std::to_string(kings) : "no") +
             (kings ? " kings, not one" : " king");
  }
  for (Square s = 0; s < 64; ++s) {
    if (TypeAt(s) == Pawn && (RankOf(s) == 0 || RankOf(s) == 7))
      return std::string("a ") + (ColorAt(s) == White ? "white" : "black") + " pawn on " +
             SquareName(s) + ": pawns never stand on rank 1 or 8";
  }
  for (const Color c : {White, Black}) {
    std::array<int, 7> count{};
    for (Square s = 0; s < 64; ++s) {
      if (!IsEmpty(s) && ColorAt(s) == c) ++count[TypeAt(s)];
    }
    const int men = count[Pawn] + count[Knight] + count[Bishop] + count[Rook] + count[Queen] + 1;
    const std::string name = kColorNames[c];
    if (count[Pawn] > 8)
      return name + " has " + std::to_string(count[Pawn]) + " pawns, more than 8";
    if (men > 16) return name + " has " + std::to_string(men) + " men, more than 16";
    // Every man beyond the starting set came from a pawn that promoted.
    const int promoted = std::max(0, count[Queen] - 1) + std::max(0, count[Rook] - 2) +
                         std::max(0, count[Bishop] - 2) + std::max(0, count[Knight] - 2);
    if (promoted > 8 - count[Pawn])
      return name + " has " + std::to_string(promoted) + " promoted men but only " +
             std::to_string(8 - count[Pawn]) + (count[Pawn] == 7 ? " pawn" : " pawns") + " missing";
  }
  const Color waiting = Opponent(side_);
  if (IsAttacked(kings_[waiting], side_))
    return std::string(kColorNames[waiting]) + " is in check but " + kColorNames[side_] +
           " is to move";
  const int checkers = Attackers(kings_[side_], waiting, 3);
  if (checkers > 2)
    return std::string(kColorNames[side_]) + " is in check from " + std::to_string(checkers) +
           " men, more than a move can give";
  for (const CastlingHome& home : kCastlingHomes) {
    if ((castling_ & home.right) && (cells_[home.king] != Code(home.color, King) ||
                                     cells_[home.rook] != Code(home.color, Rook)))
      return std::string("castling right '") + home.letter + "' needs the " +
             (home.color == White ? "white" : "black") + " king on " + SquareName(home.king) +
             " and its rook on " + SquareName(home.rook);
  }
  return EnPassantFault();
}

// An en passant square lies behind a pawn of the side not to move that has
// just come two squares from its home rank, so both squares it crossed are empty.
std::optional<std::string> Position::EnPassantFault() const {
  if (enPassant_ == kNoSquare) return std::nullopt;
  const int towardsPawn = side_ == White ? -8 : 8;
  const Square pawn = static_cast<Square>(enPassant_ + towardsPawn);
  const Square origin = static_cast<Square>(enPassant_ - towardsPawn);
  const Color mover = Opponent(side_);
  if (cells_[pawn] != Code(mover, Pawn) || !IsEmpty(enPassant_) || !IsEmpty(origin))
    return "en passant square " + SquareName(enPassant_) + ", but no " +
           (mover == White ? "white" : "black") + " pawn has just gone from " + SquareName(origin) +
           " to " + SquareName(pawn);
  return std::nullopt;
}

// Engines write an en passant square only when the capture is legal; so do
// we, which keeps Fen() and the comparison of positions the same as theirs.
void Position::DropUselessEnPassant() {
  if (enPassant_ == kNoSquare) return;
  const int pawnRank = RankOf(enPassant_) + (side_ == White ? -1 : 1);
  const int file = FileOf(enPassant_);
  for (const int from : {file - 1, file + 1}) {
    if (from < 0 || from > 7) continue;
    const Square s = MakeSquare(from, pawnRank);
    if (cells_[s] == Code(side_, Pawn) &&
        LeavesKingSafe(Move{s, enPassant_, NoPieceType, MoveKind::EnPassant}))
      return;
  }
  enPassant_ = kNoSquare;
}

std::string Position::Fen() const {
  std::string fen;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      const Square s = MakeSquare(file, rank);
      if (IsEmpty(s)) {
        ++empty;
        continue;
      }
      if (empty) fen += static_cast<char>('0' + empty);
      empty = 0;
      const char letter = RowOf(TypeAt(s)).fen;
      fen += ColorAt(s) == White ? static_cast<char>(letter - 'a' + 'A') : letter;
    }
    if (empty) fen += static_cast<char>('0' + empty);
    if (rank) fen += '/';
  }
  fen += side_ == White ? " w " : " b ";
  const std::size_t before = fen.size();
  for (const CastlingHome& home : kCastlingHomes) {
    if (castling_ & home.right) fen += home.letter;
  }
  if (fen.size() == before) fen += '-';
  fen += ' ' + SquareName(enPassant_);
  fen += ' ' + std::to_string(halfmove_) + ' ' + std::to_string(fullmove_);
  return fen;
}

std::optional<Piece> Position::PieceAt(Square s) const {
  if (s >= 64 || IsEmpty(s)) return std::nullopt;
  return Piece{ColorAt(s), TypeAt(s)};
}

// How many men of colour `by` attack the square, counting up to `enough`:
// one answers IsAttacked, three finds a check no move can give.
int Position::Attackers(Square s, Color by, int enough) const {
  using tables::kRays;
  int found = 0;
  // A white pawn attacks upwards, so it stands one rank below the square.
  const int pawnRank = RankOf(s) + (by == White ? -1 : 1);
  if (pawnRank >= 0 && pawnRank < 8) {
    const std::uint8_t pawn = Code(by, Pawn);
    const int file = FileOf(s);
    if (file > 0 && cells_[MakeSquare(file - 1, pawnRank)] == pawn && ++found == enough)
      return found;
    if (file < 7 && cells_[MakeSquare(file + 1, pawnRank)] == pawn && ++found == enough)
      return found;
  }
  const tables::Steps& knights = tables::kKnight[s];
  for (int i = 0; i < knights.count; ++i) {
    if (cells_[knights.squares[i]] == Code(by, Knight) && ++found == enough) return found;
  }
  const tables::Steps& kings = tables::kKing[s];
  for (int i = 0; i < kings.count; ++i) {
    if (cells_[kings.squares[i]] == Code(by, King) && ++found == enough) return found;
  }
  const std::uint8_t queen = Code(by, Queen);
  for (int d = 0; d < 8; ++d) {
    const std::uint8_t slider = Code(by, d < tables::kBishopRays ? Rook : Bishop);
    const tables::Ray& ray = kRays[s][d];
    for (int i = 0; i < ray.length; ++i) {
      const std::uint8_t cell = cells_[ray.squares[i]];
      if (cell == 0) continue;
      if ((cell == slider || cell == queen) && ++found == enough) return found;
      break;
    }
  }
  return found;
}

bool Position::LeavesKingSafe(const Move& move) const {
  Position after = *this;
  after.Apply(move);
  return !after.IsAttacked(after.kings_[side_], after.side_);
}

Position Position::After(const Move& move) const {
  // Cheap enough to keep, and a window's stray Move{} then does no harm.
  if (move.from >= 64 || move.to >= 64 || IsEmpty(move.from)) return *this;
  Position after = *this;
  after.Apply(move);
  after.DropUselessEnPassant();
  return after;
}

// Plays a pseudo-legal move on this board; the en passant square it leaves
// may have no legal capture yet (DropUselessEnPassant settles that).
void Position::Apply(const Move& move) {
  const std::uint8_t moving = cells_[move.from];
  const PieceType type = TypeAt(move.from);
  bool capture = !IsEmpty(move.to);
  if (type == Pawn && !capture && FileOf(move.from) != FileOf(move.to)) {
    // Aslant onto an empty square: en passant, the taken pawn beside the origin.
    cells_[MakeSquare(FileOf(move.to), RankOf(move.from))] = 0;
    capture = true;
  }
  if (type == King) {
    kings_[side_] = move.to;
    if (std::abs(FileOf(move.to) - FileOf(move.from)) == 2) {
      const int rank = RankOf(move.from);
      const bool kingSide = FileOf(move.to) == 6;
      const Square rookFrom = MakeSquare(kingSide ? 7 : 0, rank);
      cells_[MakeSquare(kingSide ? 5 : 3, rank)] = cells_[rookFrom];
      cells_[rookFrom] = 0;
    }
  }
  cells_[move.to] = move.promotion != NoPieceType ? Code(side_, move.promotion) : moving;
  cells_[move.from] = 0;
  castling_ &= kKeptRights[move.from] & kKeptRights[move.to];
  enPassant_ = kNoSquare;
  if (type == Pawn && std::abs(move.to - move.from) == 16)
    enPassant_ = static_cast<Square>((move.from + move.to) / 2);
  halfmove_ = type == Pawn || capture ? 0 : Saturated(halfmove_);
  if (side_ == Black) fullmove_ = Saturated(fullmove_);
  side_ = Opponent(side_);
}

}  // namespace zel::chess

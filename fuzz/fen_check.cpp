#include "fen_check.h"

#include <optional>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "chess/position.h"

namespace zel::fuzz {
namespace {

using namespace zel::chess;

// A message a window can show as it is: printable ASCII only, so a byte of
// the input never ends up as half a character.
bool Printable(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

// The bytes typed as a move: whatever the reader makes of them, a move it
// accepts is legal and a fault comes without one (but for a missing promotion).
std::string CheckTyped(const Position& p, std::string_view bytes) {
  const ParsedMove parsed = ParseMoveText(p, bytes);
  if (parsed.fault == ParsedMove::Fault::None) {
    if (!parsed.move || !LegalMoves(p).contains(*parsed.move))
      return "a typed move read as an illegal one";
  } else if (parsed.fault == ParsedMove::Fault::NeedsPromotion) {
    if (!parsed.move || !MoveFromSquares(p, parsed.move->from, parsed.move->to, Queen))
      return "a missing promotion names no promoting move";
  } else if (parsed.move) {
    return "a fault comes with a move";
  }
  return "";
}

std::string CheckMove(const Position& p, const Move& m) {
  const Position after = p.After(m);
  if (after.IsAttacked(after.KingSquare(p.SideToMove()), after.SideToMove()))
    return "a legal move leaves its own king attacked: " + UciText(m);
  const auto reread = Position::FromFen(after.Fen());
  if (!reread || !(*reread == after))
    return "the position after " + UciText(m) + " does not read back";
  for (const Language language : {Language::Russian, Language::English}) {
    const std::string text = MoveText(p, m, language);
    const ParsedMove back = ParseMoveText(p, text);
    if (back.fault != ParsedMove::Fault::None || back.move != m)
      return "'" + text + "' does not read back as " + UciText(m);
  }
  if (MoveFromUci(p, UciText(m)) != m) return UciText(m) + " does not read back";
  if (MoveFromSquares(p, m.from, m.to, m.promotion) != m)
    return UciText(m) + " clicked is another move";
  return "";
}

}  // namespace

std::string FenViolation(std::string_view bytes) {
  std::string error;
  const std::optional<Position> p = Position::FromFen(bytes, &error);
  std::string violation = CheckTyped(Position::Start(), bytes);
  if (!violation.empty()) return violation;
  if (!p) {
    if (!error.starts_with("Invalid FEN: ") && !error.starts_with("Unsupported position: "))
      return "a rejection without its kind: " + error;
    return Printable(error) ? "" : "a message with unprintable bytes";
  }

  const std::string fen = p->Fen();
  const auto reread = Position::FromFen(fen, &error);
  if (!reread) return "Fen() does not read back: " + fen + ": " + error;
  if (!(*reread == *p) || reread->Fen() != fen)
    return "Fen() reads back as another position: " + fen;

  const MoveList moves = LegalMoves(*p);
  if (HasLegalMove(*p) == moves.empty()) return "HasLegalMove disagrees with LegalMoves";
  if (IsCheckmate(*p) != (p->InCheck() && moves.empty())) return "IsCheckmate is wrong";
  if (IsStalemate(*p) != (!p->InCheck() && moves.empty())) return "IsStalemate is wrong";
  for (const Move& m : moves) {
    violation = CheckMove(*p, m);
    if (!violation.empty()) return violation + " in " + fen;
  }
  if (!DescribePosition(*p, Language::English).starts_with("White: ")) return "no description";
  return CheckTyped(*p, bytes);
}

}  // namespace zel::fuzz

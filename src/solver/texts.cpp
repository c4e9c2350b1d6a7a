#include "solver/texts.h"

namespace zel::solver {
namespace {

bool IsRussian(Language language) { return language == Language::Russian; }

}  // namespace

std::string_view ToMoveText(chess::Color side, Language language) {
  return TextOf(side == chess::White ? Text::WhiteToMove : Text::BlackToMove, language);
}

std::string_view StateText(ProblemState state, Language language) {
  constexpr Text kStateTexts[] = {Text::StateNew, Text::StateMissed, Text::StateSolved,
                                  Text::StateSolvedFirst};
  return TextOf(kStateTexts[static_cast<std::size_t>(state)], language);
}

std::string ProblemOfText(std::size_t number, std::size_t count, Language language) {
  return std::string(IsRussian(language) ? "Задача " : "Problem ") + std::to_string(number) +
         (IsRussian(language) ? " из " : " of ") + std::to_string(count);
}

std::string ProgressText(std::size_t solved, std::size_t count, std::size_t first,
                         Language language) {
  if (IsRussian(language))
    return "Решено " + std::to_string(solved) + " из " + std::to_string(count) +
           ", с первой попытки " + std::to_string(first);
  return "Solved " + std::to_string(solved) + " of " + std::to_string(count) + ", " +
         std::to_string(first) + " at the first attempt";
}

std::string PieceHintText(chess::PieceType piece, chess::Square from, Language language) {
  const std::string name(chess::PieceName(piece, language));
  if (IsRussian(language))
    return "Подсказка: ходит " + name + " с " + chess::SquareName(from) + ".";
  return "Hint: move the " + name + " on " + chess::SquareName(from) + ".";
}

std::string MoveHintText(const chess::Position& before, const chess::Move& move,
                         Language language) {
  const std::string text = chess::MoveText(before, move, language);
  if (IsRussian(language)) return "Подсказка: ход " + text + ".";
  return "Hint: play " + text + ".";
}

std::string_view AccessKeyOf(std::string_view caption) {
  const auto amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return {};
  const auto lead = static_cast<unsigned char>(caption[amp + 1]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return caption.substr(amp + 1, length);
}

}  // namespace zel::solver

#include "solver/texts.h"

#include <algorithm>
#include <cmath>

namespace zel::solver {
namespace {

bool IsRussian(Language language) { return language == Language::Russian; }

std::string TwoDigits(std::uint64_t value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}

struct PieceName {
  std::string_view russian;  // nominative, as in "ходит конь"
  std::string_view english;
};
constexpr PieceName kPieceNames[] = {
    {"", ""},          {"пешка", "pawn"},  {"конь", "knight"}, {"слон", "bishop"},
    {"ладья", "rook"}, {"ферзь", "queen"}, {"король", "king"},
};

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
  const PieceName& name = kPieceNames[piece <= chess::King ? piece : 0];
  if (IsRussian(language))
    return "Подсказка: ходит " + std::string(name.russian) + " с " + chess::SquareName(from) + ".";
  return "Hint: move the " + std::string(name.english) + " on " + chess::SquareName(from) + ".";
}

std::string MoveHintText(const chess::Position& before, const chess::Move& move,
                         Language language) {
  const std::string text = chess::MoveText(before, move, language);
  if (IsRussian(language)) return "Подсказка: ход " + text + ".";
  return "Hint: play " + text + ".";
}

std::string ClockText(std::uint32_t seconds) {
  const std::uint32_t hours = seconds / 3600;
  const std::uint32_t minutes = seconds / 60 % 60;
  std::string text =
      hours > 0 ? std::to_string(hours) + ":" + TwoDigits(minutes) : std::to_string(minutes);
  return text + ":" + TwoDigits(seconds % 60);
}

std::string DurationText(std::uint64_t seconds, Language language) {
  const bool russian = IsRussian(language);
  const std::uint64_t hours = seconds / 3600;
  const std::uint64_t minutes = seconds / 60 % 60;
  if (hours > 0)
    return std::to_string(hours) + (russian ? " ч " : " h ") + TwoDigits(minutes) +
           (russian ? " мин" : " min");
  if (minutes > 0)
    return std::to_string(minutes) + (russian ? " мин " : " min ") + TwoDigits(seconds % 60) +
           (russian ? " с" : " s");
  return std::to_string(seconds) + (russian ? " с" : " s");
}

std::string DayText(platform::Day day, Language language) {
  const platform::CivilDate date = platform::DateOf(day);
  if (IsRussian(language))
    return TwoDigits(date.day) + "." + TwoDigits(date.month) + "." + std::to_string(date.year);
  return std::to_string(date.year) + "-" + TwoDigits(date.month) + "-" + TwoDigits(date.day);
}

std::string PercentText(double share, Language language) {
  const long percent = std::lround(std::clamp(share, 0.0, 1.0) * 100);
  // Russian puts a (no-break) space before the sign.
  return std::to_string(percent) + (IsRussian(language) ? " %" : "%");
}

std::string CycleText(std::size_t number, Language language) {
  return (IsRussian(language) ? "Круг " : "Cycle ") + std::to_string(number);
}

std::string RatingText(const Glicko& rating, Language language) {
  return (IsRussian(language) ? "Рейтинг " : "Rating ") +
         std::to_string(std::lround(rating.rating)) + " ± " +
         std::to_string(std::lround(rating.deviation));
}

std::string DueText(std::size_t due, Language language) {
  return (IsRussian(language) ? "К повторению сегодня: " : "Due for review today: ") +
         std::to_string(due);
}

std::string ReviewProblemText(std::size_t place, std::size_t size, Language language) {
  return (IsRussian(language) ? "Повторение: задача " : "Review: problem ") +
         std::to_string(place) + (IsRussian(language) ? " из " : " of ") + std::to_string(size);
}

std::string_view AccessKeyOf(std::string_view caption) {
  const auto amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return {};
  const auto lead = static_cast<unsigned char>(caption[amp + 1]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return caption.substr(amp + 1, length);
}

}  // namespace zel::solver

#include "solver/themes.h"

#include <algorithm>
#include <charconv>

namespace zel::solver {
namespace {

// The N of "mate-in-N": a whole number from 1 on, nothing else.
std::optional<std::size_t> MateMoves(std::string_view token) {
  if (!token.starts_with(kMateInPrefix)) return std::nullopt;
  const std::string_view digits = token.substr(kMateInPrefix.size());
  std::size_t moves = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, moves);
  if (digits.empty() || digits[0] == '0' || error != std::errc() || stop != end)
    return std::nullopt;
  return moves;
}

}  // namespace

std::string_view RussianCountWord(std::size_t count, std::string_view one, std::string_view few,
                                  std::string_view many) {
  const std::size_t tens = count % 100, units = count % 10;
  if (tens >= 11 && tens <= 14) return many;
  if (units == 1) return one;
  if (units >= 2 && units <= 4) return few;
  return many;
}

std::optional<std::string> ThemeName(std::string_view token, chess::Language language) {
  const bool russian = language == chess::Language::Russian;
  if (const auto moves = MateMoves(token)) {
    const std::string number = std::to_string(*moves);
    if (!russian) return "Mate in " + number;
    return "Мат в " + number + " " + std::string(RussianCountWord(*moves, "ход", "хода", "ходов"));
  }
  const auto row = std::find_if(std::begin(kThemes), std::end(kThemes),
                                [&](const ThemeRow& theme) { return theme.token == token; });
  if (row == std::end(kThemes)) return std::nullopt;
  return std::string(russian ? row->russian : row->english);
}

std::string StatisticsThemeName(std::string_view token, chess::Language language) {
  const bool russian = language == chess::Language::Russian;
  if (token == "mate") return russian ? "Мат" : "Checkmate";
  if (token == "material") return russian ? "Выигрыш материала" : "Winning material";
  return ThemeName(token, language).value_or(std::string(token));
}

std::vector<std::string> ThemeNames(std::span<const std::string> tokens, chess::Language language) {
  std::vector<std::string> names;
  for (const std::string& token : tokens) {
    if (auto name = ThemeName(token, language)) names.push_back(std::move(*name));
  }
  return names;
}

}  // namespace zel::solver

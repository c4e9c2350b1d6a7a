// The names of the problems' themes, by the tokens the problem data gives
// them (content/README.md lists how each is found), in Russian and English.
// UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chess/pieces.h"

namespace zel::solver {

struct ThemeRow {
  std::string_view token;
  std::string_view russian;
  std::string_view english;
};

// clang-format off
inline constexpr ThemeRow kThemes[] = {
  {"fork",                    "Вилка",                       "Fork"},
  {"pin",                     "Связка",                      "Pin"},
  {"skewer",                  "Сквозной удар",               "Skewer"},
  {"discovered-attack",       "Вскрытое нападение",          "Discovered attack"},
  {"deflection",              "Отвлечение",                  "Deflection"},
  {"attraction",              "Завлечение",                  "Attraction"},
  {"back-rank-mate",          "Мат по последней горизонтали", "Back-rank mate"},
  {"removal-of-the-defender", "Уничтожение защиты",          "Removal of the defender"},
  {"quiet-move",              "Тихий ход",                   "Quiet move"},
  {"hanging-piece",           "Незащищённая фигура",         "Hanging piece"},
  {"trapped-piece",           "Ловля фигуры",                "Trapped piece"},
  {"clearance",               "Освобождение поля или линии", "Clearance"},
  {"interference",            "Перекрытие",                  "Interference"},
  {"intermezzo",              "Промежуточный ход",           "Intermezzo"},
  {"x-ray",                   "Рентген",                     "X-ray"},
  {"exposed-king",            "Открытый король",             "Exposed king"},
  {"double-attack",           "Двойной удар",                "Double attack"},
  {"smothered-mate",          "Спёртый мат",                 "Smothered mate"},
  {"discovered-check",        "Вскрытый шах",                "Discovered check"},
  {"double-check",            "Двойной шах",                 "Double check"},
  {"promotion",               "Превращение пешки",           "Promotion"},
  {"sacrifice",               "Жертва",                      "Sacrifice"},
};
// clang-format on

// "mate-in-N": the number of the solver's moves follows.
inline constexpr std::string_view kMateInPrefix = "mate-in-";
// Tokens the data carries that name no theme to show: every mate says it as
// "mate-in-N", and winning material is what most problems are about.
inline constexpr std::string_view kUnshownThemes[] = {"mate", "material"};

namespace themes_detail {
// Each token once, none of them unshown or a mate's count.
constexpr bool TokensDistinct() {
  for (std::size_t i = 0; i < std::size(kThemes); ++i) {
    if (kThemes[i].token.starts_with(kMateInPrefix)) return false;
    for (const std::string_view unshown : kUnshownThemes)
      if (kThemes[i].token == unshown) return false;
    for (std::size_t j = i + 1; j < std::size(kThemes); ++j)
      if (kThemes[i].token == kThemes[j].token) return false;
  }
  return true;
}
static_assert(TokensDistinct());
}  // namespace themes_detail

// The theme's name in the language: "Вилка", "Мат в 2 хода" / "Mate in 2".
// Nothing for a token that is not shown or not known.
std::optional<std::string> ThemeName(std::string_view token, chess::Language language);

// The name the statistics give a theme: ThemeName's, and for the tokens a
// problem's summary leaves out, "Мат" / "Checkmate" and "Выигрыш материала" /
// "Winning material", since how often the user mates or wins is worth a row
// there. An unknown token stands as it is.
std::string StatisticsThemeName(std::string_view token, chess::Language language);

// The names of a problem's themes in the data's order; tokens with no name
// are passed over.
std::vector<std::string> ThemeNames(std::span<const std::string> tokens, chess::Language language);

// The Russian word for a count: `one` for 1, 21, 31...; `few` for 2-4,
// 22-24...; `many` for 0, 5-20, 25-30... ("1 ход", "3 хода", "11 ходов").
std::string_view RussianCountWord(std::size_t count, std::string_view one, std::string_view few,
                                  std::string_view many);

}  // namespace zel::solver

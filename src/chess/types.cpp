#include "chess/types.h"

namespace zel::chess {

std::string SquareName(Square s) {
  if (s >= 64) return "-";
  return {static_cast<char>('a' + FileOf(s)), static_cast<char>('1' + RankOf(s))};
}

std::optional<Square> SquareFromName(std::string_view name) {
  if (name.size() != 2 || name[0] < 'a' || name[0] > 'h' || name[1] < '1' || name[1] > '8')
    return std::nullopt;
  return MakeSquare(name[0] - 'a', name[1] - '1');
}

}  // namespace zel::chess

// zel_notation "<fen>": every legal move of a position in coordinates, in
// Russian and in English short notation, one move a line, tab-separated, so
// that a script can hold them against the textbook tool's Russian.
#include <cstdio>
#include <string>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "chess/position.h"

int main(int argc, char** argv) {
  using namespace zel::chess;
  if (argc != 2) {
    std::fprintf(stderr, "usage: zel_notation \"<fen>\"\n");
    return 2;
  }
  std::string error;
  const std::optional<Position> position = Position::FromFen(argv[1], &error);
  if (!position) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  for (const Move& m : LegalMoves(*position)) {
    std::printf("%s\t%s\t%s\n", UciText(m).c_str(),
                MoveText(*position, m, Language::Russian).c_str(),
                MoveText(*position, m, Language::English).c_str());
  }
  return 0;
}

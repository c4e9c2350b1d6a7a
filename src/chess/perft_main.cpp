// zel_perft "<fen>" <depth> [moves...]: the perft of a position, split by the
// first move, printed as an engine's "go perft" does, so that a script can set
// the two side by side. Moves given after the depth (in coordinates) are
// played first, as in "position fen ... moves ...", to follow a difference down.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "chess/position.h"

int main(int argc, char** argv) {
  using namespace zel::chess;
  if (argc < 3) {
    std::fprintf(stderr, "usage: zel_perft \"<fen>\" <depth> [moves...]\n");
    return 2;
  }
  std::string error;
  std::optional<Position> position = Position::FromFen(argv[1], &error);
  if (!position) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  const std::string_view depthText = argv[2];
  int depth = 0;
  const auto [end, fault] =
      std::from_chars(depthText.data(), depthText.data() + depthText.size(), depth);
  if (fault != std::errc() || end != depthText.data() + depthText.size() || depth < 1) {
    std::fprintf(stderr, "the depth '%s' is not a number from 1\n", argv[2]);
    return 2;
  }
  for (int i = 3; i < argc; ++i) {
    const std::optional<Move> move = MoveFromUci(*position, argv[i]);
    if (!move) {
      std::fprintf(stderr, "'%s' is not a legal move in %s\n", argv[i], position->Fen().c_str());
      return 2;
    }
    *position = position->After(*move);
  }
  std::uint64_t total = 0;
  for (const PerftCount& count : PerftDivide(*position, depth)) {
    std::printf("%s: %llu\n", UciText(count.move).c_str(),
                static_cast<unsigned long long>(count.nodes));
    total += count.nodes;
  }
  std::printf("\nNodes searched: %llu\n", static_cast<unsigned long long>(total));
  return 0;
}

// What the chess core costs: perft from the start (the move generator and
// After at full stretch), one position's legal moves, and writing and reading
// every move of a busy position in notation, as a trainer does per move shown
// or typed.
#include <benchmark/benchmark.h>

#include "chess/movegen.h"
#include "chess/notation.h"

namespace zel::chess {
namespace {

const Position& Kiwipete() {
  static const Position p =
      *Position::FromFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  return p;
}

void BM_PerftStart(benchmark::State& state) {
  const Position start = Position::Start();
  const int depth = static_cast<int>(state.range(0));
  std::uint64_t nodes = 0;
  for (auto _ : state) benchmark::DoNotOptimize(nodes = Perft(start, depth));
  state.counters["nodes/s"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PerftStart)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_LegalMovesKiwipete(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(LegalMoves(Kiwipete()));
}
BENCHMARK(BM_LegalMovesKiwipete)->Unit(benchmark::kMicrosecond);

// Per move: Kiwipete's 48 moves each written once.
void BM_MoveText(benchmark::State& state) {
  const Language language = state.range(0) ? Language::English : Language::Russian;
  const MoveList moves = LegalMoves(Kiwipete());
  for (auto _ : state) {
    for (const Move& m : moves) benchmark::DoNotOptimize(MoveText(Kiwipete(), m, language));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(moves.size()));
}
BENCHMARK(BM_MoveText)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Per move: the written text of each of Kiwipete's moves read back.
void BM_ParseMoveText(benchmark::State& state) {
  const Language language = state.range(0) ? Language::English : Language::Russian;
  std::vector<std::string> texts;
  for (const Move& m : LegalMoves(Kiwipete())) texts.push_back(MoveText(Kiwipete(), m, language));
  for (auto _ : state) {
    for (const std::string& text : texts) benchmark::DoNotOptimize(ParseMoveText(Kiwipete(), text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_ParseMoveText)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FromFenAndFen(benchmark::State& state) {
  const std::string fen = Kiwipete().Fen();
  for (auto _ : state) benchmark::DoNotOptimize(Position::FromFen(fen)->Fen());
}
BENCHMARK(BM_FromFenAndFen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zel::chess

BENCHMARK_MAIN();

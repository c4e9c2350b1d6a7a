// What a solver's actions cost: reading the problem data, opening a course,
// judging a move, and writing progress, which takes the lock and two fsyncs.
#include <benchmark/benchmark.h>

#include "solver/problem_data.h"
#include "solver/session.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

// A data file of `courses` sections of 40 problems, the test problems over again.
std::string LargeData(int courses) {
  const std::string_view lines[] = {
      ";7k/8/8/8/8/8/8/RR4K1 w - - 0 1;b1b7 h8g8 a1a8;ladder;600\r\n",
      ";6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a2 g8h8 a2a8;back-rank;500\r\n",
      ";2rkr3/2p1p3/8/8/8/8/8/R3K3 w Q - 0 1;e1c1;castling;700\r\n",
      ";6k1/8/8/8/8/8/p5PP/7K b - - 0 1;a2a1q;promotion;650\r\n",
  };
  std::string data;
  for (int c = 0; c < courses; ++c) {
    data += "[" + std::string(kCourses[c].key) + "]\r\n";
    for (int i = 0; i < 40; ++i) data += "p" + std::to_string(1000 + i) + std::string(lines[i % 4]);
  }
  return data;
}

void BM_ParseProblemData(benchmark::State& state) {
  const std::string data = LargeData(static_cast<int>(std::size(kCourses)));
  for (auto _ : state) benchmark::DoNotOptimize(ParseProblemData(data, "Zadachi.dat"));
  state.SetLabel(std::to_string(std::size(kCourses) * 40) + " problems");
}
BENCHMARK(BM_ParseProblemData)->Unit(benchmark::kMillisecond);

void BM_OpenCourse(benchmark::State& state) {
  zel::testing::Harness h;
  const ProblemData data = ParseProblemData(LargeData(1), "Zadachi.dat");
  for (auto _ : state)
    benchmark::DoNotOptimize(Session(h.native, kCourses[0], data.courses[0], Language::Russian));
}
BENCHMARK(BM_OpenCourse)->Unit(benchmark::kMicrosecond);

// A wrong move after the first: judged, and nothing to write.
void BM_TryWrongMove(benchmark::State& state) {
  zel::testing::Harness h;
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  Session session(h.native, kCourses[0], data.courses[0], Language::Russian);
  const chess::Move wrong{*chess::SquareFromName("a1"), *chess::SquareFromName("a2")};
  session.Try(wrong);
  for (auto _ : state) benchmark::DoNotOptimize(session.Try(wrong));
}
BENCHMARK(BM_TryWrongMove)->Unit(benchmark::kMicrosecond);

// Moving to the next problem: the lock, a read and a durable replacement.
void BM_NextProblemWritesProgress(benchmark::State& state) {
  zel::testing::Harness h;
  const ProblemData data = ParseProblemData(LargeData(1), "Zadachi.dat");
  Session session(h.native, kCourses[0], data.courses[0], Language::Russian);
  for (auto _ : state)
    if (!session.Next()) session.GoTo(0);
}
BENCHMARK(BM_NextProblemWritesProgress)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zel::solver

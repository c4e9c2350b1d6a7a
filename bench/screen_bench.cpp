// What the solver's screen costs without a window: a right move answered
// (judged, the board's changed squares found, the texts and commands made
// and compared with what is shown), and the men drawn at a square's size for
// the first paint.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "solver/fake_trainer_view.h"
#include "solver/men_sheet.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

void BM_ScreenAnswersARightMove(benchmark::State& state) {
  zel::testing::Harness h;
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  platform::FakeClock clock;
  FakeTrainerView view(clock);
  TrainerScreen screen(
      view, h.native, clock,
      {SolverFamily::CourseSolver, Language::Russian, true, FindCourse("practice")}, data,
      "Chess tactics");
  view.Attach(screen);
  screen.Start();
  for (auto _ : state) {
    view.ClickSquare("b1");
    view.ClickSquare("b7");  // right: praised, the reply waits
    state.PauseTiming();
    if (screen.session()->phase() != Phase::ReplyPending) state.SkipWithError("not answered");
    view.AdvanceToYourMove();
    view.Click(Command::Retry);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ScreenAnswersARightMove)->Unit(benchmark::kMicrosecond);

// Every man at 64 pixels, as the first paint of a full board needs them.
void BM_DrawEveryManForTheFirstPaint(benchmark::State& state) {
  std::ifstream file(ZEL_MEN_SHEET, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  const auto sheet = MenSheet::Decode(bytes);
  if (!sheet) {
    state.SkipWithError("no men sheet at " ZEL_MEN_SHEET);
    return;
  }
  for (auto _ : state)
    for (const chess::Color color : {chess::White, chess::Black})
      for (const chess::PieceRow& row : chess::kPieceRows)
        if (row.type != chess::NoPieceType)
          benchmark::DoNotOptimize(sheet->Draw({color, row.type}, 64));
  state.SetLabel("12 men, sheet of " + std::to_string(sheet->size()) + " px");
}
BENCHMARK(BM_DrawEveryManForTheFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zel::solver

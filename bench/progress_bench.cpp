// What a year of daily practice costs the trainer: a program folder with the
// progress of 365 days of 40 attempts each over every course (reviews, cycles
// and the rating included), then the times to load a course's progress, to
// compute the statistics window's figures and its text, to open a course and
// to write one result. The statistics window must open within 100 ms.
#include <benchmark/benchmark.h>

#include "platform/fake/fake_clock.h"
#include "solver/progress_store.h"
#include "solver/session.h"
#include "solver/statistics.h"
#include "solver/statistics_screen.h"
#include "testing/harness.h"
#include "year_of_practice.h"

namespace zel::solver {
namespace {

// The year's files in a temporary program folder.
struct YearFolder {
  zel::testing::Harness h;
  YearOfPractice practice = MakeYearOfPractice();
  ProblemData& data = practice.data;
  platform::FakeClock clock;

  YearFolder() {
    for (const auto& [name, bytes] : practice.files) h.Write(name, bytes);
    clock.SetToday(practice.today);
  }
  std::string Label() const { return practice.Label(); }
};

YearFolder& Year() {
  static YearFolder year;
  return year;
}

void BM_LoadACoursesYear(benchmark::State& state) {
  YearFolder& year = Year();
  ProgressStore store(year.h.native, year.clock, kCourses[1], year.data.courses[1]);
  for (auto _ : state) benchmark::DoNotOptimize(store.Load());
  state.SetLabel(std::to_string(store.Load().cycles.size()) + " cycles");
}
BENCHMARK(BM_LoadACoursesYear)->Unit(benchmark::kMicrosecond);

// What the statistics window waits for: every file read and summed up.
void BM_StatisticsOfAYear(benchmark::State& state) {
  YearFolder& year = Year();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        ComputeStatistics(year.h.native, year.data, kCourses, year.clock.Today()));
  state.SetLabel(year.Label());
}
BENCHMARK(BM_StatisticsOfAYear)->Unit(benchmark::kMillisecond);

void BM_StatisticsTextOfAYear(benchmark::State& state) {
  YearFolder& year = Year();
  const Statistics statistics =
      ComputeStatistics(year.h.native, year.data, kCourses, year.clock.Today());
  for (auto _ : state) benchmark::DoNotOptimize(StatisticsText(statistics, Language::Russian));
  state.SetLabel(std::to_string(StatisticsText(statistics, Language::Russian).size()) + " bytes");
}
BENCHMARK(BM_StatisticsTextOfAYear)->Unit(benchmark::kMicrosecond);

// The page with its pictures laid out, the window's font stood in for by
// 8 pixels a character.
void BM_StatisticsPageOfAYear(benchmark::State& state) {
  YearFolder& year = Year();
  const Statistics statistics =
      ComputeStatistics(year.h.native, year.data, kCourses, year.clock.Today());
  const TextMeasure measure{
      16, [](std::string_view text) { return 8 * static_cast<int>(text.size()); }};
  std::size_t pieces = 0;
  for (auto _ : state) {
    const Drawing drawing =
        DrawStatistics(statistics, Language::Russian, {}, {0, 0, 960, 680}, measure);
    pieces = drawing.boxes.size() + drawing.lines.size() + drawing.texts.size();
  }
  state.SetLabel(std::to_string(pieces) + " pieces");
}
BENCHMARK(BM_StatisticsPageOfAYear)->Unit(benchmark::kMicrosecond);

void BM_OpenACourseAfterAYear(benchmark::State& state) {
  YearFolder& year = Year();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        Session(year.h.native, year.clock, kCourses[1], year.data.courses[1], Language::Russian));
}
BENCHMARK(BM_OpenACourseAfterAYear)->Unit(benchmark::kMicrosecond);

// One result written after a year: the lock, both files read, the course's
// file replaced durably (the rating's is unchanged: the problem is known).
void BM_WriteAResultAfterAYear(benchmark::State& state) {
  YearFolder& year = Year();
  ProgressStore store(year.h.native, year.clock, kCourses[1], year.data.courses[1]);
  std::uint32_t seconds = 1;
  for (auto _ : state) {
    const Change change{0, Outcome::None, seconds++};
    store.Update(0, std::span(&change, 1));
  }
}
BENCHMARK(BM_WriteAResultAfterAYear)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zel::solver

// What a year of daily practice costs the trainer: a program folder with the
// progress of 365 days of 40 attempts each over every course (reviews, cycles
// and the rating included), then the times to load a course's progress, to
// compute the statistics window's figures and its text, to open a course and
// to write one result. The statistics window must open within 100 ms.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/fake/fake_clock.h"
#include "solver/progress_store.h"
#include "solver/session.h"
#include "solver/statistics.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

constexpr int kDays = 365;
constexpr int kAttemptsADay = 40;
constexpr std::size_t kProblemsACourse = 35;
constexpr std::string_view kThemes[] = {
    "material",  "hanging-piece", "mate", "mate-in-1", "back-rank-mate",    "quiet-move",
    "mate-in-2", "pin",           "fork", "promotion", "discovered-attack", "skewer"};

// Every course of the catalog with 35 problems of the test data's positions,
// ids unique over all, one to three themes each and ratings from 400 to 1100.
ProblemData YearData() {
  const ProblemData small = ParseProblemData(testing::kTestData, "Zadachi.dat");
  const std::vector<Problem>& models = small.courses[0].problems;
  ProblemData data;
  int serial = 0;
  for (const CourseInfo& course : kCourses) {
    CourseProblems& problems =
        data.courses.emplace_back(CourseProblems{std::string(course.key), {}});
    for (std::size_t i = 0; i < kProblemsACourse; ++i, ++serial) {
      Problem problem = models[i % models.size()];
      problem.id = "g" + std::to_string(10000 + serial);
      problem.difficulty = 400 + (serial * 37) % 700;
      problem.themes = {std::string(kThemes[serial % std::size(kThemes)])};
      if (serial % 3 == 0) problem.themes.emplace_back(kThemes[(serial / 3) % std::size(kThemes)]);
      problems.problems.push_back(std::move(problem));
    }
  }
  return data;
}

// A year of practice played into the files: each attempt goes to a course
// at random, to a problem due for review there if any, else to the first one
// not yet solved in its cycle, else into a new cycle. Seven in ten are solved
// at once; the others fail first and are mostly solved after.
struct YearFolder {
  zel::testing::Harness h;
  platform::FakeClock clock{{2026, 1, 1}};
  ProblemData data = YearData();
  std::size_t attempts = 0;
  std::size_t bytes = 0;

  YearFolder() {
    std::vector<CourseProgress> progress;
    for (const CourseProblems& course : data.courses)
      progress.push_back(FreshProgress(course.problems.size(), clock.Today()));
    UserRating rating;
    std::mt19937 random(20260101);
    for (int day = 0; day < kDays; ++day, clock.PassDays(1)) {
      const platform::Day today = clock.Today();
      for (int a = 0; a < kAttemptsADay; ++a, ++attempts) {
        const std::size_t c = random() % progress.size();
        CourseProgress& p = progress[c];
        std::optional<std::size_t> problem;
        for (std::size_t i = 0; i < p.ProblemCount() && !problem; ++i)
          if (p.IsDue(i, today)) problem = i;
        for (std::size_t i = 0; i < p.ProblemCount() && !problem; ++i)
          if (!IsSolved(p.StateOf(i))) problem = i;
        if (!problem) {
          p.cycles.push_back(FreshCycle(p.ProblemCount(), today));
          problem = 0;
        }
        const std::uint32_t seconds = 10 + random() % 290;
        const bool clean = random() % 10 < 7;
        std::vector<Change> changes{
            {*problem, clean ? Outcome::SolvedClean : Outcome::Fault, seconds}};
        if (!clean && random() % 5 != 0)
          changes.push_back({*problem, Outcome::SolvedAfterFault, 30});
        const Problem& rated = data.courses[c].problems[*problem];
        for (const Change& change : changes)
          if (ApplyChange(p, change, today))
            RateFirstAttempt(rating, rated.id, rated.difficulty, clean, today);
        p.current = *problem;
      }
    }
    for (std::size_t c = 0; c < progress.size(); ++c) {
      const std::string text = FormatProgress(kCourses[c].key, data.courses[c].Ids(), progress[c]);
      h.Write(kCourses[c].progressFile, text);
      bytes += text.size();
    }
    const std::string text = FormatUserRating(rating);
    h.Write(kRatingFile, text);
    bytes += text.size();
  }

  std::string Label() const {
    return std::to_string(attempts) + " attempts, " + std::to_string(bytes / 1024) + " KB in " +
           std::to_string(std::size(kCourses) + 1) + " files";
  }
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

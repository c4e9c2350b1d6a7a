#include "year_of_practice.h"

#include <random>

#include "platform/fake/fake_clock.h"
#include "solver/progress.h"
#include "solver/test_problems.h"
#include "solver/user_rating.h"

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

}  // namespace

std::size_t YearOfPractice::Bytes() const {
  std::size_t bytes = 0;
  for (const auto& [name, text] : files) bytes += text.size();
  return bytes;
}

std::string YearOfPractice::Label() const {
  return std::to_string(attempts) + " attempts, " + std::to_string(Bytes() / 1024) + " KB in " +
         std::to_string(files.size()) + " files";
}

// Each attempt goes to a course at random, to a problem due for review there
// if any, else to the first one not yet solved in its cycle, else into a new
// cycle. Seven in ten are solved at once; the others fail first and are
// mostly solved after.
YearOfPractice MakeYearOfPractice() {
  YearOfPractice year;
  year.data = YearData();
  platform::FakeClock clock{{2026, 1, 1}};
  std::vector<CourseProgress> progress;
  for (const CourseProblems& course : year.data.courses)
    progress.push_back(FreshProgress(course.problems.size(), clock.Today()));
  UserRating rating;
  std::mt19937 random(20260101);
  for (int day = 0; day < kDays; ++day, clock.PassDays(1)) {
    const platform::Day today = clock.Today();
    for (int a = 0; a < kAttemptsADay; ++a, ++year.attempts) {
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
      if (!clean && random() % 5 != 0) changes.push_back({*problem, Outcome::SolvedAfterFault, 30});
      const Problem& rated = year.data.courses[c].problems[*problem];
      for (const Change& change : changes)
        if (ApplyChange(p, change, today))
          RateFirstAttempt(rating, rated.id, rated.difficulty, clean, today);
      p.current = *problem;
    }
  }
  for (std::size_t c = 0; c < progress.size(); ++c)
    year.files.emplace_back(
        kCourses[c].progressFile,
        FormatProgress(kCourses[c].key, year.data.courses[c].Ids(), progress[c]));
  year.files.emplace_back(kRatingFile, FormatUserRating(rating));
  year.today = clock.Today();
  return year;
}

}  // namespace zel::solver

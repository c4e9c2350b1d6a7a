#include "solver/statistics.h"

#include <algorithm>
#include <map>

#include "solver/progress_store.h"

namespace zel::solver {
namespace {

CourseProgress ReadProgress(platform::Files& files, const CourseInfo& course,
                            const CourseProblems& problems, Day today) {
  const std::string bytes = ReadFileIfPresent(files, course.progressFile);
  std::optional<CourseProgress> progress =
      bytes.empty() ? std::nullopt : ParseProgress(bytes, course.key, problems.Ids(), today);
  return progress ? *std::move(progress) : FreshProgress(problems.problems.size(), std::nullopt);
}

// Counts the first attempts of every cycle against the problems' themes.
void CountThemes(const CourseProgress& progress, const CourseProblems& problems,
                 std::map<std::string, ThemeStatistics, std::less<>>& themes) {
  for (const Cycle& cycle : progress.cycles)
    for (std::size_t i = 0; i < cycle.records.size(); ++i) {
      const ProblemState state = cycle.records[i].state;
      if (state == ProblemState::New) continue;
      for (const std::string& token : problems.problems[i].themes) {
        auto found = themes.find(token);
        if (found == themes.end()) found = themes.emplace(token, ThemeStatistics{token}).first;
        ++found->second.attempts;
        if (state == ProblemState::SolvedFirst) ++found->second.solvedFirst;
      }
    }
}

}  // namespace

CycleSummary SummarizeCycle(const Cycle& cycle) {
  CycleSummary summary{cycle.started, std::nullopt, cycle.records.size()};
  std::optional<Day> lastSolved;
  bool daysKnown = true;
  for (const ProblemRecord& record : cycle.records) {
    summary.seconds += record.seconds;
    if (record.state == ProblemState::New) continue;
    ++summary.attempted;
    if (!IsSolved(record.state)) continue;
    ++summary.solved;
    if (record.state == ProblemState::SolvedFirst) ++summary.solvedFirst;
    daysKnown = daysKnown && record.day;
    if (record.day && (!lastSolved || *record.day > *lastSolved)) lastSolved = record.day;
  }
  if (summary.solved == summary.problems && summary.problems > 0 && daysKnown)
    summary.finished = lastSolved;
  return summary;
}

Statistics ComputeStatistics(platform::Files& files, const ProblemData& data,
                             std::span<const CourseInfo> courses, Day today) {
  Statistics statistics;
  std::map<std::string, ThemeStatistics, std::less<>> themes;
  for (const CourseInfo& course : courses) {
    const CourseProblems* problems = data.Find(course.key);
    if (!problems) continue;
    const CourseProgress progress = ReadProgress(files, course, *problems, today);
    CourseStatistics& entry = statistics.courses.emplace_back();
    entry.course = &course;
    for (const Cycle& cycle : progress.cycles) entry.cycles.push_back(SummarizeCycle(cycle));
    entry.dueToday = progress.DueCount(today);
    CountThemes(progress, *problems, themes);
  }

  for (auto& [token, theme] : themes) statistics.themes.push_back(std::move(theme));
  // Weakest first; of equal rates the one with more attempts, the surer.
  std::stable_sort(statistics.themes.begin(), statistics.themes.end(),
                   [](const ThemeStatistics& a, const ThemeStatistics& b) {
                     // Cross-multiplied: exact, no rounding of the rates.
                     const std::size_t left = a.solvedFirst * b.attempts;
                     const std::size_t right = b.solvedFirst * a.attempts;
                     return left != right ? left < right : a.attempts > b.attempts;
                   });

  const std::string bytes = ReadFileIfPresent(files, kRatingFile);
  const std::optional<UserRating> user = bytes.empty() ? std::nullopt : ParseUserRating(bytes);
  if (user) {
    statistics.rating = user->now;
    statistics.ratedProblems = user->rated.size();
    statistics.ratingHistory = user->history;
  }
  return statistics;
}

}  // namespace zel::solver

// The figures of the statistics window, as plain data, and their text for a
// screen reader: per course the cycle under way and every cycle before it,
// per theme how often its problems were solved at the first attempt (weakest
// first), and the user's rating over time. Computed from the progress files
// and the problem data, reading only: a damaged file counts as a fresh start
// here and is set aside when its course is opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "solver/catalog.h"
#include "solver/glicko.h"
#include "solver/problem_data.h"
#include "solver/progress.h"
#include "solver/user_rating.h"

namespace zel::solver {

struct CycleSummary {
  std::optional<Day> started;
  // The day its last problem was solved, once every problem is.
  std::optional<Day> finished;
  std::size_t problems = 0;
  std::size_t attempted = 0;  // failed or solved
  std::size_t solved = 0;
  std::size_t solvedFirst = 0;
  std::uint64_t seconds = 0;
  friend bool operator==(const CycleSummary&, const CycleSummary&) = default;

  // Of the problems attempted, the share solved at the first attempt; 0 to 1.
  double FirstTryShare() const {
    return attempted == 0 ? 0 : static_cast<double>(solvedFirst) / static_cast<double>(attempted);
  }
};

CycleSummary SummarizeCycle(const Cycle& cycle);

struct CourseStatistics {
  const CourseInfo* course = nullptr;
  std::vector<CycleSummary> cycles;  // first to last; the last is under way
  std::size_t dueToday = 0;
  const CycleSummary& Current() const { return cycles.back(); }
};

struct ThemeStatistics {
  std::string token;         // as in Zadachi.dat: "fork", "mate-in-2"
  std::size_t attempts = 0;  // first attempts in every cycle of every course
  std::size_t solvedFirst = 0;
  double SuccessRate() const {
    return attempts == 0 ? 0 : static_cast<double>(solvedFirst) / static_cast<double>(attempts);
  }
};

struct Statistics {
  std::vector<CourseStatistics> courses;  // in the order asked for
  std::vector<ThemeStatistics> themes;    // the lowest success rate first
  Glicko rating;
  std::size_t ratedProblems = 0;
  std::vector<RatingPoint> ratingHistory;  // by day
};

// The courses of `courses` that `data` has, and the user's rating. Throws the
// platform's failure for a file that is there but cannot be read.
Statistics ComputeStatistics(platform::Files& files, const ProblemData& data,
                             std::span<const CourseInfo> courses, Day today);

// A theme's name in the user's language, for a token; the token itself when
// no name is given.
using ThemeNameLookup = std::function<std::string(std::string_view token)>;

// One cycle of a course beside the others: its number, first day, time and
// share solved at the first attempt.
//   "Круг 1 (05.01.2026): 4 мин 05 с, с первой попытки 75 %"
//   "Cycle 1 (2026-01-05): 4 min 05 s, 75% at the first attempt"
std::string CycleSummaryText(const CycleSummary& cycle, std::size_t number, Language language);

// The statistics as lines of text, for a screen reader or to copy.
std::string StatisticsText(const Statistics& statistics, Language language,
                           const ThemeNameLookup& names = {});

}  // namespace zel::solver

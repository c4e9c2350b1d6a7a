// The statistics in words, one line each: the rating, each course with its
// cycles, the themes weakest first and the rating of the last days.
#include <algorithm>

#include "solver/statistics.h"
#include "solver/statistics_phrases.h"
#include "solver/texts.h"

namespace zel::solver {
namespace {

// The rating's days listed in the text: the most recent ones, enough for the
// trend without reading out a year.
constexpr std::size_t kDaysRead = 30;

std::string CountOf(std::size_t part, std::size_t whole, const StatisticsPhrases& p) {
  return std::to_string(part) + std::string(p.of) + std::to_string(whole);
}

// "решено 12 из 35, с первой попытки 9 из 14 (64 %), время 12 мин 30 с"
std::string CycleFigures(const CycleSummary& cycle, Language language) {
  const StatisticsPhrases& p = StatisticsPhrasesOf(language);
  std::string text = std::string(p.solved) + CountOf(cycle.solved, cycle.problems, p);
  if (cycle.attempted > 0)
    text += ", " + std::string(p.firstTry) + CountOf(cycle.solvedFirst, cycle.attempted, p) + " (" +
            PercentText(cycle.FirstTryShare(), language) + ")";
  return text + ", " + std::string(p.time) + DurationText(cycle.seconds, language);
}

// "Круг 1, 05.01.2026 – 11.02.2026: " or "Круг 2, начат 12.02.2026: "
std::string CycleHeading(const CycleSummary& cycle, std::size_t number, Language language) {
  std::string text = CycleText(number, language);
  if (cycle.started && cycle.finished)
    text += ", " + DayText(*cycle.started, language) + " – " + DayText(*cycle.finished, language);
  else if (cycle.started)
    text += ", " + std::string(StatisticsPhrasesOf(language).started) +
            DayText(*cycle.started, language);
  return text + ": ";
}

}  // namespace

std::string CycleSummaryText(const CycleSummary& cycle, std::size_t number, Language language) {
  const bool russian = language == Language::Russian;
  std::string text = CycleText(number, language);
  if (cycle.started) text += " (" + DayText(*cycle.started, language) + ")";
  text += ": " + DurationText(cycle.seconds, language);
  if (cycle.attempted > 0) {
    const std::string share = PercentText(cycle.FirstTryShare(), language);
    text += russian ? ", с первой попытки " + share : ", " + share + " at the first attempt";
  }
  return text;
}

std::string StatisticsText(const Statistics& statistics, Language language,
                           const ThemeNameLookup& names) {
  const StatisticsPhrases& p = StatisticsPhrasesOf(language);
  std::string text;
  const auto line = [&text](std::string_view content) { (text += content) += "\r\n"; };

  if (statistics.ratedProblems == 0)
    line(p.notYetRated);
  else
    line(RatingText(statistics.rating, language) + ", " + std::string(p.rated) +
         std::to_string(statistics.ratedProblems) + ".");

  for (const CourseStatistics& course : statistics.courses) {
    line("");
    line(std::string(course.course->Title(language)) + ". " + DueText(course.dueToday, language) +
         ".");
    for (std::size_t c = 0; c < course.cycles.size(); ++c)
      line("  " + CycleHeading(course.cycles[c], c + 1, language) +
           CycleFigures(course.cycles[c], language) + ".");
  }

  line("");
  line(statistics.themes.empty() ? p.noThemes : p.themes);
  for (const ThemeStatistics& theme : statistics.themes)
    line("  " + (names ? names(theme.token) : theme.token) + ": " + std::string(p.firstTry) +
         CountOf(theme.solvedFirst, theme.attempts, p) + " (" +
         PercentText(theme.SuccessRate(), language) + ").");

  if (!statistics.ratingHistory.empty()) {
    line("");
    line(p.recentDays);
    const std::size_t first =
        statistics.ratingHistory.size() - std::min(kDaysRead, statistics.ratingHistory.size());
    for (std::size_t i = first; i < statistics.ratingHistory.size(); ++i) {
      const RatingPoint& point = statistics.ratingHistory[i];
      line("  " + DayText(point.day, language) + ": " +
           RatingText({point.rating, point.deviation}, language) + ", " + std::string(p.attempts) +
           std::to_string(point.attempts) + ".");
    }
  }
  return text;
}

}  // namespace zel::solver

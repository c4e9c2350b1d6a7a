// The statistics window's figures from real progress files, and their text.
#include "solver/statistics.h"

#include <gtest/gtest.h>

#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

platform::Day D(int year, int month, int day) { return platform::DayOf({year, month, day}); }

struct StatisticsTest : ::testing::Test {
  zel::testing::Harness h;
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");

  StatisticsTest() {
    h.Write("practice.prg",
            "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0001\r\n"
            "cycle 1 2026-01-05\r\n"
            "p0001 first 30 2026-01-05\r\np0002 solved 90 2026-01-06\r\n"
            "p0003 first 20 2026-01-06\r\np0004 solved 60 2026-01-07\r\n"
            "cycle 2 2026-02-01\r\n"
            "p0001 missed 50 2026-02-01\r\np0002 first 10 2026-02-01\r\n"
            "review\r\np0001 1 2026-02-02\r\nend\r\n");
    h.Write("checkmate.prg", "damaged");
    h.Write("rating.prg",
            "Zelmiku rating 1\r\nrating 1432.5 81.4 0.06 2026-03-02\r\n"
            "rated p0001\r\nrated p0002\r\n"
            "day 2026-03-01 1461.2 120.07 1\r\nday 2026-03-02 1432.5 81.4 1\r\nend\r\n");
  }
  Statistics Compute() { return ComputeStatistics(h.files, data, kCourses, D(2026, 3, 2)); }
};

TEST_F(StatisticsTest, CoursesWithTheirCyclesThemesWeakestFirstAndTheRating) {
  const std::string before = h.ProgramList();
  const Statistics stats = Compute();
  EXPECT_EQ(h.ProgramList(), before);  // read only: the damaged file is left for its course

  ASSERT_EQ(stats.courses.size(), 2u);  // the courses the data has
  const CourseStatistics& practice = stats.courses[0];
  EXPECT_EQ(practice.course->key, "practice");
  EXPECT_EQ(practice.dueToday, 1u);
  ASSERT_EQ(practice.cycles.size(), 2u);
  EXPECT_EQ(practice.cycles[0], (CycleSummary{D(2026, 1, 5), D(2026, 1, 7), 4, 4, 4, 2, 200}));
  EXPECT_EQ(practice.Current(), (CycleSummary{D(2026, 2, 1), std::nullopt, 4, 2, 1, 1, 60}));
  EXPECT_DOUBLE_EQ(practice.Current().FirstTryShare(), 0.5);
  const CourseStatistics& checkmate = stats.courses[1];
  EXPECT_EQ(checkmate.course->key, "checkmate");
  EXPECT_EQ(checkmate.cycles, (std::vector<CycleSummary>{{std::nullopt, std::nullopt, 1}}));

  std::vector<std::string> order;
  for (const ThemeStatistics& theme : stats.themes)
    order.push_back(theme.token + " " + std::to_string(theme.solvedFirst) + "/" +
                    std::to_string(theme.attempts));
  EXPECT_EQ(order, (std::vector<std::string>{"promotion 0/1", "back-rank 1/2", "ladder 1/2",
                                             "mate-in-2 1/2", "castling 1/1"}));

  EXPECT_EQ(stats.rating, (Glicko{1432.5, 81.4, 0.06}));
  EXPECT_EQ(stats.ratedProblems, 2u);
  ASSERT_EQ(stats.ratingHistory.size(), 2u);
  EXPECT_EQ(stats.ratingHistory[1].day, D(2026, 3, 2));

  // Only the courses asked for: the problem books alone.
  const Statistics books =
      ComputeStatistics(h.files, data, CoursesOf(SolverFamily::ProblemBookSolver), D(2026, 3, 2));
  ASSERT_EQ(books.courses.size(), 1u);
  EXPECT_EQ(books.themes.size(), 0u);  // nothing tried in the checkmate book
}

TEST_F(StatisticsTest, TheTextReadsEveryFigureInEitherLanguage) {
  const Statistics stats = Compute();
  EXPECT_EQ(StatisticsText(stats, Language::English),
            "Rating 1433 ± 81, problems rated: 2.\r\n"
            "\r\n"
            "Tactics-0: Practice. Due for review today: 1.\r\n"
            "  Cycle 1, 2026-01-05 – 2026-01-07: solved 4 of 4, at the first attempt 2 of 4 (50%), "
            "time 3 min 20 s.\r\n"
            "  Cycle 2, started 2026-02-01: solved 1 of 4, at the first attempt 1 of 2 (50%), "
            "time 1 min 00 s.\r\n"
            "\r\n"
            "Checkmate. Due for review today: 0.\r\n"
            "  Cycle 1: solved 0 of 1, time 0 s.\r\n"
            "\r\n"
            "Themes, weakest first:\r\n"
            "  promotion: at the first attempt 0 of 1 (0%).\r\n"
            "  back-rank: at the first attempt 1 of 2 (50%).\r\n"
            "  ladder: at the first attempt 1 of 2 (50%).\r\n"
            "  mate-in-2: at the first attempt 1 of 2 (50%).\r\n"
            "  castling: at the first attempt 1 of 1 (100%).\r\n"
            "\r\n"
            "The rating on the last days of practice:\r\n"
            "  2026-03-01: Rating 1461 ± 120, problems: 1.\r\n"
            "  2026-03-02: Rating 1433 ± 81, problems: 1.\r\n");

  const std::string russian = StatisticsText(stats, Language::Russian, [](std::string_view token) {
    return token == "promotion" ? std::string("превращение") : std::string(token);
  });
  for (const std::string_view line :
       {"Рейтинг 1433 ± 81, задач в оценке: 2.\r\n",
        "  Круг 1, 05.01.2026 – 07.01.2026: решено 4 из 4, с первой попытки 2 из 4 (50\u00A0%), "
        "время 3 мин 20 с.\r\n",
        "  Круг 2, начат 01.02.2026: ", "Темы, начиная со слабых:\r\n",
        "  превращение: с первой попытки 0 из 1 (0\u00A0%).\r\n",
        "  01.03.2026: Рейтинг 1461 ± 120, задач: 1.\r\n"})
    EXPECT_NE(russian.find(line), std::string::npos) << line;

  // Before anything is tried.
  EXPECT_EQ(StatisticsText(Statistics{}, Language::English),
            "No rating yet: it comes with your first attempt at a problem.\r\n\r\n"
            "No themes yet: no problem has been tried.\r\n");
}

}  // namespace
}  // namespace zel::solver

// The themes' names: every token the problem data carries has one or is
// meant to be passed over, and a mate's moves are counted in good Russian.
#include "solver/themes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "solver/problem_data.h"

namespace zel::solver {
namespace {

using chess::Language;

TEST(Themes, NamesInBothLanguagesWithTheMatesMovesCounted) {
  EXPECT_EQ(ThemeName("fork", Language::Russian), "Вилка");
  EXPECT_EQ(ThemeName("back-rank-mate", Language::English), "Back-rank mate");
  EXPECT_EQ(ThemeName("hanging-piece", Language::Russian), "Незащищённая фигура");
  const std::pair<const char*, const char*> mates[] = {
      {"mate-in-1", "Мат в 1 ход"},       {"mate-in-2", "Мат в 2 хода"},
      {"mate-in-4", "Мат в 4 хода"},      {"mate-in-5", "Мат в 5 ходов"},
      {"mate-in-11", "Мат в 11 ходов"},   {"mate-in-12", "Мат в 12 ходов"},
      {"mate-in-21", "Мат в 21 ход"},     {"mate-in-22", "Мат в 22 хода"},
      {"mate-in-111", "Мат в 111 ходов"},
  };
  for (const auto& [token, russian] : mates)
    EXPECT_EQ(ThemeName(token, Language::Russian), russian);
  EXPECT_EQ(ThemeName("mate-in-1", Language::English), "Mate in 1");
  EXPECT_EQ(ThemeName("mate-in-3", Language::English), "Mate in 3");
  for (const char* odd : {"mate-in-", "mate-in-0", "mate-in-02", "mate-in-2x", "mate-in--2"})
    EXPECT_FALSE(ThemeName(odd, Language::Russian)) << odd;
}

TEST(Themes, TheNamesSkipWhatIsNotShownAndWhatIsUnknown) {
  const std::vector<std::string> tokens = {"mate",          "mate-in-2", "material",
                                           "no-such-theme", "pin",       "Fork"};
  EXPECT_EQ(ThemeNames(tokens, Language::Russian),
            (std::vector<std::string>{"Мат в 2 хода", "Связка"}));
  EXPECT_EQ(ThemeNames(tokens, Language::English), (std::vector<std::string>{"Mate in 2", "Pin"}));
  EXPECT_TRUE(ThemeNames(std::vector<std::string>{"mate", "material"}, Language::English).empty());
}

TEST(Themes, TheStatisticsNameEveryTokenTheSummaryLeavesOut) {
  EXPECT_EQ(StatisticsThemeName("mate", Language::Russian), "Мат");
  EXPECT_EQ(StatisticsThemeName("material", Language::English), "Winning material");
  EXPECT_EQ(StatisticsThemeName("pin", Language::Russian), "Связка");
  EXPECT_EQ(StatisticsThemeName("mate-in-2", Language::English), "Mate in 2");
  EXPECT_EQ(StatisticsThemeName("no-such-theme", Language::Russian), "no-such-theme");
}

TEST(Themes, EveryTableRowHasBothNamesEachInItsScript) {
  for (const ThemeRow& row : kThemes) {
    SCOPED_TRACE(std::string(row.token));
    EXPECT_GE(static_cast<unsigned char>(row.russian[0]), 0xD0) << "Cyrillic";
    EXPECT_LT(static_cast<unsigned char>(row.english[0]), 0x80) << "Latin";
    EXPECT_EQ(ThemeName(row.token, Language::English), row.english);
  }
}

#ifdef ZEL_PROBLEM_DATA
// A token the problem tools start writing must get its name here, or be
// meant to stay unshown: otherwise the users never see that theme.
TEST(Themes, EveryTokenOfTheBuiltProblemsHasANameOrIsMeantToBeUnshown) {
  std::ifstream file(ZEL_PROBLEM_DATA, std::ios::binary);
  ASSERT_TRUE(file) << ZEL_PROBLEM_DATA;
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  const ProblemData data = ParseProblemData(bytes, "Zadachi.dat");
  std::set<std::string> tokens;
  for (const CourseProblems& course : data.courses)
    for (const Problem& problem : course.problems)
      tokens.insert(problem.themes.begin(), problem.themes.end());
  ASSERT_GT(tokens.size(), 5u);
  for (const std::string& token : tokens) {
    const bool unshown = std::find(std::begin(kUnshownThemes), std::end(kUnshownThemes), token) !=
                         std::end(kUnshownThemes);
    EXPECT_TRUE(unshown || ThemeName(token, Language::Russian)) << token;
  }
}
#endif

}  // namespace
}  // namespace zel::solver

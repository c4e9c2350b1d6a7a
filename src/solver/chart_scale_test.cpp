// The marks along the pictures' axes: round values, and dates spaced for
// their labels over a few days, months or years.
#include "solver/chart_scale.h"

#include <gtest/gtest.h>

namespace zel::solver {
namespace {

using platform::Day;
using platform::DayOf;

Day D(int year, int month, int day) { return DayOf({year, month, day}); }

TEST(ChartScaleTest, ValuesGetRoundMarksAroundTheData) {
  ValueScale scale = RoundScale(1432, 1611, 5, 20);
  EXPECT_EQ(scale.step, 50);
  EXPECT_EQ(scale.Marks(), (std::vector<double>{1400, 1450, 1500, 1550, 1600, 1650}));

  scale = RoundScale(0, 4000, 4, 20);  // the whole scale of ratings
  EXPECT_EQ(scale.Marks(), (std::vector<double>{0, 1000, 2000, 3000, 4000}));

  scale = RoundScale(1500, 1500, 4, 20);  // flat: widened about the value
  EXPECT_LT(scale.low, 1500);
  EXPECT_GT(scale.high, 1500);
  EXPECT_LE(scale.high - scale.low, 40);

  scale = RoundScale(1200, 1900, 1, 20);  // one step only: a step that covers it all
  EXPECT_EQ(scale.Marks().size(), 2u);
  EXPECT_LE(scale.low, 1200);
  EXPECT_GE(scale.high, 1900);

  for (const int steps : {1, 2, 3, 7, 12})
    for (const auto& [low, high] : {std::pair{17.0, 23.0}, {999.5, 1000.5}, {3.0, 3987.0}}) {
      scale = RoundScale(low, high, steps, 1);
      EXPECT_LE(scale.low, low);
      EXPECT_GE(scale.high, high);
      EXPECT_LE(scale.Marks().size(), static_cast<std::size_t>(steps) + 1) << low << " " << steps;
    }
}

TEST(ChartScaleTest, DatesAreMarkedAsFinelyAsTheirLabelsAllow) {
  // A week, with room for every day.
  EXPECT_EQ(DayMarks(D(2026, 3, 2), D(2026, 3, 8), 1).size(), 7u);
  // A month at a week's room: Mondays.
  const std::vector<Day> mondays = DayMarks(D(2026, 3, 1), D(2026, 3, 31), 5);
  EXPECT_EQ(mondays, (std::vector<Day>{D(2026, 3, 2), D(2026, 3, 9), D(2026, 3, 16), D(2026, 3, 23),
                                       D(2026, 3, 30)}));
  // A year with room for a label every 40 days: every second month's first.
  const std::vector<Day> months = DayMarks(D(2026, 1, 5), D(2027, 1, 4), 40);
  EXPECT_EQ(months, (std::vector<Day>{D(2026, 3, 1), D(2026, 5, 1), D(2026, 7, 1), D(2026, 9, 1),
                                      D(2026, 11, 1), D(2027, 1, 1)}));
  // Ten years with little room: years.
  const std::vector<Day> years = DayMarks(D(2020, 6, 1), D(2030, 6, 1), 300);
  ASSERT_FALSE(years.empty());
  EXPECT_EQ(years.front(), D(2021, 1, 1));
  // One day is marked by itself.
  EXPECT_EQ(DayMarks(D(2026, 3, 2), D(2026, 3, 2), 30), (std::vector<Day>{D(2026, 3, 2)}));

  // Whatever the room: inside the range, in order, never closer than asked.
  for (const double room : {0.5, 3.0, 10.0, 45.0, 100.0, 400.0, 5000.0})
    for (const Day last : {D(2026, 1, 2), D(2026, 2, 28), D(2027, 12, 31), D(2090, 1, 1)}) {
      const std::vector<Day> marks = DayMarks(D(2026, 1, 1), last, room);
      for (std::size_t i = 0; i < marks.size(); ++i) {
        EXPECT_GE(marks[i], D(2026, 1, 1));
        EXPECT_LE(marks[i], last);
        if (i > 0) {
          EXPECT_GE(marks[i] - marks[i - 1], room);
        }
      }
      EXPECT_LE(marks.size(), 401u);
    }
}

}  // namespace
}  // namespace zel::solver

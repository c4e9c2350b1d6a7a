// The user's rating file: its exact bytes, what counts as damage, and that
// each problem is rated once, with one point of history a day.
#include "solver/user_rating.h"

#include <gtest/gtest.h>

namespace zel::solver {
namespace {

platform::Day D(int year, int month, int day) { return platform::DayOf({year, month, day}); }

constexpr std::string_view kSaved =
    "Zelmiku rating 1\r\n"
    "rating 1432.5107 81.44 0.05999 2026-03-02\r\n"
    "rated g0007\r\n"
    "rated g0012\r\n"
    "day 2026-03-01 1461.2 120.07 12\r\n"
    "day 2026-03-02 1432.5107 81.44 30\r\n"
    "end\r\n";

UserRating SavedModel() {
  return {{1432.5107, 81.44, 0.05999},
          D(2026, 3, 2),
          {"g0007", "g0012"},
          {{D(2026, 3, 1), 1461.2, 120.07, 12}, {D(2026, 3, 2), 1432.5107, 81.44, 30}}};
}

TEST(UserRatingFile, TheBytesWrittenAndReadBack) {
  EXPECT_EQ(FormatUserRating(SavedModel()), kSaved);
  EXPECT_EQ(ParseUserRating(kSaved), SavedModel());
  EXPECT_EQ(FormatUserRating(UserRating{}),
            "Zelmiku rating 1\r\nrating 1500 350 0.06 -\r\nend\r\n");
  EXPECT_EQ(ParseUserRating("Zelmiku rating 1\nrating 1500 350 0.06 -\nend\n"), UserRating{});
}

TEST(UserRatingFile, DamageOfEveryKindReadsAsNothing) {
  const std::string good(kSaved);
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string damaged[] = {
      "",
      good.substr(0, good.find("end")),
      good + "\r\n",
      replaced("rating 1", "rating 2"),
      replaced("1432.5107 81.44 0.05999 2026-03-02", "1432.5107 81.44 0.05999"),
      replaced("rating 1432.5107", "rating 1e3"),
      replaced("rating 1432.5107", "rating nan"),
      replaced("rating 1432.5107", "rating 4000.5"),
      replaced("rating 1432.5107", "rating -1"),
      replaced("81.44 0.05999", "0 0.05999"),       // no deviation
      replaced("81.44 0.05999", "350.01 0.05999"),  // more than the largest
      replaced("0.05999 2026", "0 2026"),
      replaced("0.05999 2026-03-02", "0.05999 2026-02-30"),
      replaced("rated g0012", "rated g0007"),                                // twice
      replaced("rated g0007\r\nrated g0012", "rated g0012\r\nrated g0007"),  // out of order
      replaced("rated g0012", "rated g 12"),
      replaced("rated g0012\r\n", "") + "rated g0012\r\n",  // after "end"
      replaced("day 2026-03-01", "day 2026-03-02"),         // a day twice
      replaced("day 2026-03-01 1461.2 120.07 12", "day 2026-03-01 1461.2 120.07 0"),
      replaced("day 2026-03-01 1461.2 120.07 12\r\n", "") + "x",
      replaced("rated g0012\r\nday 2026-03-01 1461.2 120.07 12",
               "day 2026-03-01 1461.2 120.07 12\r\nrated g0012"),  // history before ids
  };
  for (const std::string& bytes : damaged) EXPECT_FALSE(ParseUserRating(bytes)) << bytes;
}

TEST(UserRatingFile, EachProblemIsRatedOnceWithOnePointADay) {
  UserRating user;
  const auto first = RateFirstAttempt(user, "g0012", 1500, true, D(2026, 3, 1));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->before, Glicko{});
  EXPECT_GT(first->after.rating, 1500);
  EXPECT_FALSE(RateFirstAttempt(user, "g0012", 1500, false, D(2026, 3, 1)));
  const auto second = RateFirstAttempt(user, "g0007", 1500, false, D(2026, 3, 1));
  ASSERT_TRUE(second);
  EXPECT_LT(second->after.rating, second->before.rating);
  EXPECT_EQ(user.rated, (std::vector<std::string>{"g0007", "g0012"}));
  ASSERT_EQ(user.history.size(), 1u);
  EXPECT_EQ(user.history[0], (RatingPoint{D(2026, 3, 1), user.now.rating, user.now.deviation, 2}));

  // Ten days later the deviation has grown before the attempt counts.
  const Glicko before = user.now;
  const auto later = RateFirstAttempt(user, "g0020", before.rating, true, D(2026, 3, 11));
  ASSERT_TRUE(later);
  EXPECT_EQ(later->before, before);
  const Game game{before.rating, kProblemDeviation, 1};
  const Glicko sameDay = AfterPeriod(before, std::span(&game, 1));
  EXPECT_GT(later->after.deviation, sameDay.deviation);
  EXPECT_EQ(user.lastRated, D(2026, 3, 11));
  EXPECT_EQ(user.history.size(), 2u);
  EXPECT_EQ(ParseUserRating(FormatUserRating(user)), user);

  // A clock set back counts the attempt on the latest day the file knows.
  ASSERT_TRUE(RateFirstAttempt(user, "g0030", 1500, true, D(2026, 3, 5)));
  EXPECT_EQ(user.history.size(), 2u);
  EXPECT_EQ(user.history.back().attempts, 2u);
  EXPECT_EQ(ParseUserRating(FormatUserRating(user)), user);
}

}  // namespace
}  // namespace zel::solver

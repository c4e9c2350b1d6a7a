// The rating system against its author's worked example, and how it behaves
// at the edges a trainer reaches: wins against far weaker problems, long
// breaks, ratings far apart.
#include "solver/glicko.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zel::solver {
namespace {

TEST(Glicko, TheWorkedExampleOfTheSystemsDescription) {
  // A player of 1500 (deviation 200) beats a 1400 (30) and loses to a 1550
  // (100) and a 1700 (300) in one period: 1464.06, 151.52, volatility 0.05999.
  const Game games[] = {{1400, 30, 1}, {1550, 100, 0}, {1700, 300, 0}};
  const Glicko after = AfterPeriod({1500, 200, 0.06}, games);
  EXPECT_NEAR(after.rating, 1464.06, 0.01);
  EXPECT_NEAR(after.deviation, 151.52, 0.01);
  EXPECT_NEAR(after.volatility, 0.05999, 0.00001);
}

TEST(Glicko, ResultsMoveTheRatingByWhatTheyTell) {
  const Glicko start;
  const Game easyWin{600, 60, 1};
  const Game easyLoss{600, 60, 0};
  const Game evenWin{1500, 60, 1};
  const Glicko afterEasyWin = AfterPeriod(start, std::span(&easyWin, 1));
  const Glicko afterEasyLoss = AfterPeriod(start, std::span(&easyLoss, 1));
  const Glicko afterEvenWin = AfterPeriod(start, std::span(&evenWin, 1));
  // Beating a far weaker problem tells little; losing to it, much.
  EXPECT_GT(afterEasyWin.rating, 1500);
  EXPECT_LT(afterEasyWin.rating - 1500, 5);
  EXPECT_LT(afterEasyLoss.rating, 1000);
  EXPECT_GT(afterEvenWin.rating - 1500, 150);
  // Every game makes the rating surer.
  for (const Glicko& after : {afterEasyWin, afterEasyLoss, afterEvenWin})
    EXPECT_LT(after.deviation, start.deviation);

  // A settled player moves less for the same result.
  const Glicko settled{1500, 60, 0.06};
  EXPECT_LT(AfterPeriod(settled, std::span(&evenWin, 1)).rating - 1500, 25);
}

TEST(Glicko, IdleTimeWidensTheDeviationUpToTheLargest) {
  const Glicko settled{1432, 60, 0.06};
  EXPECT_EQ(AfterIdlePeriods(settled, 0), settled);
  // sqrt(60^2 + 30 (0.06 x 173.7178)^2): a day is a period; a month away, 83.
  const Glicko month = AfterIdlePeriods(settled, 30);
  EXPECT_EQ(month.rating, 1432);
  EXPECT_NEAR(month.deviation, 82.82, 0.01);
  EXPECT_EQ(AfterIdlePeriods(settled, 100000).deviation, kLargestDeviation);
  EXPECT_EQ(AfterPeriod(settled, {}), AfterIdlePeriods(settled, 1));
}

TEST(Glicko, RatingsFarApartGiveNumbers) {
  for (const double opponent : {0.0, 4000.0})
    for (const double score : {0.0, 1.0}) {
      const Game game{opponent, 60, score};
      for (const Glicko& player : {Glicko{0, 30, 0.06}, Glicko{4000, 350, 0.06}}) {
        const Glicko after = AfterPeriod(player, std::span(&game, 1));
        EXPECT_TRUE(std::isfinite(after.rating) && std::isfinite(after.deviation) &&
                    std::isfinite(after.volatility))
            << opponent << " " << score << " " << player.rating;
        EXPECT_LE(after.deviation, kLargestDeviation);
      }
    }
}

}  // namespace
}  // namespace zel::solver

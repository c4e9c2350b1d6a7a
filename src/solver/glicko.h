// The Glicko-2 rating system: a rating, its deviation (how uncertain the
// rating is, in the same points) and its volatility (how erratic the player's
// results are), updated after each rating period from the games played in it.
// The user is rated against the problems, whose ratings are fixed.
#pragma once

#include <span>

namespace zel::solver {

struct Glicko {
  double rating = 1500;    // points of the people's scale the problems are rated on
  double deviation = 350;  // points; 350 knows nothing, below 50 is rarely reached
  double volatility = 0.06;
  friend bool operator==(const Glicko&, const Glicko&) = default;
};

// The largest deviation: a new player's, and the most that idle time brings.
inline constexpr double kLargestDeviation = 350;
// How much the volatility may change at once (the system constant tau): 0.5
// is in the middle of the range the system's author recommends, 0.3 to 1.2.
inline constexpr double kVolatilityChange = 0.5;

struct Game {
  double opponentRating;
  double opponentDeviation;
  double score;  // 1 won, 0 lost, 0.5 a draw
};

// One rating period with these games; without games only the deviation grows.
Glicko AfterPeriod(const Glicko& player, std::span<const Game> games);

// `periods` rating periods without a game: the deviation grows as the
// system has it for each, up to kLargestDeviation.
Glicko AfterIdlePeriods(const Glicko& player, int periods);

}  // namespace zel::solver

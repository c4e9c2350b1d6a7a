// The user's tactics rating, one for all courses and both solver families:
// Glicko-2 against the problems' fixed ratings, with its history. It lives in
// one small file beside the courses' progress files, written the same way:
// under the folder's progress lock, read again, changed and replaced whole.
//
//   Zelmiku rating 1
//   rating 1432.5107 81.44 0.05999 2026-03-02
//   rated g0007
//   rated g0012
//   day 2026-03-01 1461.2 120.07 12
//   day 2026-03-02 1432.5107 81.44 30
//   end
//
// The rating, its deviation, its volatility and the day of the last rated
// attempt ("-" before the first); the problems already rated, one per line,
// in the order of their ids; the history, one line per day with rated
// attempts: the rating and deviation at the end of the day and the number of
// attempts rated that day, days in order. Anything else is damage, handled as
// for a course's progress file: set aside as "<name>.bad", a fresh start.
//
// What is rated: the first attempt at each problem, once ever, whatever the
// course, cycle or solver. Solved without a mistake, a hint or the shown
// solution is a win; anything else a loss. A problem met again in a later
// cycle, in a review, or after the course's results were erased, is known to
// the user and rated no more: it would measure memory, not skill.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "solver/catalog.h"
#include "solver/glicko.h"

namespace zel::solver {

struct RatingPoint {
  platform::Day day;
  double rating = 0;
  double deviation = 0;
  std::uint32_t attempts = 0;  // rated that day
  friend bool operator==(const RatingPoint&, const RatingPoint&) = default;
};

struct UserRating {
  Glicko now;
  std::optional<platform::Day> lastRated;
  std::vector<std::string> rated;    // ids, sorted
  std::vector<RatingPoint> history;  // by day
  friend bool operator==(const UserRating&, const UserRating&) = default;

  bool IsRated(std::string_view id) const;
};

struct RatingChange {
  Glicko before;
  Glicko after;
};

// The ratings a rating is kept within, the ends of the people's scale.
inline constexpr double kLowestRating = 0;
inline constexpr double kHighestRating = 4000;
// The problems' ratings are fitted, not measured from games: taken as this
// uncertain, so that one result against a problem counts a little less than
// against a player whose rating is known exactly.
inline constexpr double kProblemDeviation = 60;

// Rates the first attempt at problem `id`, of rating `problemRating`, on day
// `today`: first the deviation grows for each day without a rated attempt
// since the last one, then the attempt is one rating period of one game.
// Nothing when the problem was rated before.
std::optional<RatingChange> RateFirstAttempt(UserRating& user, std::string_view id,
                                             double problemRating, bool solved,
                                             platform::Day today);

std::string FormatUserRating(const UserRating& user);
// Nothing when the bytes are damaged.
std::optional<UserRating> ParseUserRating(std::string_view bytes);

}  // namespace zel::solver

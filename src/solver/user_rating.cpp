#include "solver/user_rating.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "solver/line_format.h"
#include "solver/problem_data.h"

namespace zel::solver {
namespace {

constexpr std::string_view kHeader = "Zelmiku rating 1";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kUnknownDay = "-";
// The volatility a file may hold; the system keeps it near 0.06.
constexpr double kLowestVolatility = 0.0001;
constexpr double kHighestVolatility = 0.9;

bool Plausible(const Glicko& g) {
  return g.rating >= kLowestRating && g.rating <= kHighestRating && g.deviation > 0 &&
         g.deviation <= kLargestDeviation && g.volatility >= kLowestVolatility &&
         g.volatility <= kHighestVolatility;
}

// A rating the file can hold: an update that went outside the scale is held
// at its ends; one that is no number at all leaves the rating as it was.
Glicko Kept(const Glicko& before, const Glicko& after) {
  if (!std::isfinite(after.rating) || !std::isfinite(after.deviation) ||
      !std::isfinite(after.volatility) || after.deviation <= 0)
    return before;
  return {std::clamp(after.rating, kLowestRating, kHighestRating),
          std::min(after.deviation, kLargestDeviation),
          std::clamp(after.volatility, kLowestVolatility, kHighestVolatility)};
}

std::optional<Glicko> ReadGlicko(std::string_view rating, std::string_view deviation,
                                 std::string_view volatility) {
  const std::optional<double> r = lines::ReadNumber(rating);
  const std::optional<double> d = lines::ReadNumber(deviation);
  const std::optional<double> v = lines::ReadNumber(volatility);
  if (!r || !d || !v) return std::nullopt;
  const Glicko g{*r, *d, *v};
  if (!Plausible(g)) return std::nullopt;
  return g;
}

}  // namespace

bool UserRating::IsRated(std::string_view id) const {
  return std::binary_search(rated.begin(), rated.end(), id);
}

std::optional<RatingChange> RateFirstAttempt(UserRating& user, std::string_view id,
                                             double problemRating, bool solved,
                                             platform::Day today) {
  const auto place = std::lower_bound(user.rated.begin(), user.rated.end(), id);
  if (place != user.rated.end() && *place == id) return std::nullopt;
  user.rated.insert(place, std::string(id));

  const Glicko before = user.now;
  const int idleDays = user.lastRated ? std::max(today - *user.lastRated, 0) : 0;
  const Game game{problemRating, kProblemDeviation, solved ? 1.0 : 0.0};
  user.now = Kept(before, AfterPeriod(AfterIdlePeriods(before, idleDays), std::span(&game, 1)));
  user.lastRated = today;

  if (user.history.empty() || user.history.back().day < today)
    user.history.push_back({today, 0, 0, 0});
  RatingPoint& point = user.history.back();  // a clock set back: the latest day's point
  point.rating = user.now.rating;
  point.deviation = user.now.deviation;
  if (point.attempts < std::numeric_limits<std::uint32_t>::max()) ++point.attempts;
  return RatingChange{before, user.now};
}

std::string FormatUserRating(const UserRating& user) {
  using lines::AppendLine, lines::NumberText, lines::DateText;
  std::string text;
  AppendLine(text, {kHeader});
  AppendLine(text, {"rating", NumberText(user.now.rating), NumberText(user.now.deviation),
                    NumberText(user.now.volatility),
                    user.lastRated ? DateText(*user.lastRated) : std::string(kUnknownDay)});
  for (const std::string& id : user.rated) AppendLine(text, {"rated", id});
  for (const RatingPoint& point : user.history)
    AppendLine(text, {"day", DateText(point.day), NumberText(point.rating),
                      NumberText(point.deviation), std::to_string(point.attempts)});
  AppendLine(text, {kEnd});
  return text;
}

std::optional<UserRating> ParseUserRating(std::string_view bytes) {
  std::optional<std::string_view> line = lines::Next(bytes);
  if (line != kHeader) return std::nullopt;
  line = lines::Next(bytes);
  const auto now = line ? lines::Fields<5>(*line) : std::nullopt;
  if (!now || (*now)[0] != "rating") return std::nullopt;

  UserRating user;
  const std::optional<Glicko> glicko = ReadGlicko((*now)[1], (*now)[2], (*now)[3]);
  if (!glicko) return std::nullopt;
  user.now = *glicko;
  if ((*now)[4] != kUnknownDay) {
    user.lastRated = lines::ReadDate((*now)[4]);
    if (!user.lastRated) return std::nullopt;
  }

  for (;;) {
    line = lines::Next(bytes);
    if (!line) return std::nullopt;  // cut off before "end"
    if (*line == kEnd) break;
    if (const auto rated = lines::Fields<2>(*line); rated && (*rated)[0] == "rated") {
      // In order, each once, and before the history.
      if (!IsProblemId((*rated)[1]) || !user.history.empty() ||
          (!user.rated.empty() && user.rated.back() >= (*rated)[1]))
        return std::nullopt;
      user.rated.emplace_back((*rated)[1]);
      continue;
    }
    const auto day = lines::Fields<5>(*line);
    if (!day || (*day)[0] != "day") return std::nullopt;
    const std::optional<platform::Day> date = lines::ReadDate((*day)[1]);
    const std::optional<Glicko> point = ReadGlicko((*day)[2], (*day)[3], "0.06");
    const std::optional<std::uint32_t> attempts = lines::ReadCount((*day)[4]);
    if (!date || !point || !attempts || *attempts == 0 ||
        (!user.history.empty() && user.history.back().day >= *date))
      return std::nullopt;
    user.history.push_back({*date, point->rating, point->deviation, *attempts});
  }
  if (!bytes.empty()) return std::nullopt;  // anything after "end"
  return user;
}

}  // namespace zel::solver

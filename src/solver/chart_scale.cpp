#include "solver/chart_scale.h"

#include <algorithm>
#include <cmath>

namespace zel::solver {
namespace {

using platform::CivilDate;
using platform::Day;

// More marks than any axis has room for: a candidate spacing that would
// make more is too fine, and is not even listed.
constexpr std::int32_t kMostMarks = 400;

// Mondays: 1970-01-01, day 0, was a Thursday.
constexpr std::int32_t kMondayOffset = 3;

std::vector<Day> EveryNDays(Day first, Day last, std::int32_t n, std::int32_t offset) {
  std::vector<Day> days;
  // The first day at or after `first` whose number plus offset divides by n;
  // a floor modulo, since days before 1970 are negative.
  const std::int32_t remainder = ((first.number + offset) % n + n) % n;
  for (Day day = first + (remainder == 0 ? 0 : n - remainder); day <= last; day = day + n)
    days.push_back(day);
  return days;
}

std::vector<Day> EveryNMonths(Day first, Day last, int n) {
  std::vector<Day> days;
  const CivilDate start = platform::DateOf(first);
  int month = start.year * 12 + start.month - 1;  // months since year 0
  month += (n - month % n) % n;
  for (;; month += n) {
    const CivilDate date{month / 12, month % 12 + 1, 1};
    if (!platform::IsValidDate(date)) break;
    const Day day = platform::DayOf(date);
    if (day > last) break;
    if (day >= first) days.push_back(day);
  }
  return days;
}

bool SpacedEnough(const std::vector<Day>& days, double minimumDays) {
  for (std::size_t i = 1; i < days.size(); ++i)
    if (days[i] - days[i - 1] < minimumDays) return false;
  return true;
}

}  // namespace

std::vector<double> ValueScale::Marks() const {
  std::vector<double> marks;
  const auto steps = static_cast<int>(std::lround((high - low) / step));
  for (int i = 0; i <= steps; ++i) marks.push_back(low + step * i);
  return marks;
}

ValueScale RoundScale(double low, double high, int maxSteps, double minimumSpan) {
  if (!std::isfinite(low) || !std::isfinite(high)) low = high = 0;
  if (high < low) std::swap(low, high);
  if (high - low < minimumSpan || high == low) {
    const double middle = (low + high) / 2, span = std::max(minimumSpan, 1.0);
    low = middle - span / 2;
    high = middle + span / 2;
  }
  const int steps = std::max(maxSteps, 1);
  const double rough = (high - low) / steps;
  ValueScale scale;
  // Rounding the ends out can add a step: then the next round step.
  for (double power = std::pow(10.0, std::floor(std::log10(rough)));; power *= 10)
    for (const double factor : {1.0, 2.0, 5.0}) {
      scale.step = factor * power;
      scale.low = std::floor(low / scale.step) * scale.step;
      scale.high = std::ceil(high / scale.step) * scale.step;
      if ((scale.high - scale.low) / scale.step <= steps + 1e-9) return scale;
    }
}

std::vector<Day> DayMarks(Day first, Day last, double minimumDays) {
  if (last < first) std::swap(first, last);
  const std::int32_t span = last - first;
  struct Spacing {
    std::int32_t days;  // for a step of days; 0 for months
    int months;
  };
  static constexpr Spacing kSpacings[] = {
      {1, 0},  {2, 0},  {7, 0},   {14, 0},  {0, 1},   {0, 2},    {0, 3},    {0, 6},    {0, 12},
      {0, 24}, {0, 60}, {0, 120}, {0, 240}, {0, 600}, {0, 1200}, {0, 2400}, {0, 6000}, {0, 12000},
  };
  for (const Spacing& spacing : kSpacings) {
    const std::int32_t approximate = spacing.days > 0 ? spacing.days : spacing.months * 30;
    if (span / approximate > kMostMarks || approximate < minimumDays * 0.9) continue;
    std::vector<Day> days = spacing.days > 0 ? EveryNDays(first, last, spacing.days,
                                                          spacing.days >= 7 ? kMondayOffset : 0)
                                             : EveryNMonths(first, last, spacing.months);
    if (!days.empty() && SpacedEnough(days, minimumDays)) return days;
  }
  // A range shorter than any spacing: its first day.
  return {first};
}

}  // namespace zel::solver

// Where a picture's axes put their marks: round numbers along a value axis
// (1, 2 or 5 times a power of ten), and along a time axis days, weeks,
// months or years, the finest that leaves room for their labels.
#pragma once

#include <vector>

#include "platform/clock.h"

namespace zel::solver {

struct ValueScale {
  double low = 0;  // a multiple of `step`, at or below the lowest value
  double high = 1;
  double step = 1;
  // low, low + step, ... high.
  std::vector<double> Marks() const;
};

// A scale taking in `low` to `high` in at most `maxSteps` steps (at least
// one). A range narrower than `minimumSpan` is widened about its middle, so
// that a flat line is drawn across the middle rather than on an edge.
ValueScale RoundScale(double low, double high, int maxSteps, double minimumSpan);

// The days from `first` to `last` to mark, spaced at least `minimumDays`
// apart: every day, every second, Mondays, every other Monday, the first of
// every month, of every 2, 3 or 6 months, of every year, or of every 2, 5,
// 10... years, the finest that is spaced enough and marks a day in the
// range; the first day when none does.
std::vector<platform::Day> DayMarks(platform::Day first, platform::Day last, double minimumDays);

}  // namespace zel::solver

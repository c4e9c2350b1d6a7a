// The statistics window without the window: its tables as rows of texts, its
// two pictures (the rating over time, and each cycle's time per course) and
// the whole page laid out for a client area, as a Drawing a window paints.
// With pictures off the window shows StatisticsText instead.
#pragma once

#include <string>
#include <vector>

#include "solver/drawing.h"
#include "solver/statistics.h"

namespace zel::solver {

// One course: the cycle under way, and how many cycles there have been.
struct CourseRow {
  std::string title;
  std::string solved;    // "12 из 35"
  std::string firstTry;  // "64 %", or "—" before any attempt
  std::string time;      // "12 мин 30 с", or "—"
  std::string cycles;    // "3"
};

// One theme, over every cycle of every course.
struct ThemeRow {
  std::string name;
  std::string firstTry;  // "9 из 20"
  std::string share;     // "45 %"
  double rate = 0;       // 0 to 1
};

std::vector<CourseRow> CourseRows(const Statistics& statistics, Language language);
// Weakest first, as the statistics hold them.
std::vector<ThemeRow> ThemeRows(const Statistics& statistics, Language language,
                                const ThemeNameLookup& names);

// The rating by day as a line over a time axis, in `area` with its heading.
void DrawRatingPicture(const Statistics& statistics, Language language, PixelRect area,
                       const TextMeasure& measure, Drawing& drawing);
// A row of bars per course that has cycles with time: each cycle's time, the
// tallest bar the course's longest cycle, whose time is written beside it.
void DrawCyclesPicture(const Statistics& statistics, Language language, PixelRect area,
                       const TextMeasure& measure, Drawing& drawing);

// The whole page: the rating in words at the top; the two pictures on the
// left, one above the other; the courses' table and the themes' table on the
// right, as many themes as fit. Nothing is drawn outside `client`.
Drawing DrawStatistics(const Statistics& statistics, Language language,
                       const ThemeNameLookup& names, PixelRect client, const TextMeasure& measure);

}  // namespace zel::solver

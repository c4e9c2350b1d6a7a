// The statistics window's two pictures: the rating by day as a line over a
// time axis, and a row of bars per course, one bar per cycle.
#include <algorithm>
#include <cmath>

#include "solver/chart_scale.h"
#include "solver/statistics_phrases.h"
#include "solver/statistics_screen.h"
#include "solver/texts.h"

namespace zel::solver {
namespace {

// The narrowest rating range a picture shows: a flat history is drawn as a
// line in the middle of 20 points rather than across the whole height.
constexpr double kNarrowestRatings = 20;
// The narrowest bar, in pixels; with more cycles than fit, the last ones.
constexpr int kNarrowestBar = 2;

// The picture's title on its first line; what is left below it, half a line
// on. Nothing is left when even the title does not fit.
PixelRect DrawHeading(std::string_view title, PixelRect area, int lineHeight, Drawing& drawing) {
  if (area.Height() < lineHeight) return {area.left, area.top, area.left, area.top};
  drawing.texts.push_back({{area.left, area.top, area.right, area.top + lineHeight},
                           std::string(title),
                           Align::Left,
                           Ink::Heading});
  return {area.left, std::min(area.bottom, area.top + lineHeight * 3 / 2), area.right, area.bottom};
}

void DrawMessage(std::string_view text, PixelRect area, int lineHeight, Drawing& drawing) {
  if (area.Height() >= lineHeight && area.Width() > 0)
    drawing.texts.push_back({{area.left, area.top, area.right, area.top + lineHeight},
                             std::string(text),
                             Align::Left,
                             Ink::Text});
}

// A label of `width` centred on `x`, moved inside `within` where it would
// stick out.
PixelRect CentredOn(int x, int width, int top, int height, PixelRect within) {
  int left = std::clamp(x - width / 2, within.left, std::max(within.left, within.right - width));
  return {left, top, std::min(within.right, left + width), top + height};
}

std::string RatingFigure(double value) { return std::to_string(std::lround(value)); }

}  // namespace

void DrawRatingPicture(const Statistics& statistics, Language language, PixelRect area,
                       const TextMeasure& measure, Drawing& drawing) {
  const int line = measure.lineHeight;
  const PixelRect below =
      DrawHeading(StatisticsPhrasesOf(language).ratingPicture, area, line, drawing);
  const std::vector<RatingPoint>& history = statistics.ratingHistory;
  if (history.empty()) {
    DrawMessage(StatisticsPhrasesOf(language).notYetRated, below, line, drawing);
    return;
  }

  // Half a line above for the top mark's figure, a line and a half below for
  // the dates, clear of the lowest figure.
  PixelRect plot{below.left, below.top + line / 2, below.right, below.bottom - line * 3 / 2};
  if (plot.Height() < line) return;
  auto [lowest, highest] = std::minmax_element(
      history.begin(), history.end(),
      [](const RatingPoint& a, const RatingPoint& b) { return a.rating < b.rating; });
  const ValueScale scale = RoundScale(std::clamp(lowest->rating, kLowestRating, kHighestRating),
                                      std::clamp(highest->rating, kLowestRating, kHighestRating),
                                      std::max(1, plot.Height() / (line * 2)), kNarrowestRatings);
  const std::vector<double> marks = scale.Marks();
  int figureWidth = 0;
  for (const double mark : marks)
    figureWidth = std::max(figureWidth, measure.width(RatingFigure(mark)));

  platform::Day first = history.front().day, last = history.back().day;
  const bool oneDay = first == last;
  if (oneDay) {  // in the middle
    first = {first.number - 1};
    last = last + 1;
  }
  const int dateWidth = measure.width(DayText(last, language));
  plot.left += figureWidth + line / 2;
  plot.right -= dateWidth / 2;
  if (plot.Width() < line) return;

  const double span = last - first;
  const auto x = [&](platform::Day day) {
    return plot.left + static_cast<int>(std::lround((day - first) * (plot.Width() - 1) / span));
  };
  const auto y = [&](double rating) {
    const double share =
        (std::clamp(rating, scale.low, scale.high) - scale.low) / (scale.high - scale.low);
    return plot.bottom - 1 - static_cast<int>(std::lround(share * (plot.Height() - 1)));
  };

  for (const double mark : marks) {
    drawing.lines.push_back({{{plot.left, y(mark)}, {plot.right - 1, y(mark)}}, Ink::Grid});
    drawing.texts.push_back(
        {{below.left, y(mark) - line / 2, plot.left - line / 4, y(mark) - line / 2 + line},
         RatingFigure(mark),
         Align::Right,
         Ink::Label});
  }
  const double pixelsADay = (plot.Width() - 1) / span;
  const std::vector<platform::Day> days =
      oneDay ? std::vector{history.front().day}
             : DayMarks(first, last, (dateWidth + line) / pixelsADay);
  for (const platform::Day day : days) {
    drawing.lines.push_back(
        {{{x(day), plot.bottom - 1}, {x(day), plot.bottom + line / 4}}, Ink::Axis});
    drawing.texts.push_back({CentredOn(x(day), dateWidth, plot.bottom + line / 2, line, below),
                             DayText(day, language), Align::Center, Ink::Label});
  }
  drawing.lines.push_back(
      {{{plot.left, plot.top}, {plot.left, plot.bottom - 1}, {plot.right - 1, plot.bottom - 1}},
       Ink::Axis});

  // A year of days is a few hundred points: one line, without the points
  // that fall on the one before.
  LinePiece rating{{}, Ink::Line};
  for (const RatingPoint& point : history) {
    const Point at{x(point.day), y(point.rating)};
    if (rating.points.empty() || rating.points.back() != at) rating.points.push_back(at);
  }
  const Point now = rating.points.back();
  if (rating.points.size() > 1) drawing.lines.push_back(std::move(rating));
  // Today's rating, and the only one when there is one, as a dot.
  const int dot = std::max(2, line / 5);
  drawing.boxes.push_back(
      {{std::max(plot.left, now.x - dot), std::max(plot.top, now.y - dot),
        std::min(plot.right, now.x + dot + 1), std::min(plot.bottom, now.y + dot + 1)},
       Ink::Line});
}

void DrawCyclesPicture(const Statistics& statistics, Language language, PixelRect area,
                       const TextMeasure& measure, Drawing& drawing) {
  const int line = measure.lineHeight;
  const PixelRect below =
      DrawHeading(StatisticsPhrasesOf(language).cyclesPicture, area, line, drawing);
  std::vector<const CourseStatistics*> courses;
  for (const CourseStatistics& course : statistics.courses)
    if (std::any_of(course.cycles.begin(), course.cycles.end(),
                    [](const CycleSummary& cycle) { return cycle.seconds > 0; }))
      courses.push_back(&course);
  if (courses.empty()) {
    DrawMessage(StatisticsPhrasesOf(language).noCycles, below, line, drawing);
    return;
  }

  // Up to three lines a row; as many rows as fit, at a line and a quarter.
  const int rowHeight =
      std::clamp(below.Height() / static_cast<int>(courses.size()), line * 5 / 4, line * 3);
  courses.resize(std::min<std::size_t>(courses.size(), below.Height() / rowHeight));
  int titleWidth = 0, timeWidth = 0;
  for (const CourseStatistics* course : courses) {
    titleWidth = std::max(titleWidth, measure.width(course->course->Title(language)));
    std::uint64_t longest = 0;
    for (const CycleSummary& cycle : course->cycles) longest = std::max(longest, cycle.seconds);
    timeWidth = std::max(timeWidth, measure.width(DurationText(longest, language)));
  }
  titleWidth = std::min(titleWidth, below.Width() / 3);
  timeWidth = std::min(timeWidth, below.Width() / 4);
  const int gap = std::max(1, line / 8);
  const int more = measure.width("…");

  int top = below.top;
  for (const CourseStatistics* course : courses) {
    const PixelRect row{below.left, top, below.right, top + rowHeight};
    top = row.bottom;
    const std::vector<CycleSummary>& cycles = course->cycles;
    drawing.texts.push_back({{row.left, row.top, row.left + titleWidth, row.bottom},
                             std::string(course->course->Title(language)),
                             Align::Left,
                             Ink::Text});
    PixelRect bars{row.left + titleWidth + line / 2, row.top + line / 4,
                   row.right - timeWidth - line / 2, row.bottom - line / 4};
    // As many of the last cycles as fit at the narrowest bar; "…" for the
    // ones before.
    std::size_t shown = cycles.size();
    const int fitting = (bars.Width() + gap) / (kNarrowestBar + gap);
    if (fitting <= 0 || bars.Height() < 2) continue;
    if (shown > static_cast<std::size_t>(fitting)) {
      drawing.texts.push_back(
          {{bars.left, row.top, bars.left + more, row.bottom}, "…", Align::Left, Ink::Label});
      bars.left += more + gap;
      shown = std::max(1, (bars.Width() + gap) / (kNarrowestBar + gap));
    }
    const std::size_t from = cycles.size() - shown;
    std::uint64_t longest = 0;
    for (std::size_t c = from; c < cycles.size(); ++c)
      longest = std::max(longest, cycles[c].seconds);
    const int barWidth =
        std::clamp((bars.Width() + gap) / static_cast<int>(shown) - gap, kNarrowestBar, line * 2);
    drawing.texts.push_back({{row.right - timeWidth, row.top, row.right, row.bottom},
                             DurationText(longest, language),
                             Align::Right,
                             Ink::Label});
    drawing.lines.push_back(
        {{{bars.left, bars.bottom - 1}, {bars.right - 1, bars.bottom - 1}}, Ink::Axis});
    for (std::size_t c = from; c < cycles.size(); ++c) {
      const CycleSummary& cycle = cycles[c];
      if (cycle.seconds == 0) continue;
      const int height = std::max<int>(
          1, static_cast<int>(std::llround(static_cast<double>(cycle.seconds) /
                                           static_cast<double>(longest) * (bars.Height() - 1))));
      const int left = bars.left + static_cast<int>(c - from) * (barWidth + gap);
      const bool underWay = c + 1 == cycles.size() && !cycle.finished;
      drawing.boxes.push_back({{left, bars.bottom - 1 - height, left + barWidth, bars.bottom - 1},
                               underWay ? Ink::BarUnderWay : Ink::Bar});
    }
  }
}

}  // namespace zel::solver

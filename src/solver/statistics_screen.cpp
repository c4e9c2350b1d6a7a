// The statistics window's tables and its page: the rating in words, the two
// pictures on the left and the two tables on the right.
#include "solver/statistics_screen.h"

#include <algorithm>
#include <span>

#include "solver/statistics_phrases.h"
#include "solver/texts.h"

namespace zel::solver {
namespace {

struct Column {
  std::string_view heading;
  Align align;
  int width = 0;  // 0: as wide as its widest text
};

// A row is a line and a quarter high: a little air between the lines.
int RowHeight(const TextMeasure& measure) { return measure.lineHeight * 5 / 4; }

// The columns' left and right edges in `area`: each as wide as its widest
// text, the first taking what is left. When even that is too wide, every
// column gives up the same share, and its texts are cut.
std::vector<PixelRect> PlaceColumns(std::span<const Column> columns,
                                    const std::vector<std::vector<std::string>>& rows,
                                    PixelRect area, const TextMeasure& measure) {
  const int gap = measure.lineHeight / 2;
  std::vector<int> widths;
  int total = 0;
  for (std::size_t c = 1; c < columns.size(); ++c) {
    int width = columns[c].width;
    if (width == 0) {
      width = measure.width(columns[c].heading);
      for (const std::vector<std::string>& row : rows)
        width = std::max(width, measure.width(row[c]));
    }
    widths.push_back(width);
    total += width + gap;
  }
  const int first = std::max(area.Width() / 3, area.Width() - total);
  const double shrink =
      total == 0 ? 1 : std::min(1.0, static_cast<double>(area.Width() - first) / total);
  std::vector<PixelRect> placed{{area.left, area.top, area.left + first, area.bottom}};
  int left = area.left + first;
  for (const int width : widths) {
    const int right = std::min(area.right, left + static_cast<int>((width + gap) * shrink));
    placed.push_back(
        {std::min(right, left + static_cast<int>(gap * shrink)), area.top, right, area.bottom});
    left = right;
  }
  return placed;
}

struct PlacedTable {
  std::vector<PixelRect> columns;  // each over the table's height
  std::vector<PixelRect> rows;     // the rows drawn, each across the table
};

// The columns' headings and as many rows as fit in `area`.
PlacedTable DrawTable(std::span<const Column> columns,
                      const std::vector<std::vector<std::string>>& rows, PixelRect area,
                      const TextMeasure& measure, Drawing& drawing) {
  const int height = RowHeight(measure);
  if (area.Height() < height || area.Width() <= 0) return {};
  PlacedTable table{PlaceColumns(columns, rows, area, measure), {}};
  const std::vector<PixelRect>& placed = table.columns;
  std::vector<PixelRect>& boxes = table.rows;
  for (std::size_t c = 0; c < columns.size(); ++c)
    drawing.texts.push_back({{placed[c].left, area.top, placed[c].right, area.top + height},
                             std::string(columns[c].heading),
                             columns[c].align,
                             Ink::Heading});
  drawing.lines.push_back(
      {{{area.left, area.top + height - 1}, {area.right - 1, area.top + height - 1}}, Ink::Grid});
  for (int top = area.top + height; boxes.size() < rows.size() && top + height <= area.bottom;
       top += height) {
    const std::vector<std::string>& row = rows[boxes.size()];
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (!row[c].empty())
        drawing.texts.push_back({{placed[c].left, top, placed[c].right, top + height},
                                 row[c],
                                 columns[c].align,
                                 Ink::Text});
    boxes.push_back({area.left, top, area.right, top + height});
  }
  return table;
}

int DrawCourseTable(const Statistics& statistics, Language language, PixelRect area,
                    const TextMeasure& measure, Drawing& drawing) {
  const StatisticsPhrases& p = StatisticsPhrasesOf(language);
  const Column columns[] = {{p.courseColumn, Align::Left},
                            {p.solvedColumn, Align::Right},
                            {p.firstTryColumn, Align::Right},
                            {p.timeColumn, Align::Right},
                            {p.cyclesColumn, Align::Right}};
  std::vector<std::vector<std::string>> cells;
  for (CourseRow& row : CourseRows(statistics, language))
    cells.push_back({std::move(row.title), std::move(row.solved), std::move(row.firstTry),
                     std::move(row.time), std::move(row.cycles)});
  const std::vector<PixelRect> rows = DrawTable(columns, cells, area, measure, drawing).rows;
  return rows.empty() ? area.top + RowHeight(measure) : rows.back().bottom;
}

// Weakest first, each with a bar of its share; the last row that fits says
// how many more there are when not all do.
void DrawThemeTable(const Statistics& statistics, Language language, const ThemeNameLookup& names,
                    PixelRect area, const TextMeasure& measure, Drawing& drawing) {
  const StatisticsPhrases& p = StatisticsPhrasesOf(language);
  const int line = measure.lineHeight;
  if (area.Height() < line) return;
  drawing.texts.push_back({{area.left, area.top, area.right, area.top + line},
                           std::string(statistics.themes.empty() ? p.noThemes : p.themes),
                           Align::Left,
                           statistics.themes.empty() ? Ink::Text : Ink::Heading});
  if (statistics.themes.empty()) return;
  area.top += line * 3 / 2;

  const int barWidth = line * 4;
  const Column columns[] = {{p.themeColumn, Align::Left},
                            {p.firstTryColumn, Align::Right},
                            {"", Align::Right},
                            {"", Align::Left, barWidth}};
  std::vector<ThemeRow> themes = ThemeRows(statistics, language, names);
  const std::size_t fitting =
      std::max(0, area.Height() / RowHeight(measure) - 1);  // below the headings
  std::size_t more = 0;
  if (themes.size() > fitting && fitting > 0) {
    more = themes.size() - (fitting - 1);
    themes.resize(fitting - 1);
  }
  std::vector<std::vector<std::string>> cells;
  for (const ThemeRow& theme : themes)
    cells.push_back({theme.name, theme.firstTry, theme.share, ""});
  if (more > 0)
    cells.push_back(
        {std::string(p.moreThemes) + std::to_string(more) + std::string(p.moreThemesAfter), "", "",
         ""});
  const PlacedTable table = DrawTable(columns, cells, area, measure, drawing);
  const std::vector<PixelRect>& rows = table.rows;
  if (rows.empty()) return;
  const PixelRect bars = table.columns.back();
  for (std::size_t r = 0; r < std::min(rows.size(), themes.size()); ++r) {
    const PixelRect track{bars.left, rows[r].top + line / 3, bars.right, rows[r].bottom - line / 3};
    if (track.Empty()) break;
    drawing.boxes.push_back({track, Ink::Track});
    const int filled = static_cast<int>(themes[r].rate * track.Width() + 0.5);
    if (filled > 0)
      drawing.boxes.push_back(
          {{track.left, track.top, track.left + filled, track.bottom}, Ink::Bar});
  }
}

std::string CountOf(std::size_t part, std::size_t whole, Language language) {
  return std::to_string(part) + std::string(StatisticsPhrasesOf(language).of) +
         std::to_string(whole);
}

}  // namespace

std::vector<CourseRow> CourseRows(const Statistics& statistics, Language language) {
  const std::string_view none = StatisticsPhrasesOf(language).nothing;
  std::vector<CourseRow> rows;
  for (const CourseStatistics& course : statistics.courses) {
    const CycleSummary& now = course.Current();
    rows.push_back(
        {std::string(course.course->Title(language)), CountOf(now.solved, now.problems, language),
         now.attempted > 0 ? PercentText(now.FirstTryShare(), language) : std::string(none),
         now.seconds > 0 ? DurationText(now.seconds, language) : std::string(none),
         std::to_string(course.cycles.size())});
  }
  return rows;
}

std::vector<ThemeRow> ThemeRows(const Statistics& statistics, Language language,
                                const ThemeNameLookup& names) {
  std::vector<ThemeRow> rows;
  for (const ThemeStatistics& theme : statistics.themes)
    rows.push_back({names ? names(theme.token) : theme.token,
                    CountOf(theme.solvedFirst, theme.attempts, language),
                    PercentText(theme.SuccessRate(), language), theme.SuccessRate()});
  return rows;
}

Drawing DrawStatistics(const Statistics& statistics, Language language,
                       const ThemeNameLookup& names, PixelRect client, const TextMeasure& measure) {
  Drawing drawing;
  const int line = measure.lineHeight;
  const int margin = line * 3 / 4;
  PixelRect page{client.left + margin, client.top + margin, client.right - margin,
                 client.bottom - margin};
  if (page.Width() < line || page.Height() < line) return drawing;

  if (statistics.ratedProblems > 0) {
    drawing.texts.push_back({{page.left, page.top, page.right, page.top + line},
                             RatingText(statistics.rating, language) + ", " +
                                 std::string(StatisticsPhrasesOf(language).rated) +
                                 std::to_string(statistics.ratedProblems),
                             Align::Left,
                             Ink::Heading});
    page.top = std::min(page.bottom, page.top + line * 2);
  }

  // The pictures take half the width, each half the height.
  const int leftWidth = (page.Width() - line) / 2;
  const PixelRect left{page.left, page.top, page.left + std::max(0, leftWidth), page.bottom};
  const PixelRect right{std::min(page.right, left.right + line), page.top, page.right, page.bottom};
  const int middle = left.top + left.Height() / 2;
  DrawRatingPicture(statistics, language, {left.left, left.top, left.right, middle - line / 2},
                    measure, drawing);
  DrawCyclesPicture(statistics, language, {left.left, middle + line / 2, left.right, left.bottom},
                    measure, drawing);

  const int coursesBottom = DrawCourseTable(statistics, language, right, measure, drawing);
  DrawThemeTable(
      statistics, language, names,
      {right.left, std::min(right.bottom, coursesBottom + line), right.right, right.bottom},
      measure, drawing);
  return drawing;
}

}  // namespace zel::solver

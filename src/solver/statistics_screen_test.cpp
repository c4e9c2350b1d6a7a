// The statistics window's page laid out without a window: its tables' texts,
// the rating's line and the cycles' bars, for no data, one day, one cycle, a
// year of days, hundreds of cycles and extreme values, at small and large
// sizes. The font is a stand-in: every character 8 pixels wide, lines 16.
#include "solver/statistics_screen.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zel::solver {
namespace {

using platform::Day;

Day D(int year, int month, int day) { return platform::DayOf({year, month, day}); }

const TextMeasure kMeasure{
    16, [](std::string_view text) {
      // Characters, not bytes: a UTF-8 sequence's
      // continuation bytes are 10xxxxxx.
      return 8 * static_cast<int>(std::count_if(text.begin(), text.end(),
                                                [](char c) { return (c & 0xC0) != 0x80; }));
    }};

CycleSummary Cycle(std::uint64_t seconds, bool finished = true) {
  CycleSummary cycle{D(2026, 1, 5), std::nullopt, 35, 35, 30, 20, seconds};
  if (finished) cycle.finished = D(2026, 1, 20);
  return cycle;
}

// Two courses with cycles and a third untouched, three themes, and a
// history of the rating on `days` days from 2026-01-01, rising.
Statistics Sample(int days) {
  Statistics stats;
  stats.courses.push_back({&kCourses[1], {Cycle(3600), Cycle(2400), Cycle(600, false)}, 2});
  stats.courses.push_back({&kCourses[2], {Cycle(100, false)}, 0});
  stats.courses.push_back({&kCourses[3], {{std::nullopt, std::nullopt, 35}}, 0});
  stats.themes = {{"pin", 10, 2}, {"fork", 20, 15}, {"mate-in-2", 4, 4}};
  stats.rating = {1432.4, 81, 0.06};
  stats.ratedProblems = static_cast<std::size_t>(days) * 3;
  for (int d = 0; d < days; ++d)
    stats.ratingHistory.push_back({D(2026, 1, 1) + d * 1, 1300.0 + d, 100, 3});
  return stats;
}

std::vector<std::string> TextsIn(const Drawing& drawing, Ink ink) {
  std::vector<std::string> texts;
  for (const TextPiece& text : drawing.texts)
    if (text.ink == ink) texts.push_back(text.text);
  return texts;
}

bool Has(const Drawing& drawing, std::string_view text) {
  return std::any_of(drawing.texts.begin(), drawing.texts.end(),
                     [&](const TextPiece& piece) { return piece.text == text; });
}

// Every piece inside the client area, and no two texts over each other.
void ExpectTidy(const Drawing& drawing, PixelRect client) {
  for (const BoxPiece& box : drawing.boxes)
    EXPECT_TRUE(client.Contains(box.box) && !box.box.Empty()) << box.box.left << "," << box.box.top;
  for (const LinePiece& line : drawing.lines)
    for (const Point& point : line.points) EXPECT_TRUE(client.Contains(point));
  for (std::size_t i = 0; i < drawing.texts.size(); ++i) {
    const TextPiece& text = drawing.texts[i];
    EXPECT_TRUE(client.Contains(text.box)) << text.text;
    for (std::size_t j = i + 1; j < drawing.texts.size(); ++j)
      EXPECT_FALSE(text.box.Intersects(drawing.texts[j].box))
          << "'" << text.text << "' and '" << drawing.texts[j].text << "'";
  }
}

TEST(StatisticsScreenTest, TablesShowEachCoursesCycleUnderWayAndThemesWeakestFirst) {
  const Statistics stats = Sample(10);
  const std::vector<CourseRow> courses = CourseRows(stats, Language::English);
  ASSERT_EQ(courses.size(), 3u);
  EXPECT_EQ(courses[0].title, "Tactics-1");
  EXPECT_EQ(courses[0].solved, "30 of 35");
  EXPECT_EQ(courses[0].firstTry, "57%");  // 20 of 35 attempted
  EXPECT_EQ(courses[0].time, "10 min 00 s");
  EXPECT_EQ(courses[0].cycles, "3");
  // Untouched: nothing to give a share or a time of.
  const CourseRow untouched = CourseRows(stats, Language::Russian)[2];
  EXPECT_EQ(untouched.solved, "0 из 35");
  EXPECT_EQ(untouched.firstTry, "—");
  EXPECT_EQ(untouched.time, "—");
  EXPECT_EQ(untouched.cycles, "1");

  const std::vector<ThemeRow> themes =
      ThemeRows(stats, Language::Russian, [](std::string_view token) {
        return token == "pin" ? std::string("Связка") : std::string(token);
      });
  ASSERT_EQ(themes.size(), 3u);
  EXPECT_EQ(themes[0].name, "Связка");
  EXPECT_EQ(themes[0].firstTry, "2 из 10");
  EXPECT_EQ(themes[0].share, "20\u00A0%");
  EXPECT_DOUBLE_EQ(themes[0].rate, 0.2);
  EXPECT_EQ(themes[1].name, "fork");  // no name given: the token
}

TEST(StatisticsScreenTest, EveryPieceStaysInsideAndNoTextsMeetAtAnySize) {
  for (const int days : {0, 1, 2, 365, 3000})
    for (const PixelRect client :
         {PixelRect{0, 0, 640, 480}, PixelRect{0, 0, 1600, 1000}, PixelRect{0, 0, 900, 700}}) {
      SCOPED_TRACE(std::to_string(days) + " days, " + std::to_string(client.right));
      Statistics stats = Sample(days);
      for (Language language : {Language::Russian, Language::English})
        ExpectTidy(DrawStatistics(stats, language, {}, client, kMeasure), client);
    }
  // Too small for anything but a little: still inside.
  for (const PixelRect client :
       {PixelRect{0, 0, 0, 0}, PixelRect{0, 0, 30, 20}, PixelRect{0, 0, 200, 120}}) {
    const Drawing drawing = DrawStatistics(Sample(365), Language::English, {}, client, kMeasure);
    for (const TextPiece& text : drawing.texts) EXPECT_TRUE(client.Contains(text.box)) << text.text;
    for (const BoxPiece& box : drawing.boxes) EXPECT_TRUE(client.Contains(box.box));
  }
}

TEST(StatisticsScreenTest, TheRatingIsALineOverRoundFiguresAndDates) {
  Statistics stats = Sample(365);
  stats.ratingHistory[100].rating = 2150;  // one good day
  const PixelRect area{10, 10, 510, 310};
  Drawing drawing;
  DrawRatingPicture(stats, Language::English, area, kMeasure, drawing);

  const auto line = std::find_if(drawing.lines.begin(), drawing.lines.end(),
                                 [](const LinePiece& piece) { return piece.ink == Ink::Line; });
  ASSERT_NE(line, drawing.lines.end());
  const std::vector<Point>& points = line->points;
  ASSERT_GT(points.size(), 100u);
  for (std::size_t i = 1; i < points.size(); ++i) EXPECT_GE(points[i].x, points[i - 1].x);
  // The good day is the highest point; the rise is drawn upwards.
  const auto top =
      std::min_element(points.begin(), points.end(), [](Point a, Point b) { return a.y < b.y; });
  EXPECT_LT(points.back().y, points.front().y);
  EXPECT_LT(top->y, points.back().y);

  // Figures: round, ascending upwards, taking in 1300 to 2150.
  std::vector<int> figures;
  for (const std::string& text : TextsIn(drawing, Ink::Label))
    if (text.find('-') == std::string::npos) figures.push_back(std::stoi(text));
  ASSERT_GE(figures.size(), 3u);
  EXPECT_LE(figures.front(), 1300);
  EXPECT_GE(figures.back(), 2150);
  for (const int figure : figures) EXPECT_EQ(figure % 50, 0) << figure;
  // Dates: months' firsts from the history's year, in order.
  std::vector<std::string> dates;
  for (const std::string& text : TextsIn(drawing, Ink::Label))
    if (text.find('-') != std::string::npos) dates.push_back(text);
  ASSERT_GE(dates.size(), 3u);
  EXPECT_TRUE(std::is_sorted(dates.begin(), dates.end()));
  for (const std::string& date : dates) EXPECT_EQ(date.substr(7), "-01") << date;
  ExpectTidy(drawing, area);
}

TEST(StatisticsScreenTest, NoRatingOneDayAndExtremeRatings) {
  const PixelRect area{0, 0, 400, 250};
  Drawing none;
  DrawRatingPicture(Statistics{}, Language::Russian, area, kMeasure, none);
  EXPECT_TRUE(Has(none, "Рейтинга ещё нет: он появится после первой попытки решить задачу."));
  EXPECT_TRUE(none.lines.empty());

  // One day: no line, a dot in the middle, its date below.
  Drawing one;
  DrawRatingPicture(Sample(1), Language::Russian, area, kMeasure, one);
  EXPECT_TRUE(std::none_of(one.lines.begin(), one.lines.end(),
                           [](const LinePiece& piece) { return piece.ink == Ink::Line; }));
  ASSERT_EQ(one.boxes.size(), 1u);
  const PixelRect dot = one.boxes[0].box;
  EXPECT_NEAR((dot.left + dot.right) / 2, 200, 40);
  EXPECT_TRUE(Has(one, "01.01.2026"));

  // Ratings at the ends of the scale, and a value past them, stay inside.
  Statistics extreme = Sample(3);
  extreme.ratingHistory[0].rating = 0;
  extreme.ratingHistory[1].rating = 4000;
  extreme.ratingHistory[2].rating = 1e9;
  Drawing drawn;
  DrawRatingPicture(extreme, Language::English, area, kMeasure, drawn);
  ExpectTidy(drawn, area);
  EXPECT_TRUE(Has(drawn, "0"));
  EXPECT_TRUE(Has(drawn, "4000"));
}

std::vector<PixelRect> Bars(const Drawing& drawing) {
  std::vector<PixelRect> bars;
  for (const BoxPiece& box : drawing.boxes)
    if (box.ink == Ink::Bar || box.ink == Ink::BarUnderWay) bars.push_back(box.box);
  return bars;
}

TEST(StatisticsScreenTest, EachCycleIsABarAsTallAsItsTime) {
  const PixelRect area{0, 0, 500, 200};
  Drawing drawing;
  DrawCyclesPicture(Sample(0), Language::English, area, kMeasure, drawing);
  // The untouched course has no row.
  EXPECT_TRUE(Has(drawing, "Tactics-1"));
  EXPECT_TRUE(Has(drawing, "Tactics-2"));
  EXPECT_FALSE(Has(drawing, "Tactics-3"));
  EXPECT_TRUE(Has(drawing, "1 h 00 min"));  // the longest of Tactics-1
  const std::vector<PixelRect> bars = Bars(drawing);
  ASSERT_EQ(bars.size(), 4u);
  // 3600, 2400, 600 seconds: heights 6 to 4 to 1, on one baseline.
  EXPECT_EQ(bars[0].bottom, bars[2].bottom);
  EXPECT_NEAR(bars[1].Height() * 3.0, bars[0].Height() * 2.0, 3);
  EXPECT_NEAR(bars[2].Height() * 6.0, bars[0].Height() * 1.0, 6);
  EXPECT_EQ(drawing.boxes[2].ink, Ink::BarUnderWay);
  EXPECT_EQ(drawing.boxes[0].ink, Ink::Bar);
  // One cycle, under way, is a bar as tall as the row allows, no wider than two lines.
  EXPECT_GT(bars[3].Height(), bars[0].Height() / 2);
  EXPECT_LE(bars[3].Width(), 32);
  ExpectTidy(drawing, area);

  Drawing none;
  Statistics untried;
  untried.courses.push_back({&kCourses[1], {{std::nullopt, std::nullopt, 35}}, 0});
  DrawCyclesPicture(untried, Language::English, area, kMeasure, none);
  EXPECT_TRUE(Has(none, "No cycles yet: no problem has been tried."));
  EXPECT_TRUE(Bars(none).empty());
}

TEST(StatisticsScreenTest, ManyCyclesShowTheLastOnesAfterAnEllipsis) {
  Statistics stats;
  std::vector<CycleSummary> cycles;
  for (int c = 0; c < 500; ++c) cycles.push_back(Cycle(c == 499 ? 1 : 1000 + c));
  cycles.back().finished.reset();
  stats.courses.push_back({&kCourses[1], cycles, 0});
  const PixelRect area{0, 0, 400, 100};
  Drawing drawing;
  DrawCyclesPicture(stats, Language::English, area, kMeasure, drawing);
  const std::vector<PixelRect> bars = Bars(drawing);
  EXPECT_TRUE(Has(drawing, "…"));
  EXPECT_GT(bars.size(), 30u);
  EXPECT_LT(bars.size(), 500u);
  EXPECT_EQ(drawing.boxes.back().ink, Ink::BarUnderWay);  // the last cycle is among them
  EXPECT_EQ(bars.back().Height(), 1);                     // one second still shows
  for (std::size_t i = 1; i < bars.size(); ++i) EXPECT_GT(bars[i].left, bars[i - 1].right - 1);
  ExpectTidy(drawing, area);
}

TEST(StatisticsScreenTest, ThemesThatDoNotFitAreCounted) {
  Statistics stats = Sample(30);
  stats.themes.clear();
  for (int t = 0; t < 60; ++t) stats.themes.push_back({"theme" + std::to_string(t), 10, 1});
  const PixelRect client{0, 0, 900, 640};
  const Drawing drawing = DrawStatistics(stats, Language::English, {}, client, kMeasure);
  int shown = 0;
  for (int t = 0; t < 60; ++t) shown += Has(drawing, "theme" + std::to_string(t));
  EXPECT_GT(shown, 5);
  EXPECT_LT(shown, 60);
  EXPECT_TRUE(Has(drawing, "theme0"));  // the weakest first
  EXPECT_TRUE(Has(drawing, "and " + std::to_string(60 - shown) + " more"));
  EXPECT_TRUE(Has(drawing, "Rating 1432 ± 81, problems rated: 90"));
  ExpectTidy(drawing, client);

  const Drawing empty = DrawStatistics(Statistics{}, Language::English, {}, client, kMeasure);
  EXPECT_TRUE(Has(empty, "No themes yet: no problem has been tried."));
  EXPECT_TRUE(Has(empty, "No rating yet: it comes with your first attempt at a problem."));
  ExpectTidy(empty, client);
}

}  // namespace
}  // namespace zel::solver

// The words of the statistics, in Russian and English, for both of its
// forms: the text a screen reader reads and the window with its pictures and
// tables. UTF-8.
#pragma once

#include <string_view>

#include "chess/notation.h"

namespace zel::solver {

struct StatisticsPhrases {
  // In sentences
  std::string_view rated;        // after the rating: how many problems it rests on
  std::string_view notYetRated;  // instead, before any
  std::string_view solved;       // "solved 12 of 35"
  std::string_view of;
  std::string_view firstTry;  // "at the first attempt 9 of 14"
  std::string_view time;
  std::string_view started;  // a cycle's first day
  std::string_view themes;   // the heading of the themes
  std::string_view noThemes;
  std::string_view recentDays;  // the heading of the rating's last days
  std::string_view attempts;    // rated attempts that day
  // The pictures and the tables
  std::string_view ratingPicture;
  std::string_view cyclesPicture;
  std::string_view noCycles;
  std::string_view courseColumn;
  std::string_view solvedColumn;
  std::string_view firstTryColumn;
  std::string_view timeColumn;
  std::string_view cyclesColumn;
  std::string_view themeColumn;
  std::string_view moreThemes;  // "and 5 more", the rows that do not fit
  std::string_view moreThemesAfter;
  std::string_view nothing;  // a figure there is none of yet
};

// clang-format off
inline constexpr StatisticsPhrases kRussianStatistics{
  "задач в оценке: ",
  "Рейтинга ещё нет: он появится после первой попытки решить задачу.",
  "решено ", " из ", "с первой попытки ", "время ", "начат ",
  "Темы, начиная со слабых:",
  "Тем пока нет: ни одна задача ещё не решалась.",
  "Рейтинг за последние дни занятий:",
  "задач: ",
  "Рейтинг по дням",
  "Время каждого круга",
  "Кругов пока нет: ни одна задача ещё не решалась.",
  "Курс", "Решено", "С первой попытки", "Время", "Круги",
  "Тема",
  "и ещё ", "",
  "—",
};
inline constexpr StatisticsPhrases kEnglishStatistics{
  "problems rated: ",
  "No rating yet: it comes with your first attempt at a problem.",
  "solved ", " of ", "at the first attempt ", "time ", "started ",
  "Themes, weakest first:",
  "No themes yet: no problem has been tried.",
  "The rating on the last days of practice:",
  "problems: ",
  "Rating by day",
  "Each cycle's time",
  "No cycles yet: no problem has been tried.",
  "Course", "Solved", "First try", "Time", "Cycles",
  "Theme",
  "and ", " more",
  "—",
};
// clang-format on

constexpr const StatisticsPhrases& StatisticsPhrasesOf(chess::Language language) {
  return language == chess::Language::Russian ? kRussianStatistics : kEnglishStatistics;
}

}  // namespace zel::solver

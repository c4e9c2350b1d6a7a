// The solvers' texts in both languages: complete, with distinct access keys,
// and the texts with numbers, men and moves in them as the user reads them.
#include "solver/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "solver/statistics.h"

namespace zel::solver {
namespace {

constexpr Language kLanguages[] = {Language::Russian, Language::English};

bool HasCyrillic(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) == 0xD0 || static_cast<unsigned char>(c) == 0xD1) return true;
  return false;
}

// Access keys match whatever their case: ASCII and the Russian alphabet
// folded to lower case (UTF-8 "А".."П" is D0 90..9F, "Р".."Я" D0 A0..AF).
std::string LowerCase(std::string_view key) {
  std::string lower(key);
  if (lower.size() == 1) {
    lower[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[0])));
  } else if (lower.size() == 2 && static_cast<unsigned char>(lower[0]) == 0xD0) {
    const auto second = static_cast<unsigned char>(lower[1]);
    if (second >= 0x90 && second <= 0x9F) lower[1] = static_cast<char>(second + 0x20);
    if (second >= 0xA0 && second <= 0xAF) {
      lower[0] = static_cast<char>(0xD1);
      lower[1] = static_cast<char>(second - 0x20);
    }
  }
  return lower;
}

TEST(Texts, EveryTextInBothLanguagesEachInItsOwnScript) {
  for (const TextRow& row : kTexts) {
    SCOPED_TRACE(row.english);
    EXPECT_FALSE(row.russian.empty());
    EXPECT_FALSE(row.english.empty());
    EXPECT_TRUE(HasCyrillic(row.russian));
    EXPECT_FALSE(HasCyrillic(row.english));
    EXPECT_NE(row.russian, row.english);
  }
}

TEST(Texts, EachCommandHasItsOwnAccessKeyInEachLanguage) {
  // Every caption with an access key that can be on the screen at once: the
  // panel's and the problem list's.
  constexpr Text kCaptions[] = {
      Text::CommandHint,        Text::CommandSolution,      Text::CommandRetry,
      Text::CommandNext,        Text::CommandPrevious,      Text::CommandFlipBoard,
      Text::CommandProblemList, Text::CommandRestartCourse, Text::CommandTypeMove,
      Text::CommandPlay,        Text::CommandOpen,          Text::CommandClose,
      Text::CommandReview,      Text::CommandStatistics,    Text::CommandEraseCourse,
      Text::CommandAtMyLevel,   Text::CommandShowClock,
  };
  for (const Language language : kLanguages) {
    std::set<std::string> keys;
    for (const Text command : kCaptions) {
      const std::string_view caption = TextOf(command, language);
      SCOPED_TRACE(std::string(caption));
      EXPECT_EQ(std::count(caption.begin(), caption.end(), '&'), 1);
      const std::string_view key = AccessKeyOf(caption);
      ASSERT_FALSE(key.empty());
      EXPECT_NE(key, " ");
      const std::string folded = LowerCase(key);
      EXPECT_TRUE(keys.insert(folded).second) << "access key used twice";
    }
    EXPECT_EQ(keys.size(), std::size(kCaptions));
  }
  EXPECT_EQ(AccessKeyOf("Пере&вернуть доску"), "в");
  EXPECT_EQ(AccessKeyOf("no key"), "");
}

TEST(Texts, NumbersInTheirPlaceInEachLanguage) {
  EXPECT_EQ(ProblemOfText(5, 30, Language::English), "Problem 5 of 30");
  EXPECT_EQ(ProgressText(12, 30, 9, Language::Russian), "Решено 12 из 30, с первой попытки 9");
  EXPECT_EQ(ProgressText(12, 30, 9, Language::English), "Solved 12 of 30, 9 at the first attempt");
}

TEST(Texts, TheTrainersFiguresInWords) {
  EXPECT_EQ(ClockText(0), "0:00");
  EXPECT_EQ(ClockText(245), "4:05");
  EXPECT_EQ(ClockText(3723), "1:02:03");
  EXPECT_EQ(DurationText(35, Language::Russian), "35 с");
  EXPECT_EQ(DurationText(245, Language::Russian), "4 мин 05 с");
  EXPECT_EQ(DurationText(3723, Language::English), "1 h 02 min");
  EXPECT_EQ(DurationText(100 * 3600, Language::English), "100 h 00 min");
  const platform::Day day = platform::DayOf({2026, 1, 5});
  EXPECT_EQ(DayText(day, Language::Russian), "05.01.2026");
  EXPECT_EQ(DayText(day, Language::English), "2026-01-05");
  EXPECT_EQ(PercentText(0.6449, Language::Russian), "64\u00A0%");
  EXPECT_EQ(PercentText(0.6451, Language::English), "65%");
  EXPECT_EQ(PercentText(1, Language::English), "100%");
  EXPECT_EQ(CycleText(2, Language::English), "Cycle 2");
  EXPECT_EQ(RatingText({1432.5, 80.6, 0.06}, Language::Russian), "Рейтинг 1433 ± 81");
  EXPECT_EQ(DueText(3, Language::English), "Due for review today: 3");
  EXPECT_EQ(ReviewProblemText(2, 5, Language::Russian), "Повторение: задача 2 из 5");
}

TEST(Texts, HintsNameTheManAndTheMoveInTheLanguagesNotation) {
  const auto position = chess::Position::FromFen("4k3/8/8/4p3/8/5N2/8/4K3 w - - 0 1");
  ASSERT_TRUE(position);
  const chess::Square f3 = *chess::SquareFromName("f3");
  const chess::Move capture{f3, *chess::SquareFromName("e5")};
  EXPECT_EQ(PieceHintText(chess::Knight, f3, Language::Russian), "Подсказка: ходит конь с f3.");
  EXPECT_EQ(PieceHintText(chess::Knight, f3, Language::English), "Hint: move the knight on f3.");
  EXPECT_EQ(PieceHintText(chess::Rook, 0, Language::Russian), "Подсказка: ходит ладья с a1.");
  EXPECT_EQ(MoveHintText(*position, capture, Language::Russian), "Подсказка: ход К:e5.");
  EXPECT_EQ(MoveHintText(*position, capture, Language::English), "Hint: play Nxe5.");
}

TEST(Texts, AWrongMoveAndAReplyAreNamedInTheLanguagesNotation) {
  const auto position = chess::Position::FromFen("3rk3/8/8/8/8/8/8/3QK3 w - - 0 1");
  ASSERT_TRUE(position);
  const chess::Move capture{*chess::SquareFromName("d1"), *chess::SquareFromName("d8")};
  EXPECT_EQ(WrongMoveText(*position, capture, Language::Russian),
            "Ф:d8+ — неверно. Попробуйте ещё раз.");
  EXPECT_EQ(WrongMoveText(*position, capture, Language::English), "Qxd8+ — wrong. Try again.");
  EXPECT_EQ(ReplyText(*position, capture, Language::Russian), "Ответ: Ф:d8+. Ваш ход.");
  EXPECT_EQ(ReplyText(*position, capture, Language::English), "Reply: Qxd8+. Your move.");
}

// The moves of coordinates, each from the position the ones before leave.
std::vector<chess::Move> Line(const chess::Position& start, std::vector<const char*> ucis) {
  std::vector<chess::Move> line;
  chess::Position position = start;
  for (const char* uci : ucis) {
    line.push_back(chess::MoveFromUci(position, uci).value());  // throws on a typo
    position = position.After(line.back());
  }
  return line;
}

TEST(Texts, ALineIsNumberedFromOneWhicheverSideBegins) {
  const auto white = chess::Position::FromFen("7k/8/8/8/8/8/8/RR4K1 w - - 0 1");
  const auto black = chess::Position::FromFen("4k3/8/8/8/8/8/p7/4K3 b - - 0 40");
  ASSERT_TRUE(white && black);
  EXPECT_EQ(LineText(*white, Line(*white, {"b1b7", "h8g8"}), Language::English), "1. Rb7 Kg8");
  EXPECT_EQ(LineText(*white, {}, Language::English), "");
  const auto blackLine = Line(*black, {"a2a1q", "e1e2", "e8d7"});
  EXPECT_EQ(LineText(*black, blackLine, Language::Russian), "1... a1Ф+ 2. Крe2 Крd7");
  EXPECT_EQ(LineText(*black, blackLine, Language::English), "1... a1=Q+ 2. Ke2 Kd7");
}

TEST(Texts, TheSummaryGivesThemesRatingAndSolution) {
  Problem problem;
  problem.start = *chess::Position::FromFen("7k/8/8/8/8/8/8/RR4K1 w - - 0 1");
  problem.line = Line(problem.start, {"b1b7", "h8g8", "a1a8"});
  problem.difficulty = 640;
  problem.themes = {"mate", "mate-in-2", "pin"};
  EXPECT_EQ(ProblemSummaryText(problem, Language::Russian),
            "Темы: Мат в 2 хода, Связка\nРейтинг: 640\nРешение: 1. Лb7 Крg8 2. Лa8#");
  problem.themes = {"mate-in-2", "mate", "material"};
  EXPECT_EQ(ProblemSummaryText(problem, Language::English),
            "Theme: Mate in 2\nRating: 640\nSolution: 1. Rb7 Kg8 2. Ra8#");
  problem.themes = {"material"};
  EXPECT_EQ(ProblemSummaryText(problem, Language::English),
            "Rating: 640\nSolution: 1. Rb7 Kg8 2. Ra8#");
}

TEST(Texts, TheClockTheRatingsChangeAndACycleBesideTheOthers) {
  EXPECT_EQ(TimeSpentText(0, Language::Russian), "Время: 0:00");
  EXPECT_EQ(TimeSpentText(3600 + 9 * 60 + 5, Language::English), "Time: 1:09:05");
  EXPECT_EQ(RatingChangeText({{1500, 350, 0.06}, {1512.4, 290.2, 0.06}}, Language::Russian),
            "Рейтинг 1512 ± 290 (+12)");
  EXPECT_EQ(RatingChangeText({{1500, 350, 0.06}, {1487.6, 290, 0.06}}, Language::English),
            "Rating 1488 ± 290 (−12)");
  CycleSummary cycle;
  cycle.started = platform::DayOf({2026, 1, 5});
  cycle.seconds = 245;
  EXPECT_EQ(CycleSummaryText(cycle, 1, Language::Russian), "Круг 1 (05.01.2026): 4 мин 05 с")
      << "no share before any attempt";
  cycle.attempted = 4;
  cycle.solvedFirst = 3;
  EXPECT_EQ(CycleSummaryText(cycle, 1, Language::Russian),
            "Круг 1 (05.01.2026): 4 мин 05 с, с первой попытки 75\u00A0%");
  EXPECT_EQ(CycleSummaryText(cycle, 2, Language::English),
            "Cycle 2 (2026-01-05): 4 min 05 s, 75% at the first attempt");
}

}  // namespace
}  // namespace zel::solver

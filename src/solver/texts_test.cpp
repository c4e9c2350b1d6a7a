// The solvers' texts in both languages: complete, with distinct access keys,
// and the texts with numbers, men and moves in them as the user reads them.
#include "solver/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

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
  for (const Language language : kLanguages) {
    std::set<std::string> keys;
    for (const Text command : kCommands) {
      const std::string_view caption = TextOf(command, language);
      SCOPED_TRACE(std::string(caption));
      EXPECT_EQ(std::count(caption.begin(), caption.end(), '&'), 1);
      const std::string_view key = AccessKeyOf(caption);
      ASSERT_FALSE(key.empty());
      EXPECT_NE(key, " ");
      const std::string folded = LowerCase(key);
      EXPECT_TRUE(keys.insert(folded).second) << "access key used twice";
    }
    EXPECT_EQ(keys.size(), std::size(kCommands));
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

}  // namespace
}  // namespace zel::solver

// Calendar days both ways, and the platform's clock as the trainer uses it.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace zel::platform {
namespace {

TEST(Clock, CalendarDaysBothWays) {
  struct Known {
    CivilDate date;
    std::int32_t day;
  };
  constexpr Known kKnown[] = {
      {{1970, 1, 1}, 0},     {{1970, 12, 31}, 364},     {{2000, 2, 29}, 11016},
      {{2000, 3, 1}, 11017}, {{2026, 3, 2}, 20514},     {{2026, 12, 8}, 20795},
      {{2100, 3, 1}, 47541}, {{9999, 12, 31}, 2932896},
  };
  for (const Known& known : kKnown) {
    EXPECT_EQ(DayOf(known.date).number, known.day) << known.date.year;
    EXPECT_EQ(DateOf({known.day}), known.date) << known.day;
  }
  // Every day of two centuries there and back, each the day after the one before.
  CivilDate previous = DateOf({-1});
  for (std::int32_t day = 0; day < 73050; ++day) {
    const CivilDate date = DateOf({day});
    ASSERT_TRUE(IsValidDate(date)) << day;
    ASSERT_EQ(DayOf(date).number, day);
    ASSERT_TRUE(date.day == previous.day + 1 || date.day == 1) << day;
    previous = date;
  }
}

TEST(Clock, OnlyDatesOfTheCalendarAndOfTheFilesYearsAreValid) {
  EXPECT_TRUE(IsValidDate({2024, 2, 29}));
  EXPECT_TRUE(IsValidDate({2000, 2, 29}));
  EXPECT_TRUE(IsValidDate({9999, 12, 31}));
  constexpr CivilDate kInvalid[] = {{2026, 2, 29}, {2100, 2, 29}, {2026, 4, 31}, {2026, 13, 1},
                                    {2026, 0, 10}, {2026, 1, 0},  {2026, 1, 32}, {1969, 12, 31},
                                    {10000, 1, 1}, {-5, 1, 1}};
  for (const CivilDate& date : kInvalid)
    EXPECT_FALSE(IsValidDate(date)) << date.year << "-" << date.month << "-" << date.day;
}

TEST(Clock, ThePlatformsClockGivesTodayAndSteadyTime) {
  Clock& clock = SystemClock();
  // Today where the user is: within a day of the UTC date.
  const auto utc = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
  const std::int32_t utcDay = static_cast<std::int32_t>(utc.time_since_epoch().count());
  EXPECT_LE(std::abs(clock.Today().number - utcDay), 1);

  const std::int64_t start = clock.SteadyMilliseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::int64_t later = clock.SteadyMilliseconds();
  // At least the 30 ms slept, less the tick of a coarse clock (16 ms on Windows).
  EXPECT_GE(later - start, 14);
  EXPECT_GE(clock.SteadyMilliseconds(), later);
}

}  // namespace
}  // namespace zel::platform

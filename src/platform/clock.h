// Time as the trainer needs it: the user's calendar day, for the review
// schedule and the histories, and a steady count of milliseconds, for the time
// spent on a problem, which a change of the wall clock must not disturb. The
// logic asks a Clock for both and never the system directly, so that tests
// set the day.
#pragma once

#include <compare>
#include <cstdint>

namespace zel::platform {

// A calendar day where the user is: the number of days since 1970-01-01.
struct Day {
  std::int32_t number = 0;
  friend constexpr auto operator<=>(Day, Day) = default;
};

constexpr Day operator+(Day day, std::int32_t days) { return {day.number + days}; }
// Whole days from `earlier` to `later`; negative when `later` comes first.
constexpr std::int32_t operator-(Day later, Day earlier) { return later.number - earlier.number; }

// A date of the proleptic Gregorian calendar.
struct CivilDate {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  friend constexpr bool operator==(const CivilDate&, const CivilDate&) = default;
};

// False for a month or day the calendar does not have (2026-02-29) and for
// years outside 1970 to 9999, the ones the files write.
bool IsValidDate(const CivilDate& date);
Day DayOf(const CivilDate& date);  // the date must be valid
CivilDate DateOf(Day day);

class Clock {
 public:
  virtual ~Clock() = default;
  // Today in the user's time zone.
  virtual Day Today() = 0;
  // Milliseconds since some fixed moment; never goes back.
  virtual std::int64_t SteadyMilliseconds() = 0;
};

// The clock of the platform the program runs on.
Clock& SystemClock();

}  // namespace zel::platform

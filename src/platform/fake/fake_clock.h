// A clock the test sets: the day and the steady count move only when told.
#pragma once

#include "platform/clock.h"

namespace zel::platform {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(CivilDate today = {2026, 3, 2}) : today_(DayOf(today)) {}

  Day Today() override { return today_; }
  std::int64_t SteadyMilliseconds() override { return milliseconds_; }

  void SetToday(Day day) { today_ = day; }
  void PassDays(std::int32_t days) { today_ = today_ + days; }
  void PassSeconds(double seconds) { milliseconds_ += static_cast<std::int64_t>(seconds * 1000); }

 private:
  Day today_;
  std::int64_t milliseconds_ = 1'000'000;
};

}  // namespace zel::platform

#include "platform/clock.h"

#include <chrono>

namespace zel::platform {

namespace chrono = std::chrono;

bool IsValidDate(const CivilDate& date) {
  if (date.year < 1970 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1)
    return false;
  const chrono::year_month_day ymd{chrono::year{date.year},
                                   chrono::month{static_cast<unsigned>(date.month)},
                                   chrono::day{static_cast<unsigned>(date.day)}};
  return ymd.ok();
}

Day DayOf(const CivilDate& date) {
  const chrono::sys_days days{chrono::year{date.year} /
                              chrono::month{static_cast<unsigned>(date.month)} /
                              chrono::day{static_cast<unsigned>(date.day)}};
  return {static_cast<std::int32_t>(days.time_since_epoch().count())};
}

CivilDate DateOf(Day day) {
  const chrono::year_month_day ymd{chrono::sys_days{chrono::days{day.number}}};
  return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

}  // namespace zel::platform

// The POSIX clock: the local date from localtime_r, the steady count from
// CLOCK_MONOTONIC.
#include <ctime>

#include "platform/clock.h"

namespace zel::platform {
namespace {

class PosixClock final : public Clock {
 public:
  Day Today() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&now, &local)) return {static_cast<std::int32_t>(now / 86400)};
    return DayOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
  }

  std::int64_t SteadyMilliseconds() override {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  }
};

}  // namespace

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace zel::platform

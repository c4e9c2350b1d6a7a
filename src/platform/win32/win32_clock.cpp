// The Windows clock: the local date from GetLocalTime, the steady count from
// GetTickCount64, which does not wrap after 49 days as GetTickCount does.
#include <windows.h>

#include "platform/clock.h"

namespace zel::platform {
namespace {

class Win32Clock final : public Clock {
 public:
  Day Today() override {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return DayOf({local.wYear, local.wMonth, local.wDay});
  }

  std::int64_t SteadyMilliseconds() override { return static_cast<std::int64_t>(GetTickCount64()); }
};

}  // namespace

Clock& SystemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace zel::platform

// Failures reach the user in a message box: "Error <number>: <description>"
// and the file or program concerned.
#pragma once

#include "platform/failure_report.h"

namespace zel::platform {

class Win32Window;

class MessageBoxReport final : public FailureReport {
 public:
  // The box belongs to the window once it is visible; before that it stands
  // alone, so that a failing start-up shows the box and never the window.
  explicit MessageBoxReport(const Win32Window* owner = nullptr) : owner_(owner) {}
  void Report(const Failure& failure) override;

 private:
  const Win32Window* owner_;
};

// The last resort for what no handler may throw: a box with the system's text
// for an internal error, then the end of the program with exit status 1.
// Allocates nothing, so it works when memory ran out.
[[noreturn]] void EndAfterUnexpectedFailure() noexcept;

}  // namespace zel::platform

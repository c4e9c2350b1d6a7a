// How a failure reaches the user before the program ends.
#pragma once

#include "platform/failure.h"

namespace zel::platform {

class FailureReport {
 public:
  virtual ~FailureReport() = default;
  virtual void Report(const Failure& failure) = 0;
};

}  // namespace zel::platform

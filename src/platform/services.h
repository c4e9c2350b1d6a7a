// The platform services one run of the shell works with.
#pragma once

#include "platform/failure_report.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/window.h"

namespace zel::platform {

struct Services {
  Window& window;
  Files& files;
  Processes& processes;
};

}  // namespace zel::platform

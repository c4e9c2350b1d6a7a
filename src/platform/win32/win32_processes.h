// Starting programs with CreateProcessW, which searches the shell's own folder
// first, then the current folder, then the system folders and the search path.
#pragma once

#include "platform/processes.h"

namespace zel::platform {

class Win32Processes final : public Processes {
 public:
  void StartProgram(std::string_view bareName, int windowStyle) override;
};

}  // namespace zel::platform

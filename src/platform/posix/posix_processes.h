// Starting programs on POSIX with the same search rule as on Windows.
#pragma once

#include <optional>
#include <string>

#include "platform/processes.h"

namespace zel::platform {

class PosixProcesses final : public Processes {
 public:
  // Window style has no meaning here; the program starts as it would from a shell.
  void StartProgram(std::string_view bareName, int windowStyle) override;
};

// The file a bare name starts: "NAME.exe" in the running program's own folder,
// then the current folder, then each folder of PATH; only if there is none,
// "NAME" in the same folders.
std::optional<std::string> FindProgram(std::string_view bareName);

}  // namespace zel::platform

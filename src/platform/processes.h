// Starting another program of the product beside the shell.
#pragma once

#include <string_view>

namespace zel::platform {

class Processes {
 public:
  virtual ~Processes() = default;

  // Starts a program by its bare name (no folder, no extension) with the
  // platform's search rule: the shell's own folder first, then the current
  // folder, then the system folders and the search path, ".exe" appended.
  // windowStyle 1 is a normal, activated window. Returns once the program is
  // started; nothing of it is kept.
  virtual void StartProgram(std::string_view bareName, int windowStyle) = 0;
};

}  // namespace zel::platform

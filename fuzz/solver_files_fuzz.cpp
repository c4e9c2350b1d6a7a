// libFuzzer target for the solvers' readers: any bytes as Zadachi.dat and as a
// course's progress file, checked against the properties in
// solver_files_check.h.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "solver_files_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation =
      zel::fuzz::SolverFilesViolation(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!violation.empty()) {
    std::fprintf(stderr, "solver files property broken: %s\n", violation.c_str());
    std::abort();  // libFuzzer saves the input as a crash
  }
  return 0;
}

// The properties of the solvers' readers that must hold for any bytes at all:
// the problem data (Zadachi.dat), a course's progress file and the user's
// rating file. Shared by
// the fuzzer and by the replay of its saved inputs in the ordinary test run.
#pragma once

#include <string>
#include <string_view>

namespace zel::fuzz {

// Nothing when every property holds for `bytes`; otherwise what broke.
std::string SolverFilesViolation(std::string_view bytes);

}  // namespace zel::fuzz

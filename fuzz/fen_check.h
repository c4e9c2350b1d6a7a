// The properties of FEN reading and of everything built on a position that
// must hold for any bytes at all. Shared by the fuzzer and by the replay of
// its saved inputs in the ordinary test run.
#pragma once

#include <string>
#include <string_view>

namespace zel::fuzz {

// Nothing when every property holds for `bytes`; otherwise what broke.
std::string FenViolation(std::string_view bytes);

}  // namespace zel::fuzz

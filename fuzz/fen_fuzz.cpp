// libFuzzer target for FEN reading: any bytes as a FEN, and as a typed move,
// checked against the properties in fen_check.h.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fen_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation =
      zel::fuzz::FenViolation(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!violation.empty()) {
    std::fprintf(stderr, "FEN property broken: %s\n", violation.c_str());
    std::abort();  // libFuzzer saves the input as a crash
  }
  return 0;
}

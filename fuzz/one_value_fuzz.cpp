// libFuzzer target for the one-value reader and writer: any bytes as a settings
// or counter file, checked against the properties in one_value_check.h.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "one_value_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation =
      zel::fuzz::OneValueViolation(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!violation.empty()) {
    std::fprintf(stderr, "one-value property broken: %s\n", violation.c_str());
    std::abort();  // libFuzzer saves the input as a crash
  }
  return 0;
}

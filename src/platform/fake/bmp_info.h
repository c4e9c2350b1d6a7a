// Reads the header of a BMP file far enough to tell whether a window could load
// it as a picture, and how large it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zel::platform {

struct BmpInfo {
  std::int32_t width;
  std::int32_t height;  // positive whatever the row order
  std::uint16_t bitsPerPixel;
};

std::optional<BmpInfo> ReadBmpInfo(std::string_view file);

}  // namespace zel::platform

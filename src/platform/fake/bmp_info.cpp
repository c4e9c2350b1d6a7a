#include "platform/fake/bmp_info.h"

#include <cstdlib>

namespace zel::platform {
namespace {

std::uint32_t Le(std::string_view bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

}  // namespace

std::optional<BmpInfo> ReadBmpInfo(std::string_view file) {
  constexpr std::size_t kFileHeader = 14;
  if (file.size() < kFileHeader + 12 || file.substr(0, 2) != "BM") return std::nullopt;
  const std::uint32_t pixelsAt = Le(file, 10, 4);
  const std::uint32_t infoSize = Le(file, 14, 4);
  std::int64_t width, height;
  std::uint32_t planes, bits, compression = 0;
  if (infoSize == 12) {  // the old core header
    width = Le(file, 18, 2);
    height = Le(file, 20, 2);
    planes = Le(file, 22, 2);
    bits = Le(file, 24, 2);
  } else if (infoSize >= 40 && infoSize <= 124 && file.size() >= kFileHeader + 40) {
    width = static_cast<std::int32_t>(Le(file, 18, 4));
    height = static_cast<std::int32_t>(Le(file, 22, 4));
    planes = Le(file, 26, 2);
    bits = Le(file, 28, 2);
    compression = Le(file, 30, 4);
  } else {
    return std::nullopt;
  }
  if (height < 0) height = -height;
  const bool knownDepth =
      bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (planes != 1 || !knownDepth || width <= 0 || height <= 0 || width > 32767 || height > 32767)
    return std::nullopt;
  if (compression > 3) return std::nullopt;
  if (compression == 0) {  // uncompressed: every row must be in the file
    const std::uint64_t rowBytes = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    if (pixelsAt < kFileHeader + infoSize ||
        pixelsAt + rowBytes * static_cast<std::uint64_t>(height) > file.size())
      return std::nullopt;
  }
  return BmpInfo{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                 static_cast<std::uint16_t>(bits)};
}

}  // namespace zel::platform

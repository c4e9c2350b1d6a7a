// Whether a name is an absolute path on a drive, "C:\dir\file" or "C:/dir/file".
// Both files layers take such names from a drive root; everything else is
// relative to the program folder.
#pragma once

#include <string_view>

namespace zel::platform {

constexpr bool IsDrivePath(std::string_view name) {
  if (name.size() < 3 || name[1] != ':' || (name[2] != '\\' && name[2] != '/')) return false;
  const char letter = static_cast<char>(name[0] | 0x20);
  return letter >= 'a' && letter <= 'z';
}

static_assert(IsDrivePath("C:\\Zelmiku") && IsDrivePath("c:/x") && !IsDrivePath("C:") &&
              !IsDrivePath("enfo00.dat") && !IsDrivePath("1:\\x"));

}  // namespace zel::platform

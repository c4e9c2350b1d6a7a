// The background picture: a bitmap drawn unscaled at the top-left corner of
// the client area, the rest of which shows the window's background colour.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zel::platform {

class Picture {
 public:
  Picture() = default;
  Picture(Picture&& other) noexcept : bitmap_(other.bitmap_), size_(other.size_) {
    other.bitmap_ = nullptr;
  }
  Picture& operator=(Picture&& other) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  ~Picture();

  // A BMP file; throws Failure naming `subject` if it is missing, unreadable
  // or no picture.
  static Picture FromFile(const std::wstring& path, std::string_view subject);
  // A bitmap resource of the running program; empty if it has none.
  static Picture FromResource(int id);

  // Fills `client` of the device context: the picture, cut at the client
  // area's edges, and the background brush wherever the picture does not reach.
  void Paint(HDC dc, const RECT& client, HBRUSH background) const;

 private:
  explicit Picture(HBITMAP bitmap);

  HBITMAP bitmap_ = nullptr;
  SIZE size_{0, 0};
};

}  // namespace zel::platform

#include "platform/win32/picture.h"

#include <algorithm>

#include "platform/win32/win32_failure.h"

namespace zel::platform {

Picture::Picture(HBITMAP bitmap) : bitmap_(bitmap) {
  BITMAP info{};
  if (bitmap_ && GetObjectW(bitmap_, sizeof info, &info)) size_ = {info.bmWidth, info.bmHeight};
}

Picture& Picture::operator=(Picture&& other) noexcept {
  if (this != &other) {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = other.bitmap_;
    size_ = other.size_;
    other.bitmap_ = nullptr;
  }
  return *this;
}

Picture::~Picture() {
  if (bitmap_) DeleteObject(bitmap_);
}

Picture Picture::FromFile(const std::wstring& path, std::string_view subject) {
  // LoadImageW leaves no error number, or a misleading one, for a file that is
  // there but holds no bitmap. So the file is opened first: a failure there is
  // the system's error (missing, no access, in use); a failure after it means
  // the content is no picture.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw LastErrorFailure(GetLastError(), subject);
  CloseHandle(file);
  const HANDLE loaded =
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!loaded) throw InvalidPictureFailure(subject);
  return Picture(static_cast<HBITMAP>(loaded));
}

Picture Picture::FromResource(int id) {
  const HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0,
                                   0, LR_CREATEDIBSECTION);
  return Picture(static_cast<HBITMAP>(loaded));
}

void Picture::Paint(HDC dc, const RECT& client, HBRUSH background) const {
  const LONG width = std::min(size_.cx, client.right);
  const LONG height = std::min(size_.cy, client.bottom);
  if (bitmap_ && width > 0 && height > 0) {
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ before = SelectObject(source, bitmap_);
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, before);
    DeleteDC(source);
  }
  // Only what the picture leaves free, so that nothing flickers.
  const LONG right = std::max<LONG>(width, 0);
  const LONG bottom = std::max<LONG>(height, 0);
  const RECT beside{right, 0, client.right, client.bottom};
  const RECT below{0, bottom, right, client.bottom};
  if (beside.left < beside.right) FillRect(dc, &beside, background);
  if (below.top < below.bottom) FillRect(dc, &below, background);
}

}  // namespace zel::platform

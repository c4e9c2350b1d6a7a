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
  // A missing or unreadable file leaves the system's error number. A file that
  // is there but holds no bitmap leaves none, so that case gets its own.
  SetLastError(ERROR_SUCCESS);
  const HANDLE loaded = LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!loaded) {
    const DWORD error = GetLastError();
    if (error != ERROR_SUCCESS) throw LastErrorFailure(error, subject);
    throw InvalidPictureFailure(subject);
  }
  return Picture(static_cast<HBITMAP>(loaded));
}

Picture Picture::FromResource(int id) {
  const HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                   0, 0, LR_CREATEDIBSECTION);
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

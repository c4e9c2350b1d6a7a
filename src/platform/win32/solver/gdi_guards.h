// Owners of GDI objects and device contexts, each released on every path:
// fonts, bitmaps, pens and brushes (DeleteObject), memory DCs (DeleteDC), a
// window's DC (ReleaseDC), a paint (EndPaint), an object selected into a DC
// (the one before it selected back) and a clipping rectangle. Declare an
// object before the selection that uses it, so the selection ends first: a
// selected object cannot be deleted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <utility>

namespace zel::platform {

template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { Reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
  }

 private:
  Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;

// A memory DC compatible with `like` (the screen's when null).
class MemoryDc {
 public:
  explicit MemoryDc(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A window's DC (the screen's for a null window), as GetDC gives it.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// One WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// An object selected into a DC until the end of the scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), before_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (before_ && before_ != HGDI_ERROR) SelectObject(dc_, before_);
  }

 private:
  HDC dc_;
  HGDIOBJ before_;
};

// Drawing on a DC kept inside a rectangle until the end of the scope.
class ClipTo {
 public:
  ClipTo(HDC dc, const RECT& area) : dc_(dc) {
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  }
  ClipTo(const ClipTo&) = delete;
  ClipTo& operator=(const ClipTo&) = delete;
  ~ClipTo() { SelectClipRgn(dc_, nullptr); }

 private:
  HDC dc_;
};

// A 32-bit top-down DIB section selected into a memory DC of its own, to
// draw on and copy from; its pixels are BGRA words, row after row. Holds
// nothing (dc() null) when the size is 0 or the system refuses.
class DibCanvas {
 public:
  DibCanvas(int width, int height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = Bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !dc_.get()) return;
    selection_.emplace(dc_.get(), bitmap_.get());
    pixels_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return pixels_ ? dc_.get() : nullptr; }
  std::uint32_t* pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  // In this order, so that the selection ends before the DC and the bitmap go.
  Bitmap bitmap_;
  MemoryDc dc_;
  std::optional<Selection> selection_;
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace zel::platform

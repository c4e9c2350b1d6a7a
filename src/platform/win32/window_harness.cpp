#include "platform/win32/window_harness.h"

#include <algorithm>
#include <filesystem>

namespace zel::testing {

WindowHarness::WindowHarness() {
  std::filesystem::create_directories(root / "prog");
  std::filesystem::create_directories(root / "drive");
  window.Attach(dispatcher);
}

WindowHarness::~WindowHarness() {
  // Nothing of this run may reach the next one's message loop.
  Pump();
}

void WindowHarness::Write(std::string_view name, std::string_view bytes) const {
  root.Write("prog/" + std::string(name), bytes);
}

std::string WindowHarness::Read(std::string_view name) const {
  return root.Read("prog/" + std::string(name));
}

bool WindowHarness::Exists(std::string_view name) const {
  return root.Exists("prog/" + std::string(name));
}

void WindowHarness::WriteSettings(std::string_view language, std::string_view pictures,
                                  std::string_view sound) const {
  Write("enfo00.dat", language);
  Write("pnfo00.dat", pictures);
  Write("Sound.dat", sound);
}

void WindowHarness::Choose(Control control) const {
  SendMessageW(window.handle(), WM_COMMAND, platform::CommandId(control), 0);
}

void WindowHarness::Click(Control button) const {
  SendMessageW(window.button(button), BM_CLICK, 0, 0);
}

std::optional<int> WindowHarness::AltKey(wchar_t character) {
  // Bit 29: Alt is down. The message goes to the window with the focus.
  const HWND focus = GetFocus() ? GetFocus() : window.handle();
  PostMessageW(focus, WM_SYSCHAR, character, LPARAM{1} | (LPARAM{1} << 29));
  return Pump();
}

ClientPixels::ClientPixels(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ before = SelectObject(dc, target);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  pixels_.assign(pixels, pixels + static_cast<std::size_t>(width_) * height_);
  for (std::uint32_t& pixel : pixels_) pixel &= 0xFFFFFF;
  SelectObject(dc, before);
  DeleteObject(target);
  DeleteDC(dc);
}

int ClientPixels::CountOtherThan(std::uint32_t colour) const {
  return static_cast<int>(std::count_if(pixels_.begin(), pixels_.end(),
                                        [colour](std::uint32_t pixel) { return pixel != colour; }));
}

std::uint32_t PatternAt(int x, int y, std::uint32_t tint) {
  const auto ux = static_cast<std::uint32_t>(x);
  const auto uy = static_cast<std::uint32_t>(y);
  return ((ux & 0xFF) << 16) | ((uy & 0xFF) << 8) | ((ux >> 8) << 6) | ((uy >> 8) << 4) |
         (tint & 0x0F);
}

std::string MakePatternBmp(int width, int height, std::uint32_t tint) {
  return MakeBmp(width, height, [tint](int x, int y) { return PatternAt(x, y, tint); });
}

std::uint32_t BackgroundColour() {
  const COLORREF colour = GetSysColor(COLOR_BTNFACE);
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

}  // namespace zel::testing

#include "platform/win32/window_harness.h"

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

std::uint32_t PatternAt(int x, int y, std::uint32_t tint) {
  const auto ux = static_cast<std::uint32_t>(x);
  const auto uy = static_cast<std::uint32_t>(y);
  return ((ux & 0xFF) << 16) | ((uy & 0xFF) << 8) | ((ux >> 8) << 6) | ((uy >> 8) << 4) |
         (tint & 0x0F);
}

std::string MakePatternBmp(int width, int height, std::uint32_t tint) {
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
  std::string bmp;
  auto put = [&bmp](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  bmp += "BM";
  put(54 + imageBytes, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);  // positive: the bottom row comes first
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(imageBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = height - 1; y >= 0; --y) {
    std::string row(rowBytes, '\0');
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = PatternAt(x, y, tint);
      row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<char>(rgb & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
    bmp += row;
  }
  return bmp;
}

std::uint32_t BackgroundColour() {
  const COLORREF colour = GetSysColor(COLOR_BTNFACE);
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

}  // namespace zel::testing

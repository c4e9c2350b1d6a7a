// One run of the shell with the real window over a temporary program folder:
// real files, recorded process starts and failure reports. Also reads back what
// the window paints, and writes pictures whose every pixel tells where it came
// from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/frm_zelmiku.h"
#include "platform/fake/recording.h"
#include "platform/win32/command_ids.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_window.h"
#include "testing/test_folder.h"

namespace zel::testing {

struct WindowHarness {
  TestFolder root;  // holds "prog" (the program folder) and "drive" (drive C:)
  std::string programFolder = (root / "prog").string();
  std::string driveRoot = (root / "drive").string();
  platform::Win32Files files{programFolder, driveRoot};
  platform::Win32Window window{files};
  platform::RecordingProcesses processes;
  platform::RecordingReport report;
  frmZelmiku form{{window, files, processes}};
  Dispatcher dispatcher{form, window, report};

  WindowHarness();
  ~WindowHarness();

  void Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;  // "" when missing
  bool Exists(std::string_view name) const;
  void WriteSettings(std::string_view language = "\"R\"\r\n",
                     std::string_view pictures = "\"Y\"\r\n",
                     std::string_view sound = "1\r\n") const;

  // A menu choice or a button click as the system delivers it.
  void Choose(Control control) const;
  void Click(Control button) const;
  // Alt with a character, as TranslateMessage makes it, through the message loop.
  std::optional<int> AltKey(wchar_t character);
  // The exit status if the window ended the program.
  std::optional<int> Pump() { return platform::DeliverPendingMessages(window); }
};

// 0xRRGGBB of every pixel of the client area, as the window paints it.
class ClientPixels {
 public:
  explicit ClientPixels(HWND window);
  std::uint32_t at(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  int width() const { return width_; }
  int height() const { return height_; }
  // How many pixels are not of this colour: 0 when the picture fills the area.
  int CountOtherThan(std::uint32_t colour) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// A pixel value unique to its place for pictures up to 1024 x 1024, never the
// window's background colour.
std::uint32_t PatternAt(int x, int y, std::uint32_t tint);
// A 24-bit BMP of that pattern.
std::string MakePatternBmp(int width, int height, std::uint32_t tint);

// The background colour as 0xRRGGBB.
std::uint32_t BackgroundColour();

}  // namespace zel::testing

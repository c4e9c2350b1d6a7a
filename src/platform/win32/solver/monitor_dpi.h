// The scaling of a window's monitor, which the solver's window and its
// statistics window both lay themselves out by.
#pragma once

#include <windows.h>

#include "platform/win32/solver/gdi_guards.h"

namespace zel::platform {

// GetDpiForWindow where the system has it (Windows 10), else the screen's;
// 96 when neither answers.
inline UINT DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi && hwnd) {
    if (const UINT dpi = getDpi(hwnd)) return dpi;
  }
  const WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace zel::platform

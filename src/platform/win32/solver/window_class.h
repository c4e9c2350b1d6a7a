// The window classes of the solver's own windows: the trainer's window, its
// statistics window and the board control differ only in their procedure,
// cursor, background and whether they show the program's icon.
#pragma once

#include <windows.h>

namespace zel::platform {

struct WindowClass {
  const wchar_t* name;
  WNDPROC procedure;
  LPCWSTR cursor;     // a system cursor: IDC_ARROW's number and the like
  HBRUSH background;  // nullptr: the window paints all of itself
  bool programIcon;   // the icon of the program's resources
};

// A class registered before (a second window of the kind) stays as it is:
// Windows refuses the second registration, which is all right here.
inline void Register(const WindowClass& kind, HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = kind.procedure;
  wc.hInstance = instance;
  if (kind.programIcon) wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, kind.cursor);
  wc.hbrBackground = kind.background;
  wc.lpszClassName = kind.name;
  RegisterClassExW(&wc);
}

}  // namespace zel::platform

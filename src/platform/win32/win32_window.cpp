#include "platform/win32/win32_window.h"

#include "app/menu_tree.h"
#include "platform/win32/button_controls.h"
#include "platform/win32/caption.h"
#include "platform/win32/command_ids.h"
#include "platform/win32/menu_bar.h"
#include "platform/win32/message_box_report.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"

namespace zel::platform {
namespace {

// A fixed frame: the pictures are made for one client size.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// The dialog manager treats the window like a dialog: Tab between the buttons,
// Alt with a button's access key clicks it.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// The program's icon at one of the sizes the system draws window icons at;
// shared, so it lives as long as the class and nobody destroys it.
HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_SHARED));
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kWindowClass, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = ProgramIcon(instance, SM_CXICON, SM_CYICON);
  windowClass.hIconSm = ProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) throw LastErrorFailure(GetLastError(), "frmZelmiku");
}

}  // namespace

Win32Window::Win32Window(const Win32Files& files)
    : files_(files), checked_(InitialMarks()), background_(GetSysColorBrush(COLOR_BTNFACE)) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClass(instance, &Win32Window::Procedure);
  picture_ = Picture::FromResource(kTitleScreenResource);

  const HMENU menu = BuildMenuBar();
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, TRUE, kExStyle);
  // WM_NCCREATE stores hwnd_ before CreateWindowExW returns.
  if (!CreateWindowExW(kExStyle, kWindowClass, Widen(kWindowCaption).c_str(), kStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                       menu, instance, this)) {
    const DWORD error = GetLastError();
    DestroyMenu(menu);
    throw LastErrorFailure(error, "frmZelmiku");
  }
  menu_ = menu;
  // The class icons on the window itself too: other programs (the taskbar,
  // the task switcher) ask the window with WM_GETICON, and Wine answers them
  // only with these.
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
               static_cast<LPARAM>(GetClassLongPtrW(hwnd_, GCLP_HICON)));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
               static_cast<LPARAM>(GetClassLongPtrW(hwnd_, GCLP_HICONSM)));
  try {
    FitClientArea();
    CreateButtons();
    for (std::size_t i = 0; i < kControlCount; ++i)
      if (checked_[i]) SetChecked(static_cast<Control>(i), true);
  } catch (...) {
    DestroyAll();
    throw;
  }
}

Win32Window::~Win32Window() { DestroyAll(); }

void Win32Window::DestroyAll() {
  // Destroyed by its owner, not by the user: no end of the program follows.
  quitOnDestroy_ = false;
  if (hwnd_) DestroyWindow(hwnd_);  // with it the buttons and the menu
  for (HFONT& font : fonts_) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
}

void Win32Window::FitClientArea() {
  // The frame is computed for a one-line menu bar; should the captions wrap
  // onto a second line, the window grows by what the client area lacks.
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client{}, window{};
    GetClientRect(hwnd_, &client);
    const LONG missingWidth = kClientWidth - client.right;
    const LONG missingHeight = kClientHeight - client.bottom;
    if (missingWidth == 0 && missingHeight == 0) return;
    GetWindowRect(hwnd_, &window);
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + missingWidth,
                 window.bottom - window.top + missingHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32Window::CreateButtons() {
  for (int order = 0; order < static_cast<int>(kButtonCount); ++order) {
    for (std::size_t i = 0; i < kButtonCount; ++i) {
      if (kButtons[i].tabOrder != order) continue;
      fonts_[i] = CreateButtonFont(kButtons[i].font);
      buttons_[i] = CreateButton(hwnd_, kButtons[i], fonts_[i]);
    }
  }
}

void Win32Window::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

void Win32Window::ShowPicture(std::string_view bmpFile) {
  // Loaded in full before the old one goes, so a failure leaves it standing.
  picture_ = Picture::FromFile(files_.Resolve(bmpFile), bmpFile);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);  // a null window would mean every window
}

// A hidden or disabled button must not keep the keyboard focus, or keys would
// go to a window the user cannot see or use.
void Win32Window::MoveFocusOffButton(HWND button) {
  if (GetFocus() == button) SetFocus(hwnd_);
}

void Win32Window::SetShown(Control id, bool shown) {
  if (!shown) MoveFocusOffButton(button(id));
  ShowWindow(button(id), shown ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::SetEnabled(Control id, bool enabled) {
  if (!enabled) MoveFocusOffButton(button(id));
  EnableWindow(button(id), enabled);
}

void Win32Window::SetChecked(Control menuItem, bool checked) {
  checked_[Index(menuItem)] = checked;
  // An item left out of the menu has only the mark kept here.
  CheckMenuItem(menu_, CommandId(menuItem), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32Window::IsShown(Control id) const {
  // The button's own state: IsWindowVisible would also ask the hidden parent.
  return (GetWindowLongW(button(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Win32Window::IsEnabled(Control id) const { return IsWindowEnabled(button(id)) != FALSE; }

void Win32Window::PaintClient(HDC dc) const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  picture_.Paint(dc, client, background_);
}

void Win32Window::End(int exitStatus) {
  exitStatus_ = exitStatus;
  if (hwnd_) DestroyWindow(hwnd_);
}

void Win32Window::OnCommand(WPARAM wParam) {
  // Menu choices and button clicks (BN_CLICKED) both carry code 0.
  if (HIWORD(wParam) != 0 || !dispatcher_) return;
  const std::optional<Control> control = ControlOfCommand(LOWORD(wParam));
  if (!control) return;
  const RunState state = dispatcher_->Click(*control);
  // Failed: the dispatcher has shown the failure already.
  if (state != RunState::Running) End(Dispatcher::ExitStatus(state));
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(hwnd_, &paint);
      PaintClient(dc);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintClient(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_DESTROY:
      // The close box and the platform's close command arrive here as well,
      // with exit status 0: nothing is left to save.
      if (quitOnDestroy_) PostQuitMessage(exitStatus_);
      return 0;
    case WM_NCDESTROY: {
      const HWND hwnd = hwnd_;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      menu_ = nullptr;
      buttons_.fill(nullptr);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

LRESULT CALLBACK Win32Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // No exception may unwind into user32's frames: the dispatcher catches every
  // failure of a handler, and anything else ends the program here.
  try {
    if (message == WM_NCCREATE) {
      auto* self =
          static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    EndAfterUnexpectedFailure();
  }
}

}  // namespace zel::platform

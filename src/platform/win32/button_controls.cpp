#include "platform/win32/button_controls.h"

#include "platform/win32/command_ids.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"

namespace zel::platform {

int FontHeight(int points100) { return -MulDiv(points100, 96, 7200); }

HFONT CreateButtonFont(const ButtonFont& font) {
  const HFONT created =
      CreateFontW(FontHeight(font.points100), 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                  static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Widen(font.face).c_str());
  if (!created) throw LastErrorFailure(GetLastError(), font.face);
  return created;
}

HWND CreateButton(HWND parent, const ButtonDef& button, HFONT font) {
  DWORD style = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
  if (button.shownAtStart) style |= WS_VISIBLE;
  if (!button.enabledAtStart) style |= WS_DISABLED;
  const HWND created = CreateWindowExW(
      0, L"BUTTON", Widen(button.caption).c_str(), style, button.left, button.top, button.width,
      button.height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(CommandId(button.id))),
      GetModuleHandleW(nullptr), nullptr);
  if (!created) throw LastErrorFailure(GetLastError(), ControlName(button.id));
  SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return created;
}

}  // namespace zel::platform

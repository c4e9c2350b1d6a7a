// The five command buttons as real BUTTON controls: where they are, how they
// look, and which clicks and access keys reach their handlers.
#include <gtest/gtest.h>

#include "platform/win32/text.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

using testing::MakePatternBmp;
using testing::WindowHarness;

struct Expected {
  Control id;
  const char* caption;
  RECT client;  // left, top, right, bottom in the parent's client area
  LONG fontHeight;
  LONG fontWeight;
  bool enabled;
};

// From the form's design: pixel geometry, 24 pt regular or 8.25 pt bold.
constexpr Expected kExpected[] = {
    {Control::cmdRight, "&>", {32, 296, 65, 329}, -32, 400, false},
    {Control::cmdLeft, "&<", {0, 296, 33, 329}, -32, 400, false},
    {Control::cmdPractic, "П&рактика", {64, 296, 137, 329}, -11, 700, false},
    {Control::cmdRight2, "&>", {520, 304, 553, 337}, -32, 400, true},
    {Control::cmdLeft2, "&<", {488, 304, 521, 337}, -32, 400, true},
};

std::string WindowText(HWND hwnd) {
  wchar_t text[64] = {};
  GetWindowTextW(hwnd, text, 64);
  return platform::Narrow(text);
}

TEST(Win32Buttons, GeometryCaptionsFontsAndInitialStates) {
  WindowHarness h;
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(ControlName(e.id));
    const HWND button = h.window.button(e.id);
    ASSERT_NE(button, nullptr);
    wchar_t className[16] = {};
    GetClassNameW(button, className, 16);
    EXPECT_EQ(_wcsicmp(className, L"Button"), 0);
    EXPECT_EQ(WindowText(button), e.caption);
    EXPECT_EQ(GetDlgCtrlID(button), static_cast<int>(platform::CommandId(e.id)));

    RECT rect{};
    GetWindowRect(button, &rect);
    MapWindowPoints(nullptr, h.window.handle(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, e.client.left);
    EXPECT_EQ(rect.top, e.client.top);
    EXPECT_EQ(rect.right, e.client.right);
    EXPECT_EQ(rect.bottom, e.client.bottom);

    const LONG style = GetWindowLongW(button, GWL_STYLE);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_FALSE(h.window.IsShown(e.id));
    EXPECT_EQ(h.window.IsEnabled(e.id), e.enabled);

    const auto font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ASSERT_NE(GetObjectW(font, sizeof logFont, &logFont), 0);
    EXPECT_EQ(logFont.lfHeight, e.fontHeight);
    EXPECT_EQ(logFont.lfWeight, e.fontWeight);
    EXPECT_EQ(logFont.lfCharSet, 204);
    EXPECT_EQ(platform::Narrow(logFont.lfFaceName), "MS Sans Serif");
  }
}

TEST(Win32Buttons, TheStackingOrderIsTheTabOrder) {
  WindowHarness h;
  std::vector<std::string> order;
  for (HWND child = GetWindow(h.window.handle(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const auto control = platform::ControlOfCommand(static_cast<unsigned>(GetDlgCtrlID(child)));
    order.push_back(control ? ControlName(*control) : "?");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"cmdRight", "cmdLeft", "cmdPractic", "cmdRight2",
                                             "cmdLeft2"}));

  // Tab goes from one shown button to the next in that order.
  h.WriteSettings();
  h.Write("Help.bmp", MakePatternBmp(549, 330, 1));
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  h.window.Show();
  h.Choose(Control::mnuHelp1);  // shows cmdRight2 (enabled) and cmdLeft2 (disabled)
  h.window.SetEnabled(Control::cmdLeft2, true);
  EXPECT_EQ(GetNextDlgTabItem(h.window.handle(), h.window.button(Control::cmdRight2), FALSE),
            h.window.button(Control::cmdLeft2));
  EXPECT_EQ(GetNextDlgTabItem(h.window.handle(), h.window.button(Control::cmdLeft2), FALSE),
            h.window.button(Control::cmdRight2));
}

TEST(Win32Buttons, TheHelpArrowsAreCutOffNotMadeRoomFor) {
  WindowHarness h;
  h.window.SetShown(Control::cmdRight2, true);
  h.window.SetShown(Control::cmdLeft2, true);
  RECT client{};
  GetClientRect(h.window.handle(), &client);
  EXPECT_EQ(client.right, 549);
  EXPECT_EQ(client.bottom, 330);
  RECT arrow{};
  GetWindowRect(h.window.button(Control::cmdRight2), &arrow);
  MapWindowPoints(nullptr, h.window.handle(), reinterpret_cast<POINT*>(&arrow), 2);
  EXPECT_EQ(arrow.right - client.right, 4);
  EXPECT_EQ(arrow.bottom - client.bottom, 7);
}

TEST(Win32Buttons, ShowAndEnableChangeTheRealControls) {
  WindowHarness h;
  const HWND practice = h.window.button(Control::cmdPractic);
  h.window.SetShown(Control::cmdPractic, true);
  h.window.SetEnabled(Control::cmdPractic, true);
  EXPECT_TRUE(GetWindowLongW(practice, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(IsWindowEnabled(practice));
  EXPECT_TRUE(h.window.IsShown(Control::cmdPractic) && h.window.IsEnabled(Control::cmdPractic));

  // A button that loses its use loses the keyboard focus too.
  h.window.Show();
  SetFocus(practice);
  ASSERT_EQ(GetFocus(), practice);
  h.window.SetEnabled(Control::cmdPractic, false);
  EXPECT_FALSE(IsWindowEnabled(practice));
  EXPECT_EQ(GetFocus(), h.window.handle());
  h.window.SetEnabled(Control::cmdPractic, true);
  SetFocus(practice);
  h.window.SetShown(Control::cmdPractic, false);
  EXPECT_FALSE(GetWindowLongW(practice, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(GetFocus(), h.window.handle());
}

// The textbook's arrows over a textbook of two pages, the help's over a help
// of two pages.
void WriteBooks(const WindowHarness& h) {
  h.WriteSettings();
  for (const char* name : {"Book.bmp", "Pict02.bmp", "Pict03.bmp", "Help.bmp", "Help01.bmp",
                           "Help02.bmp", "PictZEL.bmp"})
    h.Write(name, MakePatternBmp(16, 16, 3));
  h.Write("Kombiru.exe", std::string(100000, '\0'));
}

TEST(Win32Buttons, OnlyShownEnabledButtonsReachTheirHandlers) {
  WindowHarness h;
  WriteBooks(h);
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);

  // Hidden: the system still reports the click; nothing runs.
  h.Click(Control::cmdRight);
  h.Click(Control::cmdRight2);
  h.Click(Control::cmdPractic);
  EXPECT_FALSE(h.Exists("playea.ini"));
  EXPECT_FALSE(h.Exists("playeo.ini"));

  h.Choose(Control::mnuBook);
  ASSERT_EQ(h.Read("playea.ini"), "1\r\n");
  // Shown, but disabled on the textbook's title.
  h.Click(Control::cmdLeft);
  h.Click(Control::cmdPractic);
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  EXPECT_TRUE(h.processes.starts.empty());

  h.Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  h.Click(Control::cmdPractic);  // enabled on page 2
  ASSERT_EQ(h.processes.starts.size(), 1u);
  EXPECT_EQ(h.processes.starts[0].name, "Kombiru");
  EXPECT_TRUE(h.report.reports.empty());
  EXPECT_EQ(h.Pump(), std::nullopt);
}

TEST(Win32Buttons, AltWithAnAccessKeyClicksOnlyTheShownButton) {
  WindowHarness h;
  WriteBooks(h);
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  h.window.Show();

  // All buttons hidden: no key does anything.
  EXPECT_EQ(h.AltKey(L'>'), std::nullopt);
  EXPECT_EQ(h.AltKey(L'<'), std::nullopt);
  EXPECT_FALSE(h.Exists("playea.ini"));
  EXPECT_FALSE(h.Exists("playeo.ini"));

  // The textbook's arrows take "<" and ">"; the help's, hidden, do not.
  h.Choose(Control::mnuBook);
  // The bare key is no shortcut, whether a button has the focus or not.
  PostMessageW(h.window.handle(), WM_CHAR, L'>', 1);
  PostMessageW(h.window.button(Control::cmdRight), WM_CHAR, L'>', 1);
  h.Pump();
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  h.AltKey(L'>');
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  h.AltKey(L'<');  // disabled on the first page
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  // П&рактика. Wine's dialog manager matches letters beyond ASCII in the case
  // of the caption only, so Alt+Shift+Р would not do here what it does on Windows.
  h.AltKey(L'р');
  EXPECT_EQ(h.processes.starts.size(), 1u);
  h.AltKey(L'>');
  EXPECT_EQ(h.Read("playea.ini"), "3\r\n");
  h.AltKey(L'<');
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_FALSE(h.Exists("playeo.ini"));

  // Now the help's arrows take them, and the textbook's are hidden.
  h.Choose(Control::mnuHelp1);
  ASSERT_EQ(h.Read("playeo.ini"), "0\r\n");
  h.AltKey(L'>');
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  h.AltKey(L'<');  // disabled on the first page
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  h.AltKey(L'>');
  h.AltKey(L'<');
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  h.AltKey(L'р');  // cmdPractic is hidden now
  EXPECT_EQ(h.processes.starts.size(), 1u);
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_TRUE(h.report.reports.empty());
}

// Shift+"." from the keyboard, ">" on the US layout that Wine uses by default,
// with or without Alt: the whole way through TranslateMessage and the dialog
// manager.
void PressGreaterThan(bool withAlt) {
  std::vector<WORD> held{VK_SHIFT, VK_OEM_PERIOD};
  if (withAlt) held.insert(held.begin(), VK_MENU);
  std::vector<INPUT> keys;
  auto add = [&keys](WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    keys.push_back(input);
  };
  for (WORD key : held) add(key, 0);
  for (auto key = held.rbegin(); key != held.rend(); ++key) add(*key, KEYEVENTF_KEYUP);
  ASSERT_EQ(SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)), keys.size());
}

// Delivers messages until `file` holds `bytes`, for at most `limitMs`.
bool PumpUntil(WindowHarness& h, std::string_view file, std::string_view bytes,
               int limitMs = 2000) {
  for (int waited = 0; waited < limitMs && h.Read(file) != bytes; waited += 10) {
    h.Pump();
    Sleep(10);
  }
  h.Pump();
  return h.Read(file) == bytes;
}

TEST(Win32Buttons, KeyPressesReachOnlyTheShownArrow) {
  WindowHarness h;
  WriteBooks(h);
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  h.window.Show();
  ASSERT_TRUE(SetForegroundWindow(h.window.handle()));
  h.Pump();

  h.Choose(Control::mnuHelp1);
  PressGreaterThan(false);  // without Alt: no click
  EXPECT_FALSE(PumpUntil(h, "playeo.ini", "1\r\n", 300));
  PressGreaterThan(true);
  EXPECT_TRUE(PumpUntil(h, "playeo.ini", "1\r\n")) << h.Read("playeo.ini");
  EXPECT_FALSE(h.Exists("playea.ini"));

  h.Choose(Control::mnuBook);
  PressGreaterThan(true);
  EXPECT_TRUE(PumpUntil(h, "playea.ini", "2\r\n")) << h.Read("playea.ini");
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  EXPECT_TRUE(h.report.reports.empty());
}

}  // namespace
}  // namespace zel

// The window's icons: the program's own, at the sizes the system draws a
// window's large and small icon at.
#include <gtest/gtest.h>

#include "platform/win32/icon_testing.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

TEST(Win32Window, ClassAndWindowCarryTheProgramIconLargeAndSmall) {
  testing::WindowHarness h;
  const HWND hwnd = h.window.handle();
  const auto classBig = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICON));
  const auto classSmall = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICONSM));
  EXPECT_EQ(testing::IconWidth(classBig), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(testing::IconWidth(classSmall), GetSystemMetrics(SM_CXSMICON));
  // What the taskbar and the task switcher ask for.
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)), classBig);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)), classSmall);
}

}  // namespace
}  // namespace zel

// The main window itself: its frame and client area, the background picture
// read back from what it paints, and how it ends the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "platform/win32/text.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

using testing::BackgroundColour;
using testing::ClientPixels;
using testing::MakePatternBmp;
using testing::PatternAt;
using testing::WindowHarness;

TEST(Win32Window, AFixedFrameAroundAClientAreaOfExactlyThePictureSize) {
  WindowHarness h;
  const HWND hwnd = h.window.handle();
  EXPECT_FALSE(IsWindowVisible(hwnd));  // created hidden, shown after start-up
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 549);
  EXPECT_EQ(client.bottom, 330);
  EXPECT_NE(GetMenu(hwnd), nullptr);  // the menu bar is outside the client area

  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

  wchar_t caption[128] = {};
  GetWindowTextW(hwnd, caption, 128);
  EXPECT_EQ(platform::Narrow(caption), "\"Шахматная тактика\" — Н. Ладейкин, О. Пешкова");

  h.window.Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 549);
  EXPECT_EQ(client.bottom, 330);
}

TEST(Win32Window, TheTitleScreenComesFromTheProgramItself) {
  const HANDLE title = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0,
                                  0, LR_CREATEDIBSECTION);
  ASSERT_NE(title, nullptr) << "no title screen resource";
  DIBSECTION dib{};
  ASSERT_NE(GetObjectW(title, sizeof dib, &dib), 0);
  EXPECT_EQ(dib.dsBm.bmWidth, 549);
  EXPECT_EQ(dib.dsBm.bmHeight, 330);
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);

  // The window paints exactly the resource's pixels, from the first moment and
  // whatever the settings files say.
  WindowHarness h;
  h.WriteSettings("\"E\"\r\n", "\"N\"\r\n", "3\r\n");
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  const ClientPixels shown(h.window.handle());
  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ before = SelectObject(dc, title);
  int differing = 0;
  for (int y = 0; y < 330; y += 7)
    for (int x = 0; x < 549; x += 5) {
      const COLORREF c = GetPixel(dc, x, y);
      const std::uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      if (shown.at(x, y) != rgb) ++differing;
    }
  EXPECT_EQ(differing, 0);
  SelectObject(dc, before);
  DeleteDC(dc);
  DeleteObject(title);
}

// Every pixel of the client area: the picture's own where it reaches, the
// background colour elsewhere.
int PixelsNotAsExpected(const ClientPixels& shown, int width, int height, std::uint32_t tint) {
  int wrong = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      const bool inside = x < width && y < height;
      if (shown.at(x, y) != (inside ? PatternAt(x, y, tint) : BackgroundColour())) ++wrong;
    }
  return wrong;
}

TEST(Win32Window, PicturesAreDrawnUnscaledAtTheTopLeftAndCutAtTheEdges) {
  WindowHarness h;
  h.Write("Full.bmp", MakePatternBmp(549, 330, 1));
  h.Write("Small.bmp", MakePatternBmp(200, 100, 2));
  h.Write("Large.bmp", MakePatternBmp(700, 400, 3));

  h.window.ShowPicture("Full.bmp");
  EXPECT_EQ(PixelsNotAsExpected(ClientPixels(h.window.handle()), 549, 330, 1), 0);
  h.window.ShowPicture("Small.bmp");
  EXPECT_EQ(PixelsNotAsExpected(ClientPixels(h.window.handle()), 200, 100, 2), 0);
  h.window.ShowPicture("Large.bmp");
  const ClientPixels large(h.window.handle());
  EXPECT_EQ(large.width(), 549);
  EXPECT_EQ(large.height(), 330);
  EXPECT_EQ(PixelsNotAsExpected(large, 700, 400, 3), 0);
  // Nothing else changed.
  for (Control button : {Control::cmdRight, Control::cmdLeft, Control::cmdPractic,
                         Control::cmdRight2, Control::cmdLeft2})
    EXPECT_FALSE(h.window.IsShown(button));
}

TEST(Win32Window, AMissingOrBrokenPictureFailsAndKeepsThePictureBefore) {
  WindowHarness h;
  h.Write("Good.bmp", MakePatternBmp(549, 330, 4));
  h.Write("Gif.bmp", "GIF89a\x01\x00\x01\x00 this is no bitmap");
  h.Write("Empty.bmp", "");
  h.window.ShowPicture("Good.bmp");

  try {
    h.window.ShowPicture("Missing.bmp");
    ADD_FAILURE() << "a missing picture was shown";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.code, 2);
    EXPECT_EQ(failure.subject, "Missing.bmp");
    EXPECT_FALSE(failure.description.empty());
  }
  for (const char* broken : {"Gif.bmp", "Empty.bmp"}) {
    try {
      h.window.ShowPicture(broken);
      ADD_FAILURE() << broken << " was shown";
    } catch (const platform::Failure& failure) {
      EXPECT_EQ(failure.code, platform::InvalidPictureFailure("").code) << broken;
      EXPECT_EQ(failure.subject, broken);
    }
  }
  EXPECT_EQ(PixelsNotAsExpected(ClientPixels(h.window.handle()), 549, 330, 4), 0);
}

TEST(Win32Window, AFailingHandlerIsReportedAndEndsTheProgramWithStatusOne) {
  WindowHarness h;
  h.WriteSettings();
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  h.window.Show();
  const HWND hwnd = h.window.handle();
  h.Choose(Control::mnuProgram);  // About.bmp is missing
  ASSERT_EQ(h.report.reports.size(), 1u);
  EXPECT_EQ(h.report.reports[0].code, 2);
  EXPECT_EQ(h.report.reports[0].subject, "About.bmp");
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(h.window.handle(), nullptr);
  EXPECT_EQ(h.Pump(), 1);
}

TEST(Win32Window, ExitAndTheCloseBoxEndAtOnceWritingNothing) {
  {
    WindowHarness h;
    h.WriteSettings("\"E\"\r\n", "\"N\"\r\n", "3\r\n");
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    h.window.Show();
    h.Choose(Control::mnuExit);
    EXPECT_EQ(h.window.handle(), nullptr);
    EXPECT_EQ(h.Pump(), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(h.root / "prog"), {}), 3);
    EXPECT_EQ(h.Read("enfo00.dat") + h.Read("pnfo00.dat") + h.Read("Sound.dat"),
              "\"E\"\r\n\"N\"\r\n3\r\n");
  }
  {
    WindowHarness h;
    h.WriteSettings();
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    h.window.Show();
    PostMessageW(h.window.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(h.Pump(), 0);
    EXPECT_EQ(h.window.handle(), nullptr);
    EXPECT_TRUE(h.report.reports.empty());
    EXPECT_EQ(h.Read("enfo00.dat") + h.Read("pnfo00.dat") + h.Read("Sound.dat"),
              "\"R\"\r\n\"Y\"\r\n1\r\n");
  }
}

}  // namespace
}  // namespace zel

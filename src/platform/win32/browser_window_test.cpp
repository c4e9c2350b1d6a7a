// The textbook and the help paged on the real window: every page a picture of
// its own colour, paged with clicks on the real buttons and with Alt and the
// arrows' access keys from the keyboard; what the window paints, which real
// buttons are visible and enabled, and what the counter files hold.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/win32/typed_keys.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

using testing::ClientPixels;
using testing::MakeBmp;
using testing::WindowHarness;

// Distinct, and none of them the window's background colour.
std::uint32_t TextbookColour(int counter) {
  return 0x0A0000u * static_cast<std::uint32_t>(counter) + 0x0008F0u;
}
std::uint32_t HelpColour(int counter) {
  return 0x001100u * static_cast<std::uint32_t>(counter) + 0x900007u;
}
constexpr std::uint32_t kEnglishColour = 0x0F0F0F;

std::string Counter(int value) { return std::to_string(value) + "\r\n"; }

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// The textbook pages on which Practice cannot be started.
const std::set<int> kPracticeOff = {8, 9, 15, 16, 17, 18, 19};

class BrowsersOnTheWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    h.WriteSettings();
    h.Write("Book.bmp", MakeBmp(549, 330, TextbookColour(1)));
    for (int page = 2; page <= 20; ++page)
      h.Write("Pict" + TwoDigits(page) + ".bmp", MakeBmp(549, 330, TextbookColour(page)));
    h.Write("Help.bmp", MakeBmp(549, 330, HelpColour(0)));
    for (int page = 1; page <= 8; ++page)
      h.Write("Help" + TwoDigits(page) + ".bmp", MakeBmp(549, 330, HelpColour(page)));
    h.Write("PictNE.bmp", MakeBmp(549, 330, kEnglishColour));
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    h.window.Show();
  }

  // The pixels of the client area not of this colour.
  int PixelsNotOf(std::uint32_t colour) const {
    return ClientPixels(h.window.handle()).CountOtherThan(colour);
  }

  // "vE" visible and enabled, "vd" visible and disabled, "h" hidden, for
  // cmdLeft, cmdRight, cmdPractic, cmdLeft2, cmdRight2, as the system has them.
  std::string Buttons() const {
    std::string states;
    for (Control button : {Control::cmdLeft, Control::cmdRight, Control::cmdPractic,
                           Control::cmdLeft2, Control::cmdRight2}) {
      const HWND hwnd = h.window.button(button);
      if (!states.empty()) states += ' ';
      states += !IsWindowVisible(hwnd) ? "h" : IsWindowEnabled(hwnd) ? "vE" : "vd";
    }
    return states;
  }

  // What the textbook shows on a page: back, forward, Practice, help arrows.
  static std::string TextbookButtons(int counter) {
    const bool practice = counter != 1 && !kPracticeOff.count(counter);
    return std::string(counter <= 2 ? "vd" : "vE") + (counter == 20 ? " vd" : " vE") +
           (practice ? " vE" : " vd") + " h h";
  }

  static std::string HelpButtons(int counter) {
    return std::string("h h h ") + (counter <= 1 ? "vd" : "vE") + (counter == 8 ? " vd" : " vE");
  }

  // Alt+"<" or Alt+">" from the keyboard (Shift+"," and Shift+"." on the US
  // layout), through the message loop's dialog manager.
  // Whether `file` then holds `expected`, waiting at most `limitMs`.
  bool AltArrow(WORD key, std::string_view file, int expected, int limitMs) {
    return testing::PressTogether({VK_MENU, VK_SHIFT, key}) &&
           testing::PumpUntil([this] { h.Pump(); },
                              [&] { return h.Read(file) == Counter(expected); }, limitMs);
  }
  bool AltForward(std::string_view file, int expected, int limitMs = 2000) {
    return AltArrow(VK_OEM_PERIOD, file, expected, limitMs);
  }
  bool AltBack(std::string_view file, int expected, int limitMs = 2000) {
    return AltArrow(VK_OEM_COMMA, file, expected, limitMs);
  }

  WindowHarness h;
};

TEST_F(BrowsersOnTheWindow, TheTextbookPagesToTheEndAndBackWithClicksOnTheRealButtons) {
  h.Choose(Control::mnuBook);
  ASSERT_EQ(h.Read("playea.ini"), "1\r\n");
  EXPECT_EQ(PixelsNotOf(TextbookColour(1)), 0);
  EXPECT_EQ(Buttons(), TextbookButtons(1));

  for (int page = 2; page <= 20; ++page) {
    SCOPED_TRACE("forward to " + std::to_string(page));
    h.Click(Control::cmdRight);
    ASSERT_EQ(h.Read("playea.ini"), Counter(page));
    EXPECT_EQ(PixelsNotOf(TextbookColour(page)), 0);
    EXPECT_EQ(Buttons(), TextbookButtons(page));
  }
  // The system still reports a click on the disabled forward arrow; nothing moves.
  h.Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), "20\r\n");

  for (int page = 19; page >= 2; --page) {
    SCOPED_TRACE("back to " + std::to_string(page));
    h.Click(Control::cmdLeft);
    ASSERT_EQ(h.Read("playea.ini"), Counter(page));
    EXPECT_EQ(PixelsNotOf(TextbookColour(page)), 0);
    EXPECT_EQ(Buttons(), TextbookButtons(page));
  }
  h.Click(Control::cmdLeft);  // disabled: no way back to the title
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_EQ(PixelsNotOf(TextbookColour(2)), 0);

  EXPECT_FALSE(h.Exists("playeo.ini"));
  EXPECT_TRUE(h.processes.starts.empty());
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(BrowsersOnTheWindow, TheHelpPagesToTheEndAndBackWithClicksOnTheRealButtons) {
  h.Choose(Control::mnuBook);
  h.Click(Control::cmdRight);
  h.Choose(Control::mnuHelp1);
  ASSERT_EQ(h.Read("playeo.ini"), "0\r\n");
  EXPECT_EQ(PixelsNotOf(HelpColour(0)), 0);
  EXPECT_EQ(Buttons(), HelpButtons(0));

  for (int page = 1; page <= 8; ++page) {
    SCOPED_TRACE("forward to " + std::to_string(page));
    h.Click(Control::cmdRight2);
    ASSERT_EQ(h.Read("playeo.ini"), Counter(page));
    EXPECT_EQ(PixelsNotOf(HelpColour(page)), 0);
    EXPECT_EQ(Buttons(), HelpButtons(page));
  }
  h.Click(Control::cmdRight2);
  EXPECT_EQ(h.Read("playeo.ini"), "8\r\n");
  // The hidden textbook arrows take no click either.
  h.Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");

  for (int page = 7; page >= 1; --page) {
    SCOPED_TRACE("back to " + std::to_string(page));
    h.Click(Control::cmdLeft2);
    ASSERT_EQ(h.Read("playeo.ini"), Counter(page));
    EXPECT_EQ(PixelsNotOf(HelpColour(page)), 0);
    EXPECT_EQ(Buttons(), HelpButtons(page));
  }
  h.Click(Control::cmdLeft2);
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(BrowsersOnTheWindow, AltWithAnArrowPagesOnlyTheVisibleBrowser) {
  ASSERT_TRUE(SetForegroundWindow(h.window.handle()));
  h.Pump();
  // Both counter files exist; only the open browser's may move.
  h.Choose(Control::mnuHelp1);
  h.Choose(Control::mnuBook);
  ASSERT_EQ(Buttons(), TextbookButtons(1));

  ASSERT_TRUE(AltForward("playea.ini", 2)) << h.Read("playea.ini");
  ASSERT_TRUE(AltForward("playea.ini", 3)) << h.Read("playea.ini");
  ASSERT_TRUE(AltForward("playea.ini", 4)) << h.Read("playea.ini");
  ASSERT_TRUE(AltBack("playea.ini", 3)) << h.Read("playea.ini");
  EXPECT_EQ(PixelsNotOf(TextbookColour(3)), 0);
  EXPECT_EQ(Buttons(), TextbookButtons(3));
  EXPECT_EQ(h.Read("playeo.ini"), "0\r\n");

  // Another picture over the open textbook changes no button; the next key
  // goes on from the stored page.
  h.Choose(Control::mnuEnglish);
  ASSERT_EQ(PixelsNotOf(kEnglishColour), 0);
  EXPECT_EQ(Buttons(), TextbookButtons(3));
  ASSERT_TRUE(AltForward("playea.ini", 4)) << h.Read("playea.ini");
  EXPECT_EQ(PixelsNotOf(TextbookColour(4)), 0);

  // Now the help is open: the same keys page it, and the textbook stays.
  h.Choose(Control::mnuHelp1);
  ASSERT_TRUE(AltForward("playeo.ini", 1)) << h.Read("playeo.ini");
  ASSERT_TRUE(AltForward("playeo.ini", 2)) << h.Read("playeo.ini");
  ASSERT_TRUE(AltBack("playeo.ini", 1)) << h.Read("playeo.ini");
  EXPECT_EQ(PixelsNotOf(HelpColour(1)), 0);
  EXPECT_EQ(Buttons(), HelpButtons(1));
  // Back is disabled on the first page: the key does nothing.
  EXPECT_FALSE(AltBack("playeo.ini", 0, 300));
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  EXPECT_EQ(h.Read("playea.ini"), "4\r\n");
  EXPECT_TRUE(h.report.reports.empty());
}

}  // namespace
}  // namespace zel

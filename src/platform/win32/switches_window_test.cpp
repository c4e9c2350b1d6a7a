// The language and pictures switches chosen from the real menu with the
// keyboard, by the items' access keys: what the settings files then hold, which
// marks the menu shows and which picture the window paints.
#include <gtest/gtest.h>

#include "platform/win32/typed_keys.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

using platform::CommandId;
using testing::ClientPixels;
using testing::MakeBmp;
using testing::WindowHarness;

constexpr std::uint32_t kRussianColour = 0xC03010;
constexpr std::uint32_t kEnglishColour = 0x1030C0;
constexpr std::uint32_t kAboutColour = 0x30C010;

// Alt, then "У" for "&Установки", then the submenu's key ("Я" for "&Язык", "К"
// for "&Картинки"), then the item's.
constexpr std::wstring_view kEnglishKeys = L"уяа";
constexpr std::wstring_view kRussianKeys = L"уяр";
constexpr std::wstring_view kPicturesOffKeys = L"укн";
constexpr std::wstring_view kPicturesOnKeys = L"уке";

class SwitchesByKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    h.WriteSettings("\"R\"\r\n", "\"Y\"\r\n");
    h.Write("PictNR.bmp", MakeBmp(549, 330, kRussianColour));
    h.Write("PictNE.bmp", MakeBmp(549, 330, kEnglishColour));
    h.Write("About.bmp", MakeBmp(549, 330, kAboutColour));
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    h.window.Show();
    ASSERT_TRUE(SetForegroundWindow(h.window.handle()));
    h.Pump();
  }

  // Types the keys and waits until `file` holds `bytes`.
  bool Choose(std::wstring_view keys, std::string_view file, std::string_view bytes) {
    return testing::ChooseFromMenuByKeys(keys) &&
           testing::PumpUntil([this] { h.Pump(); }, [&] { return h.Read(file) == bytes; });
  }

  bool Marked(Control item) const {
    const UINT state = GetMenuState(GetMenu(h.window.handle()), CommandId(item), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
  }

  // The pixels of the client area not of this colour.
  int PixelsNotOf(std::uint32_t colour) const {
    return ClientPixels(h.window.handle()).CountOtherThan(colour);
  }

  WindowHarness h;
};

TEST_F(SwitchesByKeys, TheLanguageItemsWriteTheFileMoveTheMarksAndShowTheirPicture) {
  ASSERT_TRUE(Marked(Control::mnuRussian));
  ASSERT_FALSE(Marked(Control::mnuEnglish));

  ASSERT_TRUE(Choose(kEnglishKeys, "enfo00.dat", "\"E\"\r\n")) << h.Read("enfo00.dat");
  EXPECT_TRUE(Marked(Control::mnuEnglish));
  EXPECT_FALSE(Marked(Control::mnuRussian));
  EXPECT_EQ(PixelsNotOf(kEnglishColour), 0);

  ASSERT_TRUE(Choose(kRussianKeys, "enfo00.dat", "\"R\"\r\n")) << h.Read("enfo00.dat");
  EXPECT_TRUE(Marked(Control::mnuRussian));
  EXPECT_FALSE(Marked(Control::mnuEnglish));
  EXPECT_EQ(PixelsNotOf(kRussianColour), 0);

  // Chosen again while it carries the mark: the file is written anew whatever
  // it held, and the picture comes back over another one.
  h.Write("enfo00.dat", "R\r\n");
  h.Choose(Control::mnuProgram);
  ASSERT_EQ(PixelsNotOf(kAboutColour), 0);
  ASSERT_TRUE(Choose(kRussianKeys, "enfo00.dat", "\"R\"\r\n")) << h.Read("enfo00.dat");
  EXPECT_TRUE(Marked(Control::mnuRussian));
  EXPECT_FALSE(Marked(Control::mnuEnglish));
  EXPECT_EQ(PixelsNotOf(kRussianColour), 0);

  // The pictures file was never touched.
  EXPECT_EQ(h.Read("pnfo00.dat"), "\"Y\"\r\n");
  EXPECT_TRUE(h.report.reports.empty());
  EXPECT_NE(h.window.handle(), nullptr);
}

TEST_F(SwitchesByKeys, ThePicturesItemsWriteTheFileAndMoveTheMarksOverTheTitleScreen) {
  const ClientPixels title(h.window.handle());
  ASSERT_TRUE(Marked(Control::mnuY));
  ASSERT_FALSE(Marked(Control::mnuN));

  ASSERT_TRUE(Choose(kPicturesOffKeys, "pnfo00.dat", "\"N\"\r\n")) << h.Read("pnfo00.dat");
  EXPECT_TRUE(Marked(Control::mnuN));
  EXPECT_FALSE(Marked(Control::mnuY));
  // The title screen stays.
  const ClientPixels after(h.window.handle());
  for (const auto& [x, y] : {std::pair{0, 0}, {274, 165}, {548, 329}, {100, 300}})
    EXPECT_EQ(after.at(x, y), title.at(x, y)) << x << "," << y;

  ASSERT_TRUE(Choose(kPicturesOnKeys, "pnfo00.dat", "\"Y\"\r\n")) << h.Read("pnfo00.dat");
  EXPECT_TRUE(Marked(Control::mnuY));
  EXPECT_FALSE(Marked(Control::mnuN));

  EXPECT_EQ(h.Read("enfo00.dat"), "\"R\"\r\n");
  EXPECT_TRUE(Marked(Control::mnuRussian));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(SwitchesByKeys, AKeyThatNamesNoItemChoosesNothingAndLeavesTheMenu) {
  // "Ж" is no access key in "&Язык"; the menu closes on Esc and the window
  // takes the next choice as usual.
  ASSERT_TRUE(testing::ChooseFromMenuByKeys(L"уяж"));
  testing::PumpUntil([this] { h.Pump(); }, [] { return false; }, 300);
  EXPECT_EQ(h.Read("enfo00.dat"), "\"R\"\r\n");
  EXPECT_TRUE(Marked(Control::mnuRussian));
  ASSERT_TRUE(Choose(kEnglishKeys, "enfo00.dat", "\"E\"\r\n")) << h.Read("enfo00.dat");
  EXPECT_TRUE(Marked(Control::mnuEnglish));
  EXPECT_TRUE(h.report.reports.empty());
}

}  // namespace
}  // namespace zel

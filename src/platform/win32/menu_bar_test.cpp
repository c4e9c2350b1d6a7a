// The menu bar read back from the window's own HMENU, and the check marks that
// start-up sets from the settings files.
#include <gtest/gtest.h>

#include "platform/win32/text.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

using platform::CommandId;
using testing::WindowHarness;

// One line per item, two blanks per level: "caption:" for a submenu, "-" for a
// separator, "caption = control" for a command.
std::string Describe(HMENU menu, int depth = 0) {
  std::string lines;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    lines += std::string(static_cast<std::size_t>(depth) * 2, ' ');
    // For a submenu the state's high byte holds its item count, which can look
    // like MF_SEPARATOR: submenus are told first.
    const HMENU sub = GetSubMenu(menu, i);
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (!sub && (state & MF_SEPARATOR)) {
      lines += "-\n";
      continue;
    }
    wchar_t caption[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
    lines += platform::Narrow(caption);
    if (sub) {
      lines += ":\n" + Describe(sub, depth + 1);
    } else {
      const auto control = platform::ControlOfCommand(GetMenuItemID(menu, i));
      lines += std::string(" = ") + (control ? ControlName(*control) : "?") + "\n";
    }
  }
  return lines;
}

int CountCheckedItems(HMENU menu) {
  int checked = 0;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (const HMENU sub = GetSubMenu(menu, i))
      checked += CountCheckedItems(sub);
    else if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
      ++checked;
  }
  return checked;
}

bool MenuShowsMark(const WindowHarness& h, Control item) {
  const UINT state = GetMenuState(GetMenu(h.window.handle()), CommandId(item), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

bool InMenu(const WindowHarness& h, Control item) {
  return GetMenuState(GetMenu(h.window.handle()), CommandId(item), MF_BYCOMMAND) !=
         static_cast<UINT>(-1);
}

TEST(Win32Menu, TheMenuBarHoldsTheVisibleTreeWithExactCaptions) {
  WindowHarness h;
  const HMENU bar = GetMenu(h.window.handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(Describe(bar),
            "&Программы:\n"
            "  Вы&брать программу:\n"
            "    &Начинающий:\n"
            "      &Тактика-0:\n"
            "        &Учебник = mnuBook\n"
            "        &Практика = mnuPractic\n"
            "    -\n"
            "    &4 разряд:\n"
            "      Тактика-&1 = mnuTactics1\n"
            "      -\n"
            "      Тактика-&2 = mnuTactics2\n"
            "    -\n"
            "    &3 разряд:\n"
            "      Тактика-&3 = mnuTactics3\n"
            "      -\n"
            "      Тактика-&4 = mnuTactics4\n"
            "      -\n"
            "      Тактика-&5 = mnuTactics5\n"
            "    -\n"
            "    &2 разряд:\n"
            "      Тактика-&6 = mnuTactics6\n"
            "      -\n"
            "      Тактика-&7 = mnuTactics7\n"
            "      -\n"
            "      Тактика-&8 = mnuTactics8\n"
            "    -\n"
            "    &1 разряд:\n"
            "      Тактика-&9 = mnuTactics9\n"
            "    -\n"
            "    &Шах и мат = mnuChecmate\n"
            "    -\n"
            "    &Тактика = mnuTactic\n"
            "  &Выход = mnuExit\n"
            "&Установки:\n"
            "  &Язык:\n"
            "    &Русский = mnuRussian\n"
            "    -\n"
            "    &Английский = mnuEnglish\n"
            "  -\n"
            "  &Картинки:\n"
            "    &Есть = mnuY\n"
            "    -\n"
            "    &Нет = mnuN\n"
            "&Справка:\n"
            "  &Вызов справки = mnuHelp1\n"
            "  -\n"
            "  &О программе = mnuProgram\n");
  // The hidden items and everything below them are not there at all.
  for (Control hidden : {Control::mnuZadachnik, Control::mnuDorbelan, Control::mnuSound,
                         Control::mnuVklSound, Control::mnuVyklSound, Control::mnuVideo})
    EXPECT_FALSE(InMenu(h, hidden)) << ControlName(hidden);
}

TEST(Win32Menu, TheWindowStartsWithOnlyTheHiddenMusicMark) {
  WindowHarness h;
  EXPECT_EQ(CountCheckedItems(GetMenu(h.window.handle())), 0);
  for (std::size_t i = 0; i < Index(Control::cmdRight); ++i) {
    const auto item = static_cast<Control>(i);
    EXPECT_EQ(h.window.IsChecked(item), item == Control::mnuVyklSound) << ControlName(item);
  }
}

TEST(Win32Menu, StartUpSetsTheMarksFromTheSettingsFiles) {
  {
    WindowHarness h;
    h.WriteSettings("\"E\"\r\n", "\"Y\"\r\n", "3\r\n");
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    EXPECT_TRUE(MenuShowsMark(h, Control::mnuEnglish));
    EXPECT_FALSE(MenuShowsMark(h, Control::mnuRussian));
    EXPECT_TRUE(MenuShowsMark(h, Control::mnuY));
    EXPECT_FALSE(MenuShowsMark(h, Control::mnuN));
    // The music items are not in the menu; their marks are kept all the same.
    EXPECT_TRUE(h.window.IsChecked(Control::mnuVklSound));
    EXPECT_FALSE(h.window.IsChecked(Control::mnuVyklSound));
    EXPECT_EQ(CountCheckedItems(GetMenu(h.window.handle())), 2);
    EXPECT_TRUE(h.report.reports.empty());
  }
  {
    WindowHarness h;
    h.WriteSettings("R\r\n", "\"y\"\r\n", "7\r\n");
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    EXPECT_TRUE(MenuShowsMark(h, Control::mnuRussian));
    EXPECT_FALSE(MenuShowsMark(h, Control::mnuEnglish));
    EXPECT_TRUE(MenuShowsMark(h, Control::mnuN));
    EXPECT_FALSE(MenuShowsMark(h, Control::mnuY));
    EXPECT_TRUE(h.window.IsChecked(Control::mnuVyklSound));  // as created
    EXPECT_FALSE(h.window.IsChecked(Control::mnuVklSound));
  }
}

TEST(Win32Menu, TheSwitchesMoveTheMarksInTheRealMenu) {
  WindowHarness h;
  h.WriteSettings();
  h.Write("PictNE.bmp", testing::MakePatternBmp(549, 330, 1));
  h.Write("PictNR.bmp", testing::MakePatternBmp(549, 330, 2));
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  ASSERT_TRUE(MenuShowsMark(h, Control::mnuRussian));
  h.Choose(Control::mnuEnglish);
  EXPECT_TRUE(MenuShowsMark(h, Control::mnuEnglish));
  EXPECT_FALSE(MenuShowsMark(h, Control::mnuRussian));
  EXPECT_EQ(h.Read("enfo00.dat"), "\"E\"\r\n");
  // A hidden item cannot be chosen, even by its command id.
  h.Choose(Control::mnuVklSound);
  EXPECT_EQ(h.Read("Sound.dat"), "1\r\n");
  EXPECT_TRUE(h.report.reports.empty());
}

}  // namespace
}  // namespace zel

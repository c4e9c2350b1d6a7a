// The menu bar as data: items in display order, nesting by child spans. Captions
// are UTF-8 with "&" before the access key. Hidden items are hidden from the
// start and nothing ever shows them; their handlers exist all the same.
#pragma once

#include <array>
#include <span>

#include "app/controls.h"
#include "app/frm_zelmiku.h"

namespace zel {

enum class MenuKind : std::uint8_t { Submenu, Command, Separator };

struct MenuNode {
  Control id;
  MenuKind kind;
  const char* caption;  // nullptr for a separator
  std::span<const MenuNode> children = {};
  Handler handler = nullptr;
  bool hidden = false;
  bool checkedAtStart = false;
};

namespace menu_detail {

constexpr MenuNode Sub(Control id, const char* caption, std::span<const MenuNode> children,
                       bool hidden = false) {
  return {id, MenuKind::Submenu, caption, children, nullptr, hidden, false};
}
constexpr MenuNode Cmd(Control id, const char* caption, Handler handler, bool hidden = false,
                       bool checked = false) {
  return {id, MenuKind::Command, caption, {}, handler, hidden, checked};
}
constexpr MenuNode Sep(Control id) { return {id, MenuKind::Separator, nullptr}; }

using C = Control;
using F = frmZelmiku;
constexpr bool kHidden = true;

// Leaves first: a parent's span must name an array that is already defined.
// clang-format off
inline constexpr MenuNode kTactics0[] = {
    Cmd(C::mnuBook, "&Учебник", &F::mnuBook_Click),
    Cmd(C::mnuPractic, "&Практика", &F::mnuPractic_Click),
};
inline constexpr MenuNode kLevel0[] = {Sub(C::mnuTactics0, "&Тактика-0", kTactics0)};
inline constexpr MenuNode kLevel4[] = {
    Cmd(C::mnuTactics1, "Тактика-&1", &F::mnuTactics1_Click),
    Sep(C::mnuSet3),
    Cmd(C::mnuTactics2, "Тактика-&2", &F::mnuTactics2_Click),
};
inline constexpr MenuNode kLevel3[] = {
    Cmd(C::mnuTactics3, "Тактика-&3", &F::mnuTactics3_Click),
    Sep(C::mnuSet5),
    Cmd(C::mnuTactics4, "Тактика-&4", &F::mnuTactics4_Click),
    Sep(C::mnuSet6),
    Cmd(C::mnuTactics5, "Тактика-&5", &F::mnuTactics5_Click),
};
inline constexpr MenuNode kLevel2[] = {
    Cmd(C::mnuTactics6, "Тактика-&6", &F::mnuTactics6_Click),
    Sep(C::mnuSet8),
    Cmd(C::mnuTactics7, "Тактика-&7", &F::mnuTactics7_Click),
    Sep(C::mnuSet2),
    Cmd(C::mnuTactics8, "Тактика-&8", &F::mnuTactics8_Click),
};
inline constexpr MenuNode kLevel1[] = {Cmd(C::mnuTactics9, "Тактика-&9", &F::mnuTactics9_Click)};
inline constexpr MenuNode kSetprogram[] = {
    Sub(C::mnu0, "&Начинающий", kLevel0),
    Sep(C::mnuSet9),
    Sub(C::mnu4, "&4 разряд", kLevel4),
    Sep(C::mnuSet4),
    Sub(C::mnu3, "&3 разряд", kLevel3),
    Sep(C::mnuSet7),
    Sub(C::mnu2, "&2 разряд", kLevel2),
    Sep(C::mnuSet10),
    Sub(C::mnu1, "&1 разряд", kLevel1),
    Cmd(C::mnuZadachnik, "Задачник Дорбелан", &F::mnuZadachnik_Click, kHidden),
    Cmd(C::mnuDorbelan, "Тактика на выигрыш материала", &F::mnuDorbelan_Click, kHidden),
    Sep(C::mnuSep99),
    Cmd(C::mnuChecmate, "&Шах и мат", &F::mnuChecmate_Click),
    Sep(C::mnuSep1),
    Cmd(C::mnuTactic, "&Тактика", &F::mnuTactic_Click),
};
inline constexpr MenuNode kPrograms[] = {
    Sub(C::mnuSetprogram, "Вы&брать программу", kSetprogram),
    Cmd(C::mnuExit, "&Выход", &F::mnuExit_Click),
};
inline constexpr MenuNode kLanguage[] = {
    Cmd(C::mnuRussian, "&Русский", &F::mnuRussian_Click),
    Sep(C::mnuSet17),
    Cmd(C::mnuEnglish, "&Английский", &F::mnuEnglish_Click),
};
inline constexpr MenuNode kSound[] = {
    Cmd(C::mnuVklSound, "&Вкл", &F::mnuVklSound_Click),
    Sep(C::mnuSet13),
    Cmd(C::mnuVyklSound, "В&ыкл", &F::mnuVyklSound_Click, false, true),
};
inline constexpr MenuNode kPictures[] = {
    Cmd(C::mnuY, "&Есть", &F::mnuY_Click),
    Sep(C::mnuSet14),
    Cmd(C::mnuN, "&Нет", &F::mnuN_Click),
};
inline constexpr MenuNode kSettings[] = {
    Sub(C::mnuLange, "&Язык", kLanguage),
    Sub(C::mnuSound, "&Фоновая музыка", kSound, kHidden),
    Sep(C::mnuSet16),
    Sub(C::mnuPicture, "&Картинки", kPictures),
};
inline constexpr MenuNode kHelp[] = {
    Cmd(C::mnuHelp1, "&Вызов справки", &F::mnuHelp1_Click),
    Sep(C::mnuSet15),
    Cmd(C::mnuProgram, "&О программе", &F::mnuProgram_Click),
};

// clang-format on

}  // namespace menu_detail

// The menu bar itself.
inline constexpr MenuNode kMenuBar[] = {
    menu_detail::Sub(Control::mnuAbout, "&Программы", menu_detail::kPrograms),
    menu_detail::Sub(Control::mnuUstanov, "&Установки", menu_detail::kSettings),
    menu_detail::Sub(Control::mnuHelp, "&Справка", menu_detail::kHelp),
    menu_detail::Cmd(Control::mnuVideo, "&Видео", &frmZelmiku::mnuVideo_Click,
                     menu_detail::kHidden),
};

// The node of a menu control, and whether the user can reach it: neither it nor
// any submenu above it is hidden.
const MenuNode* FindMenuNode(Control id);
bool IsReachable(Control id);

// The check marks of every control as the window is created, by control index.
using Marks = std::array<bool, kControlCount>;
Marks InitialMarks();

}  // namespace zel

// The five command buttons over the lower edge of the picture. Geometry is in
// client-area pixels. The help arrows reach past the client area on purpose:
// the window clips them.
#pragma once

#include <iterator>

#include "app/controls.h"
#include "app/frm_zelmiku.h"

namespace zel {

struct ButtonFont {
  const char* face;
  int points100;  // size in hundredths of a point: 2400 is 24 pt, 825 is 8.25 pt
  int weight;     // 400 regular, 700 bold
  int charset;    // 204: Cyrillic
};

struct ButtonDef {
  Control id;
  const char* caption;  // UTF-8, "&" before the access key
  int left, top, width, height;
  int tabOrder;
  ButtonFont font;
  bool shownAtStart;
  bool enabledAtStart;
  Handler handler;
};

inline constexpr ButtonFont kArrowFont{"MS Sans Serif", 2400, 400, 204};
inline constexpr ButtonFont kPracticeFont{"MS Sans Serif", 825, 700, 204};

inline constexpr ButtonDef kButtons[] = {
    {Control::cmdRight, "&>", 32, 296, 33, 33, 0, kArrowFont, false, false,
     &frmZelmiku::cmdRight_Click},
    {Control::cmdLeft, "&<", 0, 296, 33, 33, 1, kArrowFont, false, false,
     &frmZelmiku::cmdLeft_Click},
    {Control::cmdPractic, "П&рактика", 64, 296, 73, 33, 2, kPracticeFont, false, false,
     &frmZelmiku::cmdPractic_Click},
    {Control::cmdRight2, "&>", 520, 304, 33, 33, 3, kArrowFont, false, true,
     &frmZelmiku::cmdRight2_Click},
    {Control::cmdLeft2, "&<", 488, 304, 33, 33, 4, kArrowFont, false, true,
     &frmZelmiku::cmdLeft2_Click},
};

inline constexpr int kClientWidth = 549;
inline constexpr int kClientHeight = 330;

// The table is in Control order, so a button's row is found by its id.
constexpr bool ButtonsInControlOrder() {
  for (std::size_t i = 0; i < std::size(kButtons); ++i)
    if (Index(kButtons[i].id) != Index(Control::cmdRight) + i) return false;
  return std::size(kButtons) == kControlCount - Index(Control::cmdRight);
}
static_assert(ButtonsInControlOrder());

constexpr const ButtonDef& FindButton(Control button) {
  return kButtons[Index(button) - Index(Control::cmdRight)];
}

}  // namespace zel

// Every control of the main window, by its model name: the menu items and
// separators in menu order, then the command buttons. One id space for clicks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zel {

// clang-format off
enum class Control : std::uint8_t {
  mnuAbout, mnuSetprogram, mnu0, mnuTactics0, mnuBook, mnuPractic, mnuSet9,
  mnu4, mnuTactics1, mnuSet3, mnuTactics2, mnuSet4,
  mnu3, mnuTactics3, mnuSet5, mnuTactics4, mnuSet6, mnuTactics5, mnuSet7,
  mnu2, mnuTactics6, mnuSet8, mnuTactics7, mnuSet2, mnuTactics8, mnuSet10,
  mnu1, mnuTactics9, mnuZadachnik, mnuDorbelan, mnuSep99, mnuChecmate, mnuSep1, mnuTactic,
  mnuExit,
  mnuUstanov, mnuLange, mnuRussian, mnuSet17, mnuEnglish,
  mnuSound, mnuVklSound, mnuSet13, mnuVyklSound, mnuSet16,
  mnuPicture, mnuY, mnuSet14, mnuN,
  mnuHelp, mnuHelp1, mnuSet15, mnuProgram,
  mnuVideo,
  cmdRight, cmdLeft, cmdPractic, cmdRight2, cmdLeft2,
  Count
};
// clang-format on

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Count);

constexpr std::size_t Index(Control c) { return static_cast<std::size_t>(c); }
constexpr bool IsButton(Control c) { return Index(c) >= Index(Control::cmdRight); }

// The model name, "mnuTactics1", for reports and tests.
const char* ControlName(Control c);

}  // namespace zel

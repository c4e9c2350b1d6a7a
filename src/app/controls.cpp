#include "app/controls.h"

#include <array>

namespace zel {
namespace {

// clang-format off
constexpr std::array<const char*, kControlCount> kNames = {
  "mnuAbout", "mnuSetprogram", "mnu0", "mnuTactics0", "mnuBook", "mnuPractic", "mnuSet9",
  "mnu4", "mnuTactics1", "mnuSet3", "mnuTactics2", "mnuSet4",
  "mnu3", "mnuTactics3", "mnuSet5", "mnuTactics4", "mnuSet6", "mnuTactics5", "mnuSet7",
  "mnu2", "mnuTactics6", "mnuSet8", "mnuTactics7", "mnuSet2", "mnuTactics8", "mnuSet10",
  "mnu1", "mnuTactics9", "mnuZadachnik", "mnuDorbelan", "mnuSep99", "mnuChecmate", "mnuSep1", "mnuTactic",
  "mnuExit",
  "mnuUstanov", "mnuLange", "mnuRussian", "mnuSet17", "mnuEnglish",
  "mnuSound", "mnuVklSound", "mnuSet13", "mnuVyklSound", "mnuSet16",
  "mnuPicture", "mnuY", "mnuSet14", "mnuN",
  "mnuHelp", "mnuHelp1", "mnuSet15", "mnuProgram",
  "mnuVideo",
  "cmdRight", "cmdLeft", "cmdPractic", "cmdRight2", "cmdLeft2",
};
// clang-format on

}  // namespace

const char* ControlName(Control c) { return Index(c) < kControlCount ? kNames[Index(c)] : "?"; }

}  // namespace zel

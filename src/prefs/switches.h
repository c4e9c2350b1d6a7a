// The preference switches of the settings menu. Each rewrites its file first,
// then moves the check marks of its pair, then shows its picture if it has one.
#pragma once

#include <optional>
#include <string_view>

#include "app/controls.h"
#include "platform/services.h"
#include "settings/one_value.h"

namespace zel {

struct SwitchRow {
  Control item;
  std::string_view file;
  std::string_view text;       // a text value, or empty for a number
  std::int32_t number;         // the number written when text is empty
  Control markSet;
  Control markCleared;
  std::string_view picture;    // empty: the picture stays
};

// clang-format off
inline constexpr SwitchRow kSwitches[] = {
    {Control::mnuRussian,   "enfo00.dat", "R", 0, Control::mnuRussian,   Control::mnuEnglish,   "PictNR.bmp"},
    {Control::mnuEnglish,   "enfo00.dat", "E", 0, Control::mnuEnglish,   Control::mnuRussian,   "PictNE.bmp"},
    {Control::mnuY,         "pnfo00.dat", "Y", 0, Control::mnuY,         Control::mnuN,         ""},
    {Control::mnuN,         "pnfo00.dat", "N", 0, Control::mnuN,         Control::mnuY,         ""},
    {Control::mnuVklSound,  "Sound.dat",  "",  3, Control::mnuVklSound,  Control::mnuVyklSound, ""},
    {Control::mnuVyklSound, "Sound.dat",  "",  1, Control::mnuVyklSound, Control::mnuVklSound,  ""},
};
// clang-format on

constexpr const SwitchRow& SwitchRowOf(Control item) {
  for (const SwitchRow& row : kSwitches)
    if (row.item == item) return row;
  throw "no switch row for this control";  // a compile-time error where it is constant
}

void RunSwitch(platform::Services& services, const SwitchRow& row);

// The video item: moves the music marks to off without writing the file, then
// starts the video program.
void StartVideo(platform::Services& services);

inline constexpr std::string_view kVideoProgram = "Zvideo";

}  // namespace zel

// The preference switches of the settings menu. Each rewrites its file first,
// then moves the check marks of its pair, then shows its picture if it has one.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/controls.h"
#include "platform/services.h"

namespace zel {

// One check-mark change. The pair's two changes are made in the row's order,
// which is not the same for every item: "Английский" clears "Русский" first.
struct MarkStep {
  Control item;
  bool checked;
};

struct SwitchRow {
  Control item;
  std::string_view file;
  std::string_view text;  // a text value, or empty for a number
  std::int32_t number;    // the number written when text is empty
  std::array<MarkStep, 2> marks;
  std::string_view picture;  // empty: the picture stays
};

namespace switch_detail {
constexpr MarkStep Mark(Control item) { return {item, true}; }
constexpr MarkStep Clear(Control item) { return {item, false}; }
}  // namespace switch_detail

// clang-format off
inline constexpr SwitchRow kSwitches[] = {
    {Control::mnuRussian,   "enfo00.dat", "R", 0,
     {switch_detail::Mark(Control::mnuRussian),    switch_detail::Clear(Control::mnuEnglish)},   "PictNR.bmp"},
    {Control::mnuEnglish,   "enfo00.dat", "E", 0,
     {switch_detail::Clear(Control::mnuRussian),   switch_detail::Mark(Control::mnuEnglish)},    "PictNE.bmp"},
    {Control::mnuY,         "pnfo00.dat", "Y", 0,
     {switch_detail::Mark(Control::mnuY),          switch_detail::Clear(Control::mnuN)},         ""},
    {Control::mnuN,         "pnfo00.dat", "N", 0,
     {switch_detail::Mark(Control::mnuN),          switch_detail::Clear(Control::mnuY)},         ""},
    {Control::mnuVklSound,  "Sound.dat",  "",  3,
     {switch_detail::Mark(Control::mnuVklSound),   switch_detail::Clear(Control::mnuVyklSound)}, ""},
    {Control::mnuVyklSound, "Sound.dat",  "",  1,
     {switch_detail::Mark(Control::mnuVyklSound),  switch_detail::Clear(Control::mnuVklSound)},  ""},
};
// clang-format on

// Every row marks its own item and clears the other one of its pair.
constexpr bool MarksOwnItemAndClearsAnother() {
  for (const SwitchRow& row : kSwitches) {
    const auto& [first, second] = row.marks;
    if (first.checked == second.checked || first.item == second.item) return false;
    if ((first.checked ? first.item : second.item) != row.item) return false;
  }
  return true;
}
static_assert(MarksOwnItemAndClearsAnother());

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

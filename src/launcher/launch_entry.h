// What one launch item writes: the letters of one row of a launch table.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "launcher/patch_layout.h"

namespace zel {

struct LaunchEntry {
  SolverFamily family;
  char itemLetter1;
  char russianLetter;
  char englishLetter;
  char itemLetter2;
  char pictureLetter;
};

struct ByteWrite {
  std::uint32_t position;  // 1-based
  char letter;
};

using PatchWrites = std::array<ByteWrite, kPatchPositions>;

// The fourteen writes of a launch, in the order they are made.
constexpr PatchWrites PlanWrites(const LaunchEntry& entry, bool russian, bool picturesOn) {
  const PatchLayout& at = LayoutOf(entry.family);
  PatchWrites writes{};
  std::size_t i = 0;
  writes[i++] = {at.ItemSlot1, entry.itemLetter1};
  writes[i++] = {at.LanguageSlot, russian ? entry.russianLetter : entry.englishLetter};
  writes[i++] = {at.ItemSlot2, entry.itemLetter2};
  for (auto p : at.PicturesSwitchGroup)
    writes[i++] = {p, picturesOn ? entry.pictureLetter : PicturesOffLetter};
  for (auto p : at.PicturesFixedGroup) writes[i++] = {p, entry.pictureLetter};
  return writes;
}

}  // namespace zel

// Where a launch writes its letters into a solver's program file, and which
// program files a solver family has. Positions are 1-based: position p is the
// byte at file offset p - 1.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zel {

enum class SolverFamily : std::uint8_t { CourseSolver, ProblemBookSolver };

struct SolverFiles {
  std::string_view russianFile, russianStartName;
  std::string_view englishFile, englishStartName;
};

inline constexpr SolverFiles kCourseSolverFiles{"Kombiru.exe", "Kombiru", "Kombien.exe", "Kombien"};
inline constexpr SolverFiles kProblemBookSolverFiles{"ZelmikuR.exe", "ZelmikuR", "ZelmikuE.exe",
                                                     "ZelmikuE"};

constexpr const SolverFiles& FilesOf(SolverFamily family) {
  return family == SolverFamily::CourseSolver ? kCourseSolverFiles : kProblemBookSolverFiles;
}

struct PatchLayout {
  std::uint32_t ItemSlot1;
  std::uint32_t LanguageSlot;
  std::uint32_t ItemSlot2;
  std::array<std::uint32_t, 8> PicturesSwitchGroup;  // in write order, not sorted
  std::array<std::uint32_t, 3> PicturesFixedGroup;   // in write order: ascending
};

// Written to PicturesSwitchGroup when pictures are off, whatever the entry.
inline constexpr char PicturesOffLetter = 'n';

inline constexpr PatchLayout kCourseSolverLayout{
    94119,
    94217,
    96316,
    {94160, 94188, 94581, 94202, 94553, 94567, 94539, 94174},
    {94755, 94769, 94783},
};

// The problem-book solver has the same layout 656 bytes further on.
constexpr PatchLayout Shifted(const PatchLayout& layout, std::uint32_t by) {
  PatchLayout shifted = layout;
  shifted.ItemSlot1 += by;
  shifted.LanguageSlot += by;
  shifted.ItemSlot2 += by;
  for (auto& p : shifted.PicturesSwitchGroup) p += by;
  for (auto& p : shifted.PicturesFixedGroup) p += by;
  return shifted;
}
inline constexpr PatchLayout kProblemBookSolverLayout = Shifted(kCourseSolverLayout, 656);

constexpr const PatchLayout& LayoutOf(SolverFamily family) {
  return family == SolverFamily::CourseSolver ? kCourseSolverLayout : kProblemBookSolverLayout;
}

inline constexpr std::size_t kPatchPositions = 14;

// All fourteen positions in write order.
constexpr std::array<std::uint32_t, kPatchPositions> PositionsInWriteOrder(const PatchLayout& l) {
  std::array<std::uint32_t, kPatchPositions> all{};
  std::size_t i = 0;
  all[i++] = l.ItemSlot1;
  all[i++] = l.LanguageSlot;
  all[i++] = l.ItemSlot2;
  for (auto p : l.PicturesSwitchGroup) all[i++] = p;
  for (auto p : l.PicturesFixedGroup) all[i++] = p;
  return all;
}

constexpr bool AllDistinct(const PatchLayout& l) {
  const auto all = PositionsInWriteOrder(l);
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j)
      if (all[i] == all[j]) return false;
  return true;
}

// The order of the writes never changes the resulting file, and the two
// families never touch each other's bytes.
static_assert(AllDistinct(kCourseSolverLayout) && AllDistinct(kProblemBookSolverLayout));
static_assert(kProblemBookSolverLayout.ItemSlot1 == 94775);
static_assert(kProblemBookSolverLayout.PicturesFixedGroup[2] == 95439);

}  // namespace zel

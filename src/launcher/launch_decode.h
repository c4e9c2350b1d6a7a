// Reading a launch back: which launch item, language and pictures setting wrote
// the fourteen letters found in a solver's program file. Header-only and free
// of the heap, so that the stand-ins, which must stay small, decode with it too.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "launcher/launch_tables.h"

namespace zel {

// The letters at a family's fourteen positions, in write order.
using PatchLetters = std::array<char, kPatchPositions>;

struct DecodedLaunch {
  const LaunchRow* row;  // the first row that writes these letters
  bool russian;
  bool picturesOn;
};

constexpr std::span<const LaunchRow> LaunchRowsOf(SolverFamily family) {
  if (family == SolverFamily::CourseSolver) return kCourseLaunches;
  return kProblemBookLaunches;
}

constexpr bool SameLetters(const LaunchEntry& a, const LaunchEntry& b) {
  return a.family == b.family && a.itemLetter1 == b.itemLetter1 &&
         a.russianLetter == b.russianLetter && a.englishLetter == b.englishLetter &&
         a.itemLetter2 == b.itemLetter2 && a.pictureLetter == b.pictureLetter;
}

// The launch of this family whose planned writes are exactly these letters, or
// nothing for letters no launch writes (a fresh program file, a file patched
// by hand). Rows are tried in table order and the first match wins: the two
// practice items write the same letters. Russian before English and pictures
// on before off, though no two of those write the same letters.
constexpr std::optional<DecodedLaunch> DecodeLaunch(SolverFamily family,
                                                    const PatchLetters& letters) {
  for (const LaunchRow& row : LaunchRowsOf(family)) {
    for (const bool russian : {true, false}) {
      for (const bool picturesOn : {true, false}) {
        const PatchWrites planned = PlanWrites(row.entry, russian, picturesOn);
        bool same = true;
        for (std::size_t i = 0; i < planned.size(); ++i)
          same = same && planned[i].letter == letters[i];
        if (same) return DecodedLaunch{&row, russian, picturesOn};
      }
    }
  }
  return std::nullopt;
}

// Each table holds its own family's rows, and a launch decodes to itself: every row, language and pictures setting, read
// back, gives a row with the same letters and the same settings.
constexpr bool EveryLaunchDecodes() {
  for (const SolverFamily family : {SolverFamily::CourseSolver, SolverFamily::ProblemBookSolver}) {
    for (const LaunchRow& row : LaunchRowsOf(family)) {
      if (row.entry.family != family) return false;
      for (const bool russian : {true, false}) {
        for (const bool picturesOn : {true, false}) {
          const PatchWrites writes = PlanWrites(row.entry, russian, picturesOn);
          PatchLetters letters{};
          for (std::size_t i = 0; i < writes.size(); ++i) letters[i] = writes[i].letter;
          const std::optional<DecodedLaunch> found = DecodeLaunch(family, letters);
          if (!found || !SameLetters(found->row->entry, row.entry) || found->russian != russian ||
              found->picturesOn != picturesOn)
            return false;
        }
      }
    }
  }
  return true;
}
static_assert(EveryLaunchDecodes());

}  // namespace zel

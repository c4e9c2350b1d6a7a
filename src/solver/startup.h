// What a solver does as it starts: which solver it is, in which language, with
// pictures or not, and which course the shell chose, from its own file name
// and the letters the shell wrote into its own program file.
#pragma once

#include <string_view>

#include "launcher/patch_layout.h"
#include "platform/files.h"
#include "solver/catalog.h"

namespace zel::solver {

struct StartChoice {
  SolverFamily family;
  Language language;
  bool picturesOn;
  const CourseInfo* course;  // nullptr: show the family's courses to choose from
};

// From the program's own path (GetModuleFileNameW on Windows, as UTF-8):
//   - the family and language are the name's (Kombiru, Kombien, ZelmikuR,
//     ZelmikuE; on Windows whatever the case);
//   - the letters at the family's positions choose the course and the
//     pictures; letters no launch writes (a fresh file, a program started by
//     hand, a file too short) choose no course, and pictures stay on, the
//     shell's own default.
// A program of another name (a renamed copy) takes family and language from
// its letters, trying the course solver's positions first; without letters
// of either family it is the Russian course solver, the product's first
// language and the shell's default.
// Throws the platform's failure when the program file cannot be read.
StartChoice ChooseStart(platform::Files& files, std::string_view ownPath);

}  // namespace zel::solver

#include "solver/startup.h"

#include "launcher/launch.h"
#include "launcher/solver_identity.h"

namespace zel::solver {
namespace {

Language LanguageOf(bool russian) { return russian ? Language::Russian : Language::English; }

std::optional<DecodedLaunch> LaunchIn(platform::Files& files, std::string_view ownPath,
                                      SolverFamily family) {
  const std::optional<PatchLetters> letters = ReadPatchLetters(files, ownPath, family);
  if (!letters) return std::nullopt;
  return DecodeLaunch(family, *letters);
}

}  // namespace

StartChoice ChooseStart(platform::Files& files, std::string_view ownPath) {
  if (const std::optional<SolverIdentity> identity = IdentifySolver(ownPath)) {
    StartChoice choice{identity->family, LanguageOf(identity->russian), true, nullptr};
    if (const std::optional<DecodedLaunch> launch = LaunchIn(files, ownPath, identity->family)) {
      choice.picturesOn = launch->picturesOn;
      choice.course = CourseOfLaunch(*launch);
    }
    return choice;
  }
  for (const SolverFamily family : {SolverFamily::CourseSolver, SolverFamily::ProblemBookSolver}) {
    if (const std::optional<DecodedLaunch> launch = LaunchIn(files, ownPath, family))
      return {family, LanguageOf(launch->russian), launch->picturesOn, CourseOfLaunch(*launch)};
  }
  return {SolverFamily::CourseSolver, Language::Russian, true, nullptr};
}

}  // namespace zel::solver

// Each course's progress, kept in a small text file of its own in the program
// folder and replaced whole after every change, so that a crash leaves the old
// or the new file. Two solvers may run at once, in both languages and on the
// same course: each writer takes the folder's progress lock, reads the file
// again, applies its one change to what it finds there and replaces the file.
// So neither loses the other's results.
//
// The file, ASCII, CR LF line ends (LF alone is read too):
//
//   Zelmiku progress 1
//   course tactics1
//   current g0007
//   g0012 first
//   g0007 missed
//   g0020 solved
//   g0033 new
//   end
//
// The header line and the course key; the problem the user was at; one line
// per problem of the course, in course order, with its state; "end", so that
// a cut-off file shows. The courses change between versions as problems are
// added, so a problem of the course without a line is new (the course got it
// since), and a line of a problem the course no longer has is passed over, as
// is a current problem it no longer has (the first one is then current): an
// update keeps every result that still applies. Anything else is damage: a
// file that is not exactly this (garbage, cut off, another course's key, an
// id twice, an unknown state). A damaged file is set aside as
// "<name>.bad", replacing an older one, and the course starts afresh; a
// missing file is a fresh start too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "solver/catalog.h"

namespace zel::solver {

// What the user has achieved on one problem since the course was last started
// afresh. "First attempt" is strict: any mistake, hint or shown solution on a
// problem before it is solved makes it Missed, and solving it then gives
// Solved. A solved problem stays solved whatever comes later, and a problem
// solved at the first attempt keeps that mark.
enum class ProblemState : std::uint8_t {
  New,          // not solved, nothing counted against it
  Missed,       // not solved yet; a mistake, hint or shown solution was counted
  Solved,       // solved after a mistake, hint or shown solution
  SolvedFirst,  // solved with no mistake, hint or shown solution before
};

constexpr bool IsSolved(ProblemState state) {
  return state == ProblemState::Solved || state == ProblemState::SolvedFirst;
}

// One change the session makes to a problem's state.
enum class Outcome : std::uint8_t {
  None,          // only the current problem changes
  Fault,         // a mistake, a hint or the solution shown
  SolvedClean,   // solved, and the session counted nothing against it
  SolvedAfterFault,
};

// The state after an outcome. Applied to what the file holds at the moment of
// writing, so that another solver's result on the same problem is kept.
constexpr ProblemState Apply(ProblemState state, Outcome outcome) {
  switch (outcome) {
    case Outcome::None:
      return state;
    case Outcome::Fault:
      return state == ProblemState::New ? ProblemState::Missed : state;
    case Outcome::SolvedClean:
      return state == ProblemState::New ? ProblemState::SolvedFirst
             : IsSolved(state)          ? state
                                        : ProblemState::Solved;
    case Outcome::SolvedAfterFault:
      return IsSolved(state) ? state : ProblemState::Solved;
  }
  return state;
}

// An outcome for one problem, by its index in the course.
struct Change {
  std::size_t problem;
  Outcome outcome;
};

struct CourseProgress {
  std::vector<ProblemState> states;  // one per problem, in course order
  std::size_t current = 0;           // the problem the user was at
  friend bool operator==(const CourseProgress&, const CourseProgress&) = default;
};

// All new, at the first problem.
CourseProgress FreshProgress(std::size_t problems);

std::string FormatProgress(std::string_view courseKey, std::span<const std::string> ids,
                           const CourseProgress& progress);
// Nothing when the bytes are damaged; see above.
std::optional<CourseProgress> ParseProgress(std::string_view bytes, std::string_view courseKey,
                                            std::span<const std::string> ids);

// Every solver of the folder takes this one lock to write progress.
inline constexpr std::string_view kProgressLockFile = "progress.lck";
inline constexpr std::string_view kDamagedSuffix = ".bad";

class ProgressStore {
 public:
  // `ids`: the course's problems in course order.
  ProgressStore(platform::Files& files, const CourseInfo& course, std::vector<std::string> ids);

  // The saved progress; fresh when the file is missing or damaged (a damaged
  // one is set aside first). Reads without the lock: a replacement is one step.
  CourseProgress Load();

  // Under the lock: reads the file again, applies the changes in order, makes
  // `current` the current problem, and replaces the file if that changed it.
  // Returns what the file now holds, the other solvers' results included.
  // Throws the platform's failure; the file then keeps its old content.
  CourseProgress Update(std::size_t current, std::span<const Change> changes);

  // Under the lock: every problem new again, the first one current.
  CourseProgress Restart();

  std::size_t size() const { return ids_.size(); }

 private:
  struct Read {
    CourseProgress progress;
    std::string bytes;  // as found; empty when missing or set aside
  };
  // With the lock held.
  Read ReadForUpdate();
  void Write(const Read& before, const CourseProgress& after);

  platform::Files& files_;
  const CourseInfo& course_;
  std::vector<std::string> ids_;
};

}  // namespace zel::solver

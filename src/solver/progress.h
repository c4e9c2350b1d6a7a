// Each course's progress, kept in a small text file of its own in the program
// folder and replaced whole after every change (progress_store.h), so that a
// crash leaves the old or the new file.
//
// The file, ASCII, CR LF line ends (LF alone is read too):
//
//   Zelmiku progress 2
//   course tactics1
//   current g0007
//   cycle 1 2026-01-05
//   g0012 first 34 2026-01-05
//   g0007 solved 212 2026-01-09
//   cycle 2 2026-02-11
//   g0012 missed 95 2026-02-11
//   review
//   g0012 1 2026-02-12
//   g0007 3 2026-02-20
//   end
//
// The header line and the course key; the problem the user was at; then the
// cycles, first to last, the last being the one under way: each a line with
// its number (from 1, in order) and the day it was started, and a line for
// each problem with something recorded in that cycle, in course order: its
// state, the seconds spent on it in the cycle until it was solved, and the day
// of the last change. A problem without a line is new in that cycle. Then the
// review schedule: each problem in it with its box (1 to 4) and the day it is
// due. "end", so that a cut-off file shows. A day is "-" where it is not known:
// in what was read from a file of version 1.
//
// The courses change between versions as problems are added, so a problem of
// the course without a line is new (the course got it since), and a line of a
// problem the course no longer has is passed over, as is a current problem it
// no longer has (the first one is then current): an update keeps every result
// that still applies. A file of version 1 (the same header with 1, then
// "course", "current", one "<id> <state>" line per problem and "end") is read
// as the first cycle, its problems solved after a fault or still missed put
// in the first box of the schedule, due at once; it is written as version 2
// at the next change. Anything else is damage: a file that is not exactly
// this (garbage, cut off, another course's key, an id twice in a cycle or in
// the schedule, an unknown state, cycles out of order). A damaged file is set
// aside as "<name>.bad", replacing an older one, and the course starts
// afresh; a missing file is a fresh start too.
//
// Repetition: a problem failed (a mistake, a hint or the solution shown)
// while it is not yet solved in the cycle, or while it is due, goes to the
// first box, due the next day. Solved while due without a fault, it moves up
// a box and is due again after that box's days (1, 3, 7, 21); solved so from
// the last box, it leaves the schedule. The schedule belongs to the course,
// not to a cycle: a new cycle keeps it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace zel::solver {

using platform::Day;

// What the user has achieved on one problem in one cycle. "First attempt" is
// strict: any mistake, hint or shown solution on a problem before it is solved
// makes it Missed, and solving it then gives Solved. A solved problem stays
// solved whatever comes later in the cycle, and a problem solved at the first
// attempt keeps that mark.
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
  None,         // only the time or the current problem changes
  Fault,        // a mistake, a hint or the solution shown
  SolvedClean,  // solved, and the session counted nothing against it
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

// The days a problem waits in each box of the schedule before it is due.
inline constexpr std::int32_t kBoxDays[] = {1, 3, 7, 21};
inline constexpr std::uint8_t kBoxes = std::size(kBoxDays);
// A course gone through this many times is not started again.
inline constexpr std::size_t kMostCycles = 999;
// The seconds a record may hold: some years.
inline constexpr std::uint32_t kMostSeconds = 100'000'000;

// An outcome for one problem, by its index in the course, and the seconds
// the user spent on it since the last change was written.
struct Change {
  std::size_t problem;
  Outcome outcome;
  std::uint32_t seconds = 0;
};

// One problem in one cycle.
struct ProblemRecord {
  ProblemState state = ProblemState::New;
  std::uint32_t seconds = 0;  // spent on it in the cycle until it was solved
  std::optional<Day> day;     // of the last change; unknown from a file of version 1
  friend bool operator==(const ProblemRecord&, const ProblemRecord&) = default;
  bool Empty() const { return *this == ProblemRecord{}; }
};

struct Cycle {
  std::optional<Day> started;          // unknown from a file of version 1
  std::vector<ProblemRecord> records;  // one per problem, in course order
  friend bool operator==(const Cycle&, const Cycle&) = default;
};

// A problem's place in the review schedule.
struct ReviewSlot {
  std::uint8_t box = 0;  // 1 to kBoxes; 0: not in the schedule
  Day due;
  friend bool operator==(const ReviewSlot&, const ReviewSlot&) = default;
};

struct CourseProgress {
  std::vector<Cycle> cycles;        // at least one; the last is under way
  std::vector<ReviewSlot> reviews;  // one per problem, in course order
  std::size_t current = 0;          // the problem the user was at
  friend bool operator==(const CourseProgress&, const CourseProgress&) = default;

  const Cycle& Current() const { return cycles.back(); }
  ProblemState StateOf(std::size_t problem) const { return Current().records[problem].state; }
  std::size_t ProblemCount() const { return reviews.size(); }
  bool IsDue(std::size_t problem, Day today) const {
    return reviews[problem].box != 0 && reviews[problem].due <= today;
  }
  std::size_t DueCount(Day today) const;
  // Whether the user met the problem in an earlier cycle.
  bool MetBefore(std::size_t problem) const;
};

// One cycle started on `started`, every problem new, none in the schedule.
CourseProgress FreshProgress(std::size_t problems, std::optional<Day> started);
Cycle FreshCycle(std::size_t problems, std::optional<Day> started);

// Applies one change on day `today`: the problem's state and time in the
// cycle under way and its place in the schedule. True when it was the user's
// first attempt at the problem in this course: new in this cycle, met in no
// earlier one, and now failed or solved.
bool ApplyChange(CourseProgress& progress, const Change& change, Day today);

std::string FormatProgress(std::string_view courseKey, std::span<const std::string> ids,
                           const CourseProgress& progress);
// Nothing when the bytes are damaged; see above. `today`: when the problems
// a file of version 1 puts in the schedule are due.
std::optional<CourseProgress> ParseProgress(std::string_view bytes, std::string_view courseKey,
                                            std::span<const std::string> ids, Day today);

}  // namespace zel::solver

// The progress files on disk: a course's own file and the user's rating file
// (progress.h, user_rating.h). Two solvers may run at once, in both languages
// and on the same course: each writer takes the folder's progress lock, reads
// the files again, applies its changes to what it finds there and replaces
// them. So neither loses the other's results. The rating's file is replaced
// before the course's: after a failure between the two the course's change
// is written again with the next update, and its attempt, rated already, is
// not rated twice.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"
#include "solver/progress.h"
#include "solver/user_rating.h"

namespace zel::solver {

// Every solver of the folder takes this one lock to write progress.
inline constexpr std::string_view kProgressLockFile = "progress.lck";
inline constexpr std::string_view kDamagedSuffix = ".bad";

// The bytes of a file of the program folder; empty when it is missing, which
// for a progress file is a fresh start. Throws the platform's failure for a
// file that is there but cannot be read.
std::string ReadFileIfPresent(platform::Files& files, std::string_view name);

// What an update leaves in the files.
struct SavedProgress {
  CourseProgress progress;  // the other solvers' results included
  Glicko rating;
  std::optional<RatingChange> rated;  // when the update rated a first attempt
};

class ProgressStore {
 public:
  // `problems` must outlive the store.
  ProgressStore(platform::Files& files, platform::Clock& clock, const CourseInfo& course,
                const CourseProblems& problems);

  // The saved progress; fresh when the file is missing or damaged (a damaged
  // one is set aside first). Reads without the lock: a replacement is one step.
  CourseProgress Load();
  // The user's rating, likewise.
  UserRating LoadRating();

  // Under the lock: reads the files again, applies the changes in order on
  // today's date, makes `current` the current problem, rates every first
  // attempt among them and replaces each file the changes changed, the
  // rating's first.
  // Throws the platform's failure; a file not yet replaced keeps its old
  // content.
  SavedProgress Update(std::size_t current, std::span<const Change> changes);

  // Under the lock: a new cycle, started today, every problem new in it, the
  // first one current; the earlier cycles and the schedule stay. When the
  // cycle under way has nothing recorded yet it is only dated today.
  CourseProgress StartNewCycle();

  // Under the lock: every result of the course erased, its cycles and its
  // schedule; one cycle started today. The user's rating stays.
  CourseProgress Erase();

  std::size_t size() const { return ids_.size(); }

 private:
  CourseProgress Fresh() const;
  std::optional<CourseProgress> Parse(std::string_view bytes) const;
  // With the lock held: what the course's file holds, a fresh start when it
  // is missing or damaged (a damaged one set aside); `bytes` as found.
  CourseProgress ReadCourse(std::string& bytes);
  // Replaces the course's file if `after` differs from the bytes read.
  void WriteCourse(std::string_view before, const CourseProgress& after);

  platform::Files& files_;
  platform::Clock& clock_;
  const CourseInfo& course_;
  const CourseProblems& problems_;
  std::vector<std::string> ids_;
};

}  // namespace zel::solver

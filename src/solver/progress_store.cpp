#include "solver/progress_store.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/replace_file.h"

namespace zel::solver {
namespace {

void SetAside(platform::Files& files, std::string_view name) {
  files.Replace(name, std::string(name) + std::string(kDamagedSuffix));
}

void ReplaceIfChanged(platform::Files& files, std::string_view name, std::string_view before,
                      const std::string& after) {
  if (after != before) platform::ReplaceFileContent(files, name, after);
}

}  // namespace

std::string ReadFileIfPresent(platform::Files& files, std::string_view name) {
  try {
    return files.ReadAll(name);
  } catch (const platform::Failure& failure) {
    if (platform::IsMissingFile(failure)) return {};
    throw;
  }
}

ProgressStore::ProgressStore(platform::Files& files, platform::Clock& clock,
                             const CourseInfo& course, const CourseProblems& problems)
    : files_(files), clock_(clock), course_(course), problems_(problems), ids_(problems.Ids()) {}

CourseProgress ProgressStore::Load() {
  const std::string bytes = ReadFileIfPresent(files_, course_.progressFile);
  if (bytes.empty()) return FreshProgress(ids_.size(), clock_.Today());
  if (std::optional<CourseProgress> progress =
          ParseProgress(bytes, course_.key, ids_, clock_.Today()))
    return *std::move(progress);
  // Set aside under the lock, so that a good file another solver has just put
  // in its place is never the one moved.
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  return ReadCourse().model;
}

UserRating ProgressStore::LoadRating() {
  const std::string bytes = ReadFileIfPresent(files_, kRatingFile);
  if (bytes.empty()) return {};
  if (std::optional<UserRating> rating = ParseUserRating(bytes)) return *std::move(rating);
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  return ReadRating().model;
}

ProgressStore::Read<CourseProgress> ProgressStore::ReadCourse() {
  Read<CourseProgress> read{FreshProgress(ids_.size(), clock_.Today()),
                            ReadFileIfPresent(files_, course_.progressFile)};
  if (read.bytes.empty()) return read;
  if (std::optional<CourseProgress> progress =
          ParseProgress(read.bytes, course_.key, ids_, clock_.Today())) {
    read.model = *std::move(progress);
  } else {
    SetAside(files_, course_.progressFile);
    read.bytes.clear();
  }
  return read;
}

ProgressStore::Read<UserRating> ProgressStore::ReadRating() {
  Read<UserRating> read{{}, ReadFileIfPresent(files_, kRatingFile)};
  if (read.bytes.empty()) return read;
  if (std::optional<UserRating> rating = ParseUserRating(read.bytes)) {
    read.model = *std::move(rating);
  } else {
    SetAside(files_, kRatingFile);
    read.bytes.clear();
  }
  return read;
}

void ProgressStore::WriteCourse(const Read<CourseProgress>& before, const CourseProgress& after) {
  ReplaceIfChanged(files_, course_.progressFile, before.bytes,
                   FormatProgress(course_.key, ids_, after));
}

SavedProgress ProgressStore::Update(std::size_t current, std::span<const Change> changes) {
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  const platform::Day today = clock_.Today();
  const Read<CourseProgress> before = ReadCourse();
  SavedProgress saved{before.model, {}, std::nullopt};
  std::vector<Change> firstAttempts;
  for (const Change& change : changes)
    if (ApplyChange(saved.progress, change, today)) firstAttempts.push_back(change);
  if (current < ids_.size()) saved.progress.current = current;

  // The rating as it stands, another solver's updates included.
  Read<UserRating> rating = ReadRating();
  for (const Change& change : firstAttempts) {
    const Problem& problem = problems_.problems[change.problem];
    if (std::optional<RatingChange> rated =
            RateFirstAttempt(rating.model, problem.id, problem.difficulty,
                             change.outcome == Outcome::SolvedClean, today)) {
      if (!saved.rated) saved.rated = rated;
      saved.rated->after = rated->after;
    }
  }
  if (saved.rated)
    ReplaceIfChanged(files_, kRatingFile, rating.bytes, FormatUserRating(rating.model));
  saved.rating = rating.model.now;
  WriteCourse(before, saved.progress);
  return saved;
}

CourseProgress ProgressStore::StartNewCycle() {
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  const Read<CourseProgress> before = ReadCourse();
  CourseProgress after = before.model;
  const Cycle& under = after.Current();
  const bool nothingYet = std::all_of(under.records.begin(), under.records.end(),
                                      [](const ProblemRecord& r) { return r.Empty(); });
  if (nothingYet)
    after.cycles.back().started = clock_.Today();
  else if (after.cycles.size() < kMostCycles)
    after.cycles.push_back(FreshCycle(ids_.size(), clock_.Today()));
  after.current = 0;
  WriteCourse(before, after);
  return after;
}

CourseProgress ProgressStore::Erase() {
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  const Read<CourseProgress> before = ReadCourse();
  const CourseProgress after = FreshProgress(ids_.size(), clock_.Today());
  WriteCourse(before, after);
  return after;
}

}  // namespace zel::solver

#include "solver/progress_store.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/replace_file.h"

namespace zel::solver {
namespace {

void ReplaceIfChanged(platform::Files& files, std::string_view name, std::string_view before,
                      const std::string& after) {
  if (after != before) platform::ReplaceFileContent(files, name, after);
}

template <class Model>
struct FileRead {
  Model model;
  std::string bytes;  // as found; empty when missing or set aside
};

// With the lock held: the file's content, or `fresh` when it is missing or
// damaged; a damaged one is set aside.
template <class Model, class Parse>
FileRead<Model> ReadUnderLock(platform::Files& files, std::string_view name, Model fresh,
                              const Parse& parse) {
  FileRead<Model> read{std::move(fresh), ReadFileIfPresent(files, name)};
  if (read.bytes.empty()) return read;
  if (std::optional<Model> model = parse(read.bytes)) {
    read.model = *std::move(model);
  } else {
    files.Replace(name, std::string(name) + std::string(kDamagedSuffix));
    read.bytes.clear();
  }
  return read;
}

// The same without the lock, as long as the file reads: a replacement is one
// step. A damaged file is set aside under the lock, so that a good file
// another solver has just put in its place is never the one moved.
template <class Model, class Parse>
Model LoadFile(platform::Files& files, std::string_view name, Model fresh, const Parse& parse) {
  const std::string bytes = ReadFileIfPresent(files, name);
  if (bytes.empty()) return fresh;
  if (std::optional<Model> model = parse(bytes)) return *std::move(model);
  const std::unique_ptr<platform::FileLock> lock = files.LockExclusive(kProgressLockFile);
  return ReadUnderLock(files, name, std::move(fresh), parse).model;
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

CourseProgress ProgressStore::Fresh() const { return FreshProgress(ids_.size(), clock_.Today()); }

std::optional<CourseProgress> ProgressStore::Parse(std::string_view bytes) const {
  return ParseProgress(bytes, course_.key, ids_, clock_.Today());
}

CourseProgress ProgressStore::Load() {
  return LoadFile(files_, course_.progressFile, Fresh(),
                  [this](std::string_view bytes) { return Parse(bytes); });
}

CourseProgress ProgressStore::ReadCourse(std::string& bytes) {
  FileRead<CourseProgress> read = ReadUnderLock(files_, course_.progressFile, Fresh(),
                                                [this](std::string_view b) { return Parse(b); });
  bytes = std::move(read.bytes);
  return std::move(read.model);
}

UserRating ProgressStore::LoadRating() {
  return LoadFile(files_, kRatingFile, UserRating{}, ParseUserRating);
}

void ProgressStore::WriteCourse(std::string_view before, const CourseProgress& after) {
  ReplaceIfChanged(files_, course_.progressFile, before, FormatProgress(course_.key, ids_, after));
}

SavedProgress ProgressStore::Update(std::size_t current, std::span<const Change> changes) {
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  const platform::Day today = clock_.Today();
  std::string before;
  SavedProgress saved{ReadCourse(before), {}, std::nullopt};
  std::vector<Change> firstAttempts;
  for (const Change& change : changes)
    if (ApplyChange(saved.progress, change, today)) firstAttempts.push_back(change);
  if (current < ids_.size()) saved.progress.current = current;

  // The rating as it stands, another solver's updates included.
  FileRead<UserRating> rating = ReadUnderLock(files_, kRatingFile, UserRating{}, ParseUserRating);
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
  std::string before;
  CourseProgress after = ReadCourse(before);
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
  std::string before;
  ReadCourse(before);
  const CourseProgress after = FreshProgress(ids_.size(), clock_.Today());
  WriteCourse(before, after);
  return after;
}

}  // namespace zel::solver

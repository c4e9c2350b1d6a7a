#include "solver/progress.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/replace_file.h"
#include "solver/problem_data.h"

namespace zel::solver {
namespace {

constexpr std::string_view kHeader = "Zelmiku progress 1";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kStateWords[] = {"new", "missed", "solved", "first"};

std::string_view WordOf(ProblemState state) { return kStateWords[static_cast<int>(state)]; }

std::optional<ProblemState> StateOf(std::string_view word) {
  for (std::size_t i = 0; i < std::size(kStateWords); ++i)
    if (kStateWords[i] == word) return static_cast<ProblemState>(i);
  return std::nullopt;
}

// Splits off the next line, without its CR LF or LF; nothing at the end of the
// bytes or for a last line without its line end, which a cut-off file has.
std::optional<std::string_view> NextLine(std::string_view& rest) {
  const auto end = rest.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// "word value" -> value, when the line is exactly that.
std::optional<std::string_view> ValueAfter(std::string_view line, std::string_view word) {
  if (line.size() <= word.size() + 1 || line.substr(0, word.size()) != word ||
      line[word.size()] != ' ')
    return std::nullopt;
  return line.substr(word.size() + 1);
}

std::optional<std::size_t> IndexOf(std::span<const std::string> ids, std::string_view id) {
  const auto found = std::find(ids.begin(), ids.end(), id);
  if (found == ids.end()) return std::nullopt;
  return static_cast<std::size_t>(found - ids.begin());
}

}  // namespace

CourseProgress FreshProgress(std::size_t problems) {
  return {std::vector<ProblemState>(problems, ProblemState::New), 0};
}

std::string FormatProgress(std::string_view courseKey, std::span<const std::string> ids,
                           const CourseProgress& progress) {
  std::string text;
  const auto line = [&text](std::string_view a, std::string_view b = {}) {
    text += a;
    if (!b.empty()) (text += ' ') += b;
    text += "\r\n";
  };
  line(kHeader);
  line("course", courseKey);
  if (!ids.empty()) line("current", ids[std::min(progress.current, ids.size() - 1)]);
  for (std::size_t i = 0; i < ids.size(); ++i)
    line(ids[i], WordOf(i < progress.states.size() ? progress.states[i] : ProblemState::New));
  line(kEnd);
  return text;
}

std::optional<CourseProgress> ParseProgress(std::string_view bytes, std::string_view courseKey,
                                            std::span<const std::string> ids) {
  std::optional<std::string_view> line = NextLine(bytes);
  if (!line || *line != kHeader) return std::nullopt;
  line = NextLine(bytes);
  if (!line || ValueAfter(*line, "course") != courseKey) return std::nullopt;

  CourseProgress progress = FreshProgress(ids.size());
  if (!ids.empty()) {
    line = NextLine(bytes);
    const std::optional<std::string_view> current =
        line ? ValueAfter(*line, "current") : std::nullopt;
    if (!current || !IsProblemId(*current)) return std::nullopt;
    progress.current = IndexOf(ids, *current).value_or(0);
  }

  std::vector<bool> seen(ids.size(), false);
  std::vector<std::string_view> gone;  // lines of problems the course no longer has
  for (;;) {
    line = NextLine(bytes);
    if (!line) return std::nullopt;  // cut off before "end"
    if (*line == kEnd) break;
    const auto space = line->find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const std::string_view id = line->substr(0, space);
    const std::optional<ProblemState> state = StateOf(line->substr(space + 1));
    if (!IsProblemId(id) || !state) return std::nullopt;
    const std::optional<std::size_t> index = IndexOf(ids, id);
    if (!index) {
      if (std::find(gone.begin(), gone.end(), id) != gone.end()) return std::nullopt;
      gone.push_back(id);
      continue;
    }
    if (seen[*index]) return std::nullopt;
    seen[*index] = true;
    progress.states[*index] = *state;
  }
  if (!bytes.empty()) return std::nullopt;  // anything after "end"
  return progress;
}

ProgressStore::ProgressStore(platform::Files& files, const CourseInfo& course,
                             std::vector<std::string> ids)
    : files_(files), course_(course), ids_(std::move(ids)) {}

CourseProgress ProgressStore::Load() {
  std::string bytes;
  try {
    bytes = files_.ReadAll(course_.progressFile);
  } catch (const platform::Failure& failure) {
    if (platform::IsMissingFile(failure)) return FreshProgress(ids_.size());
    throw;
  }
  if (std::optional<CourseProgress> progress = ParseProgress(bytes, course_.key, ids_))
    return *std::move(progress);
  // Set aside under the lock, so that a good file another solver has just put
  // in its place is never the one moved.
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  return ReadForUpdate().progress;
}

ProgressStore::Read ProgressStore::ReadForUpdate() {
  Read read{FreshProgress(ids_.size()), {}};
  try {
    read.bytes = files_.ReadAll(course_.progressFile);
  } catch (const platform::Failure& failure) {
    if (platform::IsMissingFile(failure)) return read;
    throw;
  }
  if (std::optional<CourseProgress> progress = ParseProgress(read.bytes, course_.key, ids_)) {
    read.progress = *std::move(progress);
  } else {
    files_.Replace(course_.progressFile,
                   std::string(course_.progressFile) + std::string(kDamagedSuffix));
    read.bytes.clear();
  }
  return read;
}

void ProgressStore::Write(const Read& before, const CourseProgress& after) {
  const std::string bytes = FormatProgress(course_.key, ids_, after);
  if (bytes != before.bytes) platform::ReplaceFileContent(files_, course_.progressFile, bytes);
}

CourseProgress ProgressStore::Update(std::size_t current, std::span<const Change> changes) {
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  const Read before = ReadForUpdate();
  CourseProgress after = before.progress;
  for (const Change& change : changes)
    if (change.problem < after.states.size())
      after.states[change.problem] = Apply(after.states[change.problem], change.outcome);
  if (current < ids_.size()) after.current = current;
  Write(before, after);
  return after;
}

CourseProgress ProgressStore::Restart() {
  const std::unique_ptr<platform::FileLock> lock = files_.LockExclusive(kProgressLockFile);
  const Read before = ReadForUpdate();
  const CourseProgress after = FreshProgress(ids_.size());
  Write(before, after);
  return after;
}

}  // namespace zel::solver

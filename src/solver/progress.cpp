#include "solver/progress.h"

#include <algorithm>
#include <unordered_map>

#include "solver/line_format.h"
#include "solver/problem_data.h"

namespace zel::solver {
namespace {

constexpr std::string_view kHeaderStart = "Zelmiku progress ";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kReview = "review";
constexpr std::string_view kUnknownDay = "-";
constexpr std::string_view kStateWords[] = {"new", "missed", "solved", "first"};

std::string_view WordOf(ProblemState state) { return kStateWords[static_cast<int>(state)]; }

std::optional<ProblemState> StateOf(std::string_view word) {
  for (std::size_t i = 0; i < std::size(kStateWords); ++i)
    if (kStateWords[i] == word) return static_cast<ProblemState>(i);
  return std::nullopt;
}

std::string DayText(const std::optional<Day>& day) {
  return day ? lines::DateText(*day) : std::string(kUnknownDay);
}

// A day or "-"; nothing (the outer optional) when it is neither.
std::optional<std::optional<Day>> ReadDayOrUnknown(std::string_view text) {
  if (text == kUnknownDay) return std::optional<Day>{};
  const std::optional<Day> day = lines::ReadDate(text);
  if (!day) return std::nullopt;
  return day;
}

// The course's problems by id, and which ids of problems the course no
// longer has one part of the file has named already.
class IdIndex {
 public:
  explicit IdIndex(std::span<const std::string> ids) {
    for (std::size_t i = 0; i < ids.size(); ++i) index_.emplace(ids[i], i);
    seen_.assign(ids.size(), false);
  }

  // Starts a part of the file in which each id may stand once.
  void NewPart() {
    std::fill(seen_.begin(), seen_.end(), false);
    gone_.clear();
  }

  enum class Found { Problem, Gone, Twice };
  // Whether `id` is the course's problem `*problem`, one the course no longer
  // has, or one this part named before.
  Found Mark(std::string_view id, std::size_t& problem) {
    const auto found = index_.find(id);
    if (found == index_.end()) {
      if (std::find(gone_.begin(), gone_.end(), id) != gone_.end()) return Found::Twice;
      gone_.push_back(id);
      return Found::Gone;
    }
    problem = found->second;
    if (seen_[problem]) return Found::Twice;
    seen_[problem] = true;
    return Found::Problem;
  }

  std::optional<std::size_t> Find(std::string_view id) const {
    const auto found = index_.find(id);
    if (found == index_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::unordered_map<std::string_view, std::size_t> index_;
  std::vector<bool> seen_;
  std::vector<std::string_view> gone_;
};

// The lines after "current" in a file of version 1: one "<id> <state>" per
// problem and "end".
bool ReadVersion1(std::string_view& bytes, IdIndex& index, CourseProgress& progress, Day today) {
  for (;;) {
    const std::optional<std::string_view> line = lines::Next(bytes);
    if (!line) return false;
    if (*line == kEnd) return true;
    const auto fields = lines::Fields<2>(*line);
    const std::optional<ProblemState> state = fields ? StateOf((*fields)[1]) : std::nullopt;
    if (!state || !IsProblemId((*fields)[0])) return false;
    std::size_t problem = 0;
    const IdIndex::Found found = index.Mark((*fields)[0], problem);
    if (found == IdIndex::Found::Twice) return false;
    if (found == IdIndex::Found::Gone) continue;
    progress.cycles[0].records[problem].state = *state;
    // Failed before repetition existed: due for review at once.
    if (*state == ProblemState::Missed || *state == ProblemState::Solved)
      progress.reviews[problem] = {1, today};
  }
}

// The cycles, the schedule and "end" of a file of version 2.
bool ReadVersion2(std::string_view& bytes, IdIndex& index, CourseProgress& progress) {
  const std::size_t problems = progress.reviews.size();
  progress.cycles.clear();
  std::optional<std::string_view> line;
  for (line = lines::Next(bytes); line && *line != kReview; line = lines::Next(bytes)) {
    if (const auto cycle = lines::Fields<3>(*line); cycle && (*cycle)[0] == "cycle") {
      const std::optional<std::uint32_t> number = lines::ReadCount((*cycle)[1]);
      const auto started = ReadDayOrUnknown((*cycle)[2]);
      if (!number || *number != progress.cycles.size() + 1 || *number > kMostCycles || !started)
        return false;
      progress.cycles.push_back(FreshCycle(problems, *started));
      index.NewPart();
      continue;
    }
    const auto record = lines::Fields<4>(*line);
    if (!record || progress.cycles.empty() || !IsProblemId((*record)[0])) return false;
    const std::optional<ProblemState> state = StateOf((*record)[1]);
    const std::optional<std::uint32_t> seconds = lines::ReadCount((*record)[2]);
    const auto day = ReadDayOrUnknown((*record)[3]);
    if (!state || !seconds || *seconds > kMostSeconds || !day) return false;
    std::size_t problem = 0;
    const IdIndex::Found found = index.Mark((*record)[0], problem);
    if (found == IdIndex::Found::Twice) return false;
    if (found == IdIndex::Found::Problem)
      progress.cycles.back().records[problem] = {*state, *seconds, *day};
  }
  if (!line || progress.cycles.empty()) return false;

  index.NewPart();
  for (line = lines::Next(bytes); line && *line != kEnd; line = lines::Next(bytes)) {
    const auto slot = lines::Fields<3>(*line);
    if (!slot || !IsProblemId((*slot)[0])) return false;
    const std::optional<std::uint32_t> box = lines::ReadCount((*slot)[1]);
    const std::optional<Day> due = lines::ReadDate((*slot)[2]);
    if (!box || *box < 1 || *box > kBoxes || !due) return false;
    std::size_t problem = 0;
    const IdIndex::Found found = index.Mark((*slot)[0], problem);
    if (found == IdIndex::Found::Twice) return false;
    if (found == IdIndex::Found::Problem)
      progress.reviews[problem] = {static_cast<std::uint8_t>(*box), *due};
  }
  return line.has_value();
}

std::uint32_t AddSeconds(std::uint32_t seconds, std::uint32_t more) {
  return std::min(kMostSeconds, seconds + std::min(more, kMostSeconds));
}

}  // namespace

std::size_t CourseProgress::DueCount(Day today) const {
  std::size_t due = 0;
  for (std::size_t i = 0; i < reviews.size(); ++i) due += IsDue(i, today) ? 1 : 0;
  return due;
}

bool CourseProgress::MetBefore(std::size_t problem) const {
  for (std::size_t c = 0; c + 1 < cycles.size(); ++c)
    if (cycles[c].records[problem].state != ProblemState::New) return true;
  return false;
}

Cycle FreshCycle(std::size_t problems, std::optional<Day> started) {
  return {started, std::vector<ProblemRecord>(problems)};
}

CourseProgress FreshProgress(std::size_t problems, std::optional<Day> started) {
  return {{FreshCycle(problems, started)}, std::vector<ReviewSlot>(problems), 0};
}

bool ApplyChange(CourseProgress& progress, const Change& change, Day today) {
  if (change.problem >= progress.ProblemCount()) return false;
  ProblemRecord& record = progress.cycles.back().records[change.problem];
  ReviewSlot& slot = progress.reviews[change.problem];
  const ProblemState before = record.state;
  const bool due = progress.IsDue(change.problem, today);

  if (!IsSolved(before) && change.seconds > 0) {
    record.seconds = AddSeconds(record.seconds, change.seconds);
    record.day = today;
  }
  record.state = Apply(before, change.outcome);
  if (record.state != before) record.day = today;

  if (change.outcome == Outcome::Fault && (!IsSolved(before) || due)) {
    slot = {1, today + kBoxDays[0]};
  } else if (change.outcome == Outcome::SolvedClean && due) {
    slot = slot.box < kBoxes
               ? ReviewSlot{static_cast<std::uint8_t>(slot.box + 1), today + kBoxDays[slot.box]}
               : ReviewSlot{};
  }
  return before == ProblemState::New && change.outcome != Outcome::None &&
         !progress.MetBefore(change.problem);
}

std::string FormatProgress(std::string_view courseKey, std::span<const std::string> ids,
                           const CourseProgress& progress) {
  using lines::AppendLine;
  std::string text;
  text.reserve(64 + progress.cycles.size() * ids.size() * 12);
  AppendLine(text, {std::string(kHeaderStart) + "2"});
  AppendLine(text, {"course", courseKey});
  if (!ids.empty()) AppendLine(text, {"current", ids[std::min(progress.current, ids.size() - 1)]});
  for (std::size_t c = 0; c < progress.cycles.size(); ++c) {
    const Cycle& cycle = progress.cycles[c];
    AppendLine(text, {"cycle", std::to_string(c + 1), DayText(cycle.started)});
    for (std::size_t i = 0; i < ids.size() && i < cycle.records.size(); ++i) {
      const ProblemRecord& record = cycle.records[i];
      if (!record.Empty())
        AppendLine(text, {ids[i], WordOf(record.state), std::to_string(record.seconds),
                          DayText(record.day)});
    }
  }
  AppendLine(text, {kReview});
  for (std::size_t i = 0; i < ids.size() && i < progress.reviews.size(); ++i)
    if (progress.reviews[i].box != 0)
      AppendLine(text, {ids[i], std::to_string(progress.reviews[i].box),
                        lines::DateText(progress.reviews[i].due)});
  AppendLine(text, {kEnd});
  return text;
}

std::optional<CourseProgress> ParseProgress(std::string_view bytes, std::string_view courseKey,
                                            std::span<const std::string> ids, Day today) {
  const std::optional<std::string_view> header = lines::Next(bytes);
  if (!header || !header->starts_with(kHeaderStart)) return std::nullopt;
  const std::string_view version = header->substr(kHeaderStart.size());
  if (version != "1" && version != "2") return std::nullopt;
  const auto course = lines::Next(bytes);
  const auto key = course ? lines::Fields<2>(*course) : std::nullopt;
  if (!key || (*key)[0] != "course" || (*key)[1] != courseKey) return std::nullopt;

  IdIndex index(ids);
  CourseProgress progress = FreshProgress(ids.size(), std::nullopt);
  if (!ids.empty()) {
    const auto line = lines::Next(bytes);
    const auto current = line ? lines::Fields<2>(*line) : std::nullopt;
    if (!current || (*current)[0] != "current" || !IsProblemId((*current)[1])) return std::nullopt;
    progress.current = index.Find((*current)[1]).value_or(0);
  }
  const bool read = version == "1" ? ReadVersion1(bytes, index, progress, today)
                                   : ReadVersion2(bytes, index, progress);
  if (!read || !bytes.empty()) return std::nullopt;  // damaged, or anything after "end"
  return progress;
}

}  // namespace zel::solver

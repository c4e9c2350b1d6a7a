#include "solver_files_check.h"

#include <algorithm>
#include <set>

#include "chess/movegen.h"
#include "platform/failure.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"
#include "solver/progress.h"
#include "solver/user_rating.h"

namespace zel::fuzz {
namespace {

constexpr std::string_view kFile = "Zadachi.dat";

bool Printable(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c < 0x7F; });
}

// A file that reads must hold only what the rules allow: known courses, each
// once, problems unique in their course, lines of an odd number of legal moves.
std::string DataViolation(const solver::ProblemData& data) {
  std::set<std::string> keys;
  for (const solver::CourseProblems& course : data.courses) {
    if (!solver::FindCourse(course.key)) return "an unknown course was read: " + course.key;
    if (!keys.insert(course.key).second) return "a course was read twice: " + course.key;
    std::set<std::string> ids;
    for (const solver::Problem& problem : course.problems) {
      if (problem.id.empty() || !ids.insert(problem.id).second) return "a bad or repeated id";
      if (problem.line.size() % 2 == 0) return problem.id + ": a line ending on the defender";
      chess::Position position = problem.start;
      for (const chess::Move& move : problem.line) {
        if (!chess::LegalMoves(position).contains(move)) return problem.id + ": an illegal move";
        position = position.After(move);
      }
    }
  }
  return data.courses.empty() ? "a file without a course was read" : "";
}

// A failure must name the file and a line within it, and say what is wrong
// in text a message box can show.
std::string FailureViolation(const platform::Failure& failure, std::string_view bytes) {
  if (failure.code != platform::DamagedFileFailure(kFile, 1, "").code)
    return "not a damaged-file failure: " + std::to_string(failure.code);
  if (failure.description.empty() || !Printable(failure.description))
    return "an empty or unprintable description";
  if (failure.subject == kFile) return "";
  const std::string prefix = std::string(kFile) + ", line ";
  if (failure.subject.compare(0, prefix.size(), prefix) != 0)
    return "the subject does not name the file: " + failure.subject;
  const std::size_t lines =
      static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  const std::string number = failure.subject.substr(prefix.size());
  if (number.empty() || number.size() > 9 || std::stoul(number) == 0 || std::stoul(number) > lines)
    return "a line number outside the file: " + failure.subject;
  return "";
}

// A progress file as read must fit its course; the day the fuzzer's files
// are read on.
constexpr platform::Day kToday = {20514};  // 2026-03-02

std::string ProgressShapeViolation(const solver::CourseProgress& progress, std::size_t problems) {
  if (progress.cycles.empty() || progress.cycles.size() > solver::kMostCycles)
    return "a number of cycles no file may hold";
  for (const solver::Cycle& cycle : progress.cycles) {
    if (cycle.records.size() != problems) return "a cycle of the wrong size was read";
    for (const solver::ProblemRecord& record : cycle.records)
      if (record.seconds > solver::kMostSeconds) return "more seconds than a record may hold";
  }
  if (progress.reviews.size() != problems || progress.current >= problems)
    return "a schedule or current problem of the wrong size was read";
  for (const solver::ReviewSlot& slot : progress.reviews)
    if (slot.box > solver::kBoxes) return "a box beyond the last";
  return "";
}

// Damage reads as nothing; anything read is written back to bytes that read
// the same again, and stays readable after every kind of change.
std::string ProgressViolation(std::string_view bytes) {
  static const std::vector<std::string> kIds = {"p0001", "p0002", "p0003", "p0004"};
  const std::optional<solver::CourseProgress> progress =
      solver::ParseProgress(bytes, "practice", kIds, kToday);
  if (!progress) return "";
  if (std::string shape = ProgressShapeViolation(*progress, kIds.size()); !shape.empty())
    return shape;
  const std::string written = solver::FormatProgress("practice", kIds, *progress);
  if (solver::ParseProgress(written, "practice", kIds, kToday) != progress)
    return "progress written does not read back the same";
  solver::CourseProgress changed = *progress;
  for (const solver::Outcome outcome :
       {solver::Outcome::None, solver::Outcome::Fault, solver::Outcome::SolvedClean,
        solver::Outcome::SolvedAfterFault})
    solver::ApplyChange(changed, {static_cast<std::size_t>(outcome), outcome, 4'000'000'000u},
                        kToday + 40);
  const std::string after = solver::FormatProgress("practice", kIds, changed);
  if (solver::ParseProgress(after, "practice", kIds, kToday) != changed)
    return "progress changed and written does not read back the same";
  return "";
}

// The same for the user's rating file, and a rated attempt keeps it readable.
std::string RatingViolation(std::string_view bytes) {
  const std::optional<solver::UserRating> rating = solver::ParseUserRating(bytes);
  if (!rating) return "";
  if (!std::is_sorted(rating->rated.begin(), rating->rated.end()) ||
      std::adjacent_find(rating->rated.begin(), rating->rated.end()) != rating->rated.end())
    return "rated problems out of order or twice";
  if (solver::ParseUserRating(solver::FormatUserRating(*rating)) != rating)
    return "a rating written does not read back the same";
  solver::UserRating changed = *rating;
  const auto rate = [&changed](std::string_view id, double problem, bool solved, int days) {
    solver::RateFirstAttempt(changed, id, problem, solved, kToday + days);
    return solver::ParseUserRating(solver::FormatUserRating(changed)) == changed;
  };
  if (!rate("zz9999", 4000, false, 0) || !rate("a0", 0, true, 10000))
    return "a rating updated and written does not read back the same";
  return "";
}

}  // namespace

std::string SolverFilesViolation(std::string_view bytes) {
  std::string violation;
  try {
    violation = DataViolation(solver::ParseProblemData(bytes, kFile));
  } catch (const platform::Failure& failure) {
    violation = FailureViolation(failure, bytes);
  } catch (const std::exception& e) {
    violation = std::string("an exception other than a failure: ") + e.what();
  }
  if (!violation.empty()) return "problem data: " + violation;
  violation = ProgressViolation(bytes);
  if (!violation.empty()) return "progress: " + violation;
  violation = RatingViolation(bytes);
  return violation.empty() ? "" : "rating: " + violation;
}

}  // namespace zel::fuzz

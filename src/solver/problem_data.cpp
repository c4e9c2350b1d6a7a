#include "solver/problem_data.h"

#include <algorithm>
#include <charconv>

#include "chess/movegen.h"
#include "chess/notation.h"
#include "platform/failure.h"
#include "solver/catalog.h"

namespace zel::solver {
namespace {

constexpr std::size_t kMaxIdLength = 32;
constexpr int kMaxDifficulty = 9999;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Words separated by any run of blanks.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (!(text = Trimmed(text)).empty()) {
    const auto end = std::min(text.find(' '), text.find('\t'));
    words.push_back(text.substr(0, end));
    text.remove_prefix(std::min(end, text.size()));
  }
  return words;
}

bool IsToken(std::string_view text, std::size_t maxLength) {
  if (text.empty() || text.size() > maxLength) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
}

}  // namespace

bool IsProblemId(std::string_view text) { return IsToken(text, kMaxIdLength); }

namespace {

// Quoted and cut short: a damaged line may be long.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string quoted = "\"" + std::string(text.substr(0, kShown));
  if (text.size() > kShown) quoted += "...";
  return quoted + "\"";
}

// Anything but printable ASCII shown as "?", so that a message box never
// receives broken UTF-8 from a damaged file.
std::string Printable(std::string_view text) {
  std::string printable(text);
  for (char& c : printable)
    if (c < ' ' || c >= 0x7F) c = '?';
  return printable;
}

// Each line with its number, the line end and blanks around it taken off.
template <typename Visit>
void ForEachLine(std::string_view bytes, std::size_t& lineNumber, Visit&& visit) {
  for (std::size_t at = 0; at < bytes.size();) {
    ++lineNumber;
    const auto end = bytes.find('\n', at);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    std::string_view line = bytes.substr(at, next - at);
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = next;
    visit(Trimmed(line), next);
  }
}

bool IsBlankOrComment(std::string_view line) { return line.empty() || line.front() == '#'; }

class Reader {
 public:
  Reader(std::string_view fileName, ProblemData& data, std::size_t lineBefore = 0)
      : fileName_(fileName), lineNumber_(lineBefore), data_(data) {}

  // Every section line now; the problems of `firstCourse` (of every course
  // when empty) now, the others' left waiting.
  void ReadFile(std::string_view bytes, std::string_view firstCourse) {
    bool now = false;  // the current section's problems are read now
    ForEachLine(bytes, lineNumber_, [&](std::string_view line, std::size_t next) {
      if (IsBlankOrComment(line)) return;
      if (line.front() == '[') {
        ReadSection(line);
        now = firstCourse.empty() || data_.courses.back().key == firstCourse;
        if (!now) data_.waiting.push_back({data_.courses.size() - 1, next, next, lineNumber_});
        return;
      }
      if (data_.courses.empty()) Fail("A problem before the first [course] line");
      if (now) {
        std::vector<Problem>& problems = data_.courses.back().problems;
        problems.push_back(ReadProblem(line, problems));
      } else {
        data_.waiting.back().end = next;
      }
    });
    if (data_.courses.empty()) Fail(0, "The file holds no course");
  }

  // The problem lines of one section, which holds no section line.
  std::vector<Problem> ReadProblems(std::string_view bytes) {
    std::vector<Problem> problems;
    ForEachLine(bytes, lineNumber_, [&](std::string_view line, std::size_t) {
      if (!IsBlankOrComment(line)) problems.push_back(ReadProblem(line, problems));
    });
    return problems;
  }

 private:
  [[noreturn]] void Fail(std::size_t line, std::string_view fault) const {
    throw platform::DamagedFileFailure(fileName_, line, Printable(fault));
  }
  [[noreturn]] void Fail(std::string_view fault) const { Fail(lineNumber_, fault); }

  void ReadSection(std::string_view line) {
    if (line.back() != ']') Fail("A course line without its closing \"]\"");
    const std::string_view key = line.substr(1, line.size() - 2);
    if (!FindCourse(key)) Fail("Unknown course " + Quoted(key));
    for (const CourseProblems& course : data_.courses)
      if (course.key == key) Fail("The course " + Quoted(key) + " for the second time");
    data_.courses.push_back({std::string(key), {}});
  }

  Problem ReadProblem(std::string_view line, const std::vector<Problem>& before) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
      const auto end = line.find(';', start);
      fields.push_back(Trimmed(line.substr(start, end - start)));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    if (fields.size() != 5)
      Fail(
          "A problem needs 5 fields separated by \";\" (id, FEN, moves, themes, difficulty), "
          "not " +
          std::to_string(fields.size()));

    Problem problem;
    if (!IsToken(fields[0], kMaxIdLength)) Fail("Invalid problem id " + Quoted(fields[0]));
    problem.id = fields[0];
    for (const Problem& other : before)
      if (other.id == problem.id)
        Fail("The problem " + Quoted(problem.id) + " twice in its course");

    std::string error;
    const std::optional<chess::Position> start = chess::Position::FromFen(fields[1], &error);
    if (!start) Fail(problem.id + ": " + error);
    problem.start = *start;

    ReadMoves(problem, fields[2]);

    for (const std::string_view theme : Words(fields[3])) {
      if (!IsToken(theme, kMaxIdLength)) Fail(problem.id + ": invalid theme " + Quoted(theme));
      problem.themes.emplace_back(theme);
    }

    const std::string_view number = fields[4];
    const auto [end, fault] =
        std::from_chars(number.data(), number.data() + number.size(), problem.difficulty);
    if (fault != std::errc{} || end != number.data() + number.size() || problem.difficulty < 0 ||
        problem.difficulty > kMaxDifficulty)
      Fail(problem.id + ": the difficulty " + Quoted(number) + " is no number from 0 to " +
           std::to_string(kMaxDifficulty));
    return problem;
  }

  // Each move legal in turn, an odd number of them, nothing after a mate.
  void ReadMoves(Problem& problem, std::string_view movesField) {
    const std::vector<std::string_view> moves = Words(movesField);
    if (moves.empty()) Fail(problem.id + ": no moves");
    if (moves.size() % 2 == 0)
      Fail(problem.id + ": " + std::to_string(moves.size()) +
           " moves; the line must end on a move of the solver");
    chess::Position position = problem.start;
    for (std::size_t i = 0; i < moves.size(); ++i) {
      const std::optional<chess::Move> move = chess::MoveFromUci(position, moves[i]);
      if (!move)
        Fail(problem.id + ": move " + std::to_string(i + 1) + " " + Quoted(moves[i]) +
             " is not legal in " + position.Fen());
      position = position.After(*move);
      problem.line.push_back(*move);
      if (i + 1 < moves.size() && !chess::HasLegalMove(position))
        Fail(problem.id + ": the game is over after move " + std::to_string(i + 1) +
             ", yet the line goes on");
    }
  }

  std::string_view fileName_;
  std::size_t lineNumber_;
  ProblemData& data_;
};

}  // namespace

std::vector<std::string> CourseProblems::Ids() const {
  std::vector<std::string> ids;
  ids.reserve(problems.size());
  for (const Problem& problem : problems) ids.push_back(problem.id);
  return ids;
}

const CourseProblems* ProblemData::Find(std::string_view key) const {
  for (std::size_t c = 0; c < courses.size(); ++c) {
    if (courses[c].key != key) continue;
    for (const Waiting& section : waiting)
      if (section.course == c) return nullptr;
    return &courses[c];
  }
  return nullptr;
}

void ProblemData::CheckRest() {
  // A section that fails stays waiting, its course empty.
  while (!waiting.empty()) {
    const Waiting& section = waiting.front();
    Reader reader(fileName, *this, section.lineBefore);
    courses[section.course].problems = reader.ReadProblems(
        std::string_view(text).substr(section.begin, section.end - section.begin));
    waiting.erase(waiting.begin());
  }
  text = {};
}

ProblemData ReadProblemData(platform::Files& files, std::string_view fileName,
                            std::string_view firstCourse) {
  return ParseProblemData(files.ReadAll(fileName), fileName, firstCourse);
}

ProblemData ParseProblemData(std::string_view bytes, std::string_view fileName,
                             std::string_view firstCourse) {
  ProblemData data;
  Reader(fileName, data).ReadFile(bytes, firstCourse);
  if (!data.waiting.empty()) {
    data.text = bytes;
    data.fileName = fileName;
  }
  return data;
}

}  // namespace zel::solver

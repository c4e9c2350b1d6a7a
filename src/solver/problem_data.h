// The solvers' one data file, Zadachi.dat, generated from the problem pool:
// every course and collection with its problems in order. ASCII, CR LF or LF:
//
//   # comment
//   [practice]
//   g0012;<FEN, the solver to move>;<UCI moves>;<themes>;<difficulty>
//   ...
//   [tactics1]
//   ...
//
// The moves are the solution line, solver first, then defender and solver in
// turn, ending on a solver move. Every position and every move is checked with
// the chess rules as the file is read; the first fault stops the reading with
// a failure naming the file and the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chess/position.h"
#include "chess/types.h"
#include "platform/files.h"

namespace zel::solver {

struct Problem {
  std::string id;  // unique within its course; the progress files use it
  chess::Position start;
  std::vector<chess::Move> line;  // an odd number of moves, each legal in turn
  std::vector<std::string> themes;
  int difficulty = 0;
};

struct CourseProblems {
  std::string key;  // a key of the catalog
  std::vector<Problem> problems;

  std::vector<std::string> Ids() const;
};

struct ProblemData {
  std::vector<CourseProblems> courses;  // in file order

  // A course whose problems were read and checked, with this key; nullptr
  // when the file has no such section or its problems still wait (below).
  const CourseProblems* Find(std::string_view key) const;

  // Reads and checks the problems left for later, as the first reading would
  // have, throwing the same failures. The courses stay where they are, so a
  // course already in use is not disturbed.
  void CheckRest();

  // A section whose problems are not read yet: where its lines lie in `text`.
  struct Waiting {
    std::size_t course;  // index into `courses`
    std::size_t begin, end;
    std::size_t lineBefore;  // the number of the section's own line
  };
  std::string text;  // the file, kept while sections wait
  std::string fileName;
  std::vector<Waiting> waiting;
};

inline constexpr std::string_view kProblemDataFile = "Zadachi.dat";

// A problem id as the data file and the progress files write it: 1 to 32
// Latin letters, digits, "_" and "-".
bool IsProblemId(std::string_view text);

// Throws platform::Failure: the platform's own for a file that cannot be read,
// DamagedFileFailure with the line for a fault in its content.
// With `firstCourse`, only that course's problems are read and checked now
// (every section line is checked all the same), the others' when CheckRest
// is called: a program shows its chosen course sooner.
ProblemData ReadProblemData(platform::Files& files, std::string_view fileName = kProblemDataFile,
                            std::string_view firstCourse = {});

// The same for bytes already read; `fileName` is for the failure only.
ProblemData ParseProblemData(std::string_view bytes, std::string_view fileName,
                             std::string_view firstCourse = {});

}  // namespace zel::solver

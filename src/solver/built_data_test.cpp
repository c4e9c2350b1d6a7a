// The Zadachi.dat this build writes from the problem pool, read by the
// solvers' own reader: the Python writer and the C++ reader must agree on every
// limit, and the courses must keep the rules they were built by, checked here
// with the solvers' chess rules rather than the writer's.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "chess/movegen.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"

namespace zel::solver {
namespace {

ProblemData ReadBuiltData() {
  std::ifstream in(ZEL_PROBLEM_DATA_FILE, std::ios::binary);
  EXPECT_TRUE(in) << "no " << ZEL_PROBLEM_DATA_FILE;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseProblemData(bytes, "Zadachi.dat");
}

bool EndsInMate(const Problem& problem) {
  chess::Position position = problem.start;
  for (const chess::Move& move : problem.line) position = position.After(move);
  return chess::IsCheckmate(position);
}

TEST(BuiltProblemData, EveryCourseIsThereOnceWithProblemsNoneInTwoPlaces) {
  const ProblemData data = ReadBuiltData();
  std::set<std::string> seen;
  for (const CourseInfo& course : kCourses) {
    SCOPED_TRACE(std::string(course.key));
    const CourseProblems* problems = data.Find(course.key);
    ASSERT_NE(problems, nullptr);
    EXPECT_FALSE(problems->problems.empty());
    for (const Problem& problem : problems->problems)
      EXPECT_TRUE(seen.insert(problem.id).second) << problem.id << " is in two places";
  }
  EXPECT_EQ(data.courses.size(), std::size(kCourses));
}

TEST(BuiltProblemData, OutsidePracticeASingleMoveMates) {
  // A single capture ends before its gain is seen: only practice's first
  // lessons may be one.
  const ProblemData data = ReadBuiltData();
  int lines = 0;
  for (const CourseProblems& course : data.courses) {
    for (const Problem& problem : course.problems) {
      ++lines;
      EXPECT_LE(problem.line.size(), 9u) << problem.id << ": more than five solver moves";
      EXPECT_GE(problem.difficulty, 400) << problem.id;
      EXPECT_LE(problem.difficulty, 3000) << problem.id;
      if (course.key != "practice" && problem.line.size() == 1) {
        EXPECT_TRUE(EndsInMate(problem)) << course.key << ": " << problem.id;
      }
    }
  }
  EXPECT_GT(lines, 200);
}

}  // namespace
}  // namespace zel::solver

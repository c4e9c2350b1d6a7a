// Two solvers writing one course's progress at once: each writer's results,
// its time and its rated first attempts must survive the other's writes, and
// neither the course's file nor the user's rating file may ever be damaged.
// Two threads with files objects of their own on every platform (under Wine
// too), and two processes on POSIX.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/fake/fake_clock.h"
#include "platform/native.h"
#include "solver/progress_store.h"
#include "solver/test_problems.h"
#include "testing/test_folder.h"

namespace zel::solver {
namespace {

constexpr std::size_t kProblems = 24;
const CourseInfo& kCourse = *FindCourse("tactics4");

// Problems t1000 to t1023, rated 1000 to 1230; no position is looked at.
CourseProblems Problems() {
  CourseProblems problems{std::string(kCourse.key), {}};
  for (std::size_t i = 0; i < kProblems; ++i) {
    Problem& problem = problems.problems.emplace_back();
    problem.id = "t" + std::to_string(1000 + i);
    problem.difficulty = static_cast<int>(1000 + 10 * i);
  }
  return problems;
}

// One writer's part: writer 0 solves the even problems cleanly, writer 1 makes
// a mistake on each odd one, each after i + 1 seconds on it; every update
// moves the current problem as well and rates a first attempt.
void Write(const std::string& folder, int writer) {
  platform::NativeFiles files(folder);
  platform::FakeClock clock;
  const CourseProblems problems = Problems();
  ProgressStore store(files, clock, kCourse, problems);
  for (std::size_t i = static_cast<std::size_t>(writer); i < kProblems; i += 2) {
    const Change change{i, writer == 0 ? Outcome::SolvedClean : Outcome::Fault,
                        static_cast<std::uint32_t>(i + 1)};
    store.Update(i, std::span(&change, 1));
  }
}

void ExpectBothWritersResults(const zel::testing::TestFolder& folder) {
  platform::NativeFiles files(folder.path().string());
  platform::FakeClock clock;
  const CourseProblems problems = Problems();
  ProgressStore store(files, clock, kCourse, problems);
  const CourseProgress progress = store.Load();
  for (std::size_t i = 0; i < kProblems; ++i) {
    SCOPED_TRACE("problem " + std::to_string(i));
    const ProblemRecord& record = progress.Current().records[i];
    EXPECT_EQ(record.state, i % 2 == 0 ? ProblemState::SolvedFirst : ProblemState::Missed);
    EXPECT_EQ(record.seconds, i + 1);
    EXPECT_EQ(progress.reviews[i].box, i % 2 == 0 ? 0 : 1);
  }
  // Every first attempt rated once: 12 wins and 12 losses on one day.
  const UserRating rating = store.LoadRating();
  EXPECT_EQ(rating.rated.size(), kProblems);
  ASSERT_EQ(rating.history.size(), 1u);
  EXPECT_EQ(rating.history[0].attempts, kProblems);
  EXPECT_FALSE(folder.Exists("tactics4.prg.bad")) << "a writer found the file damaged";
  EXPECT_FALSE(folder.Exists("rating.prg.bad")) << "a writer found the rating damaged";
  EXPECT_EQ(folder.List(), "progress.lck rating.prg tactics4.prg");
}

TEST(ProgressWriters, TwoThreadsInterleavingKeepEveryResult) {
  zel::testing::TestFolder folder;
  const std::string path = folder.path().string();
  std::thread first(Write, path, 0);
  std::thread second(Write, path, 1);
  first.join();
  second.join();
  ExpectBothWritersResults(folder);
}

#if !defined(_WIN32)
TEST(ProgressWriters, TwoProcessesInterleavingKeepEveryResult) {
  zel::testing::TestFolder folder;
  const std::string path = folder.path().string();
  pid_t children[2];
  for (int writer = 0; writer < 2; ++writer) {
    std::fflush(nullptr);
    children[writer] = ::fork();
    if (children[writer] == 0) {
      ::alarm(30);  // a child that hangs dies instead of holding the test
      try {
        Write(path, writer);
        ::_exit(0);
      } catch (...) {
        ::_exit(3);
      }
    }
    ASSERT_GT(children[writer], 0);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  ExpectBothWritersResults(folder);
}
#endif

}  // namespace
}  // namespace zel::solver

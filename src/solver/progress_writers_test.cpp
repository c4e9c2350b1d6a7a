// Two solvers writing one course's progress at once: each writer's results
// must survive the other's writes, and the file must never be damaged. Two
// threads with files objects of their own on every platform (under Wine too),
// and two processes on POSIX.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/native.h"
#include "solver/progress.h"
#include "solver/test_problems.h"
#include "testing/test_folder.h"

namespace zel::solver {
namespace {

constexpr std::size_t kProblems = 24;
const CourseInfo& kCourse = *FindCourse("tactics4");

std::vector<std::string> Ids() {
  std::vector<std::string> ids;
  for (std::size_t i = 0; i < kProblems; ++i) ids.push_back("t" + std::to_string(1000 + i));
  return ids;
}

// One writer's part: writer 0 solves the even problems cleanly, writer 1 makes
// a mistake on each odd one; every update moves the current problem as well.
void Write(const std::string& folder, int writer) {
  platform::NativeFiles files(folder);
  ProgressStore store(files, kCourse, Ids());
  for (std::size_t i = static_cast<std::size_t>(writer); i < kProblems; i += 2) {
    const Change change{i, writer == 0 ? Outcome::SolvedClean : Outcome::Fault};
    store.Update(i, std::span(&change, 1));
  }
}

void ExpectBothWritersResults(const zel::testing::TestFolder& folder) {
  platform::NativeFiles files(folder.path().string());
  ProgressStore store(files, kCourse, Ids());
  const CourseProgress progress = store.Load();
  for (std::size_t i = 0; i < kProblems; ++i)
    EXPECT_EQ(progress.states[i], i % 2 == 0 ? ProblemState::SolvedFirst : ProblemState::Missed)
        << "problem " << i;
  EXPECT_FALSE(folder.Exists("tactics4.prg.bad")) << "a writer found the file damaged";
  EXPECT_EQ(folder.List(), "progress.lck tactics4.prg");
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

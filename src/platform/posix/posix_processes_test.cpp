#include "platform/posix/posix_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/failure.h"
#include "standin_testing.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ScopedCurrentFolder;
using testing::ScopedEnvironment;
using testing::TestFolder;

// A copy of this test program started with ZEL_FIND_PROGRAM_PROBE="a,b,..."
// prints what FindProgram finds for each name, one "name=path" line each, and
// ends before any test runs. Its own folder is then one the test made.
const bool kFindProgramProbe = [] {
  const char* names = std::getenv("ZEL_FIND_PROGRAM_PROBE");
  if (!names) return false;
  std::string report;
  std::string_view rest = names;
  while (!rest.empty()) {
    const auto comma = rest.find(',');
    const std::string name(rest.substr(0, comma));
    report += name + "=" + FindProgram(name).value_or("<none>") + "\n";
    rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
  }
  (void)!::write(1, report.data(), report.size());
  ::_exit(0);
}();

void WriteProgram(const fs::path& file, std::string_view content,
                  fs::perms perms = fs::perms(0755)) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
  fs::permissions(file, perms);
}

// Runs `program` in `folder` with only `environment` and returns what it
// printed; gives up after `limit`.
std::string RunAndRead(const fs::path& program, const fs::path& folder,
                       std::vector<std::string> environment, std::chrono::seconds limit = 30s) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return "<pipe failed>";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::string argv0 = program.string();
  char* argv[] = {argv0.data(), nullptr};
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t child;
  const int error = ::posix_spawn(&child, argv0.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string printed;
  if (error == 0) {
    const auto until = std::chrono::steady_clock::now() + limit;
    pollfd ready{out[0], POLLIN, 0};
    char buffer[4096];
    while (std::chrono::steady_clock::now() < until && ::poll(&ready, 1, 100) >= 0) {
      if (ready.revents == 0) continue;
      const ssize_t got = ::read(out[0], buffer, sizeof buffer);
      if (got <= 0) break;
      printed.append(buffer, static_cast<std::size_t>(got));
    }
    ::kill(child, SIGKILL);  // only takes effect if it overran the limit
    ::waitpid(child, nullptr, 0);
  }
  ::close(out[0]);
  return error == 0 ? printed : "<spawn failed: " + std::to_string(error) + ">";
}

TEST(FindProgram, TriesNameDotExeInOwnFolderCurrentFolderAndPathBeforeTheBareName) {
  TestFolder root;
  const fs::path top = fs::canonical(root.path());
  const fs::path own = top / "own", cwd = top / "cwd", path1 = top / "path1", path2 = top / "path2";
  for (const fs::path& folder : {own, cwd, path1, path2}) fs::create_directories(folder);
  const fs::path probe = own / "probe";
  fs::copy_file("/proc/self/exe", probe);

  // Each name is placed so that exactly one rule decides between its copies.
  WriteProgram(own / "first.exe", "x");  // own folder before all others
  WriteProgram(cwd / "first.exe", "x");
  WriteProgram(path1 / "first.exe", "x");
  WriteProgram(own / "dotexe", "x");  // NAME.exe anywhere before NAME anywhere
  WriteProgram(path2 / "dotexe.exe", "x");
  WriteProgram(cwd / "current.exe", "x");  // current folder before the search path
  WriteProgram(path1 / "current.exe", "x");
  WriteProgram(path1 / "inorder", "x");  // search path folders in their order
  WriteProgram(path2 / "inorder", "x");
  fs::create_directories(own / "folder.exe");  // a folder is no program
  WriteProgram(cwd / "folder.exe", "x");

  const std::string found =
      RunAndRead(probe, cwd,
                 {"ZEL_FIND_PROGRAM_PROBE=first,dotexe,current,inorder,folder,absent",
                  "PATH=" + path1.string() + ":" + path2.string()});
  EXPECT_EQ(found, "first=" + (own / "first.exe").string() + "\n" +          //
                       "dotexe=" + (path2 / "dotexe.exe").string() + "\n" +  //
                       "current=" + (cwd / "current.exe").string() + "\n" +  //
                       "inorder=" + (path1 / "inorder").string() + "\n" +    //
                       "folder=" + (cwd / "folder.exe").string() + "\n" +    //
                       "absent=<none>\n");
}

// The starts below run in a folder of their own as the current folder; the test
// program's folder and PATH hold none of these names.
class StartProgram : public ::testing::Test {
 protected:
  TestFolder root;
  fs::path folder = fs::canonical(root.path());
  ScopedCurrentFolder current{folder};
  PosixProcesses processes;

  void TearDown() override { testing::EndStandinsIn(folder); }

  Failure StartFailure(std::string_view name) {
    try {
      processes.StartProgram(name, 1);
    } catch (const Failure& failure) {
      return failure;
    }
    return {0, "started", {}};
  }
};

TEST_F(StartProgram, AProgramThatCannotBeStartedFailsAtOnceWithThePlatformsError) {
  const Failure missing = StartFailure("zel-no-such-program");
  EXPECT_EQ(missing.code, ENOENT);
  EXPECT_EQ(missing.subject, "zel-no-such-program");
  EXPECT_EQ(missing.description, "No such file or directory");

  WriteProgram(folder / "noexec.exe",
               "\x7f"
               "ELF but not really",
               fs::perms(0644));
  EXPECT_EQ(StartFailure("noexec").code, EACCES);

  WriteProgram(folder / "garbage.exe", std::string("\x00\x01\xfe\xff garbage", 12));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(StartFailure("garbage").code, ENOEXEC);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);

  // A text without "#!" is no program either; a start through the shell's
  // execvp fallback would run it as a script and leave the marker behind.
  const fs::path marker = folder / "shell-ran";
  WriteProgram(folder / "script.exe", "touch '" + marker.string() + "'\n");
  EXPECT_EQ(StartFailure("script").code, ENOEXEC);
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(fs::exists(marker));
  EXPECT_TRUE(testing::ChildrenOfThisProcess().empty());
}

TEST_F(StartProgram, ReturnsAtOnceAndTheProgramRunsOnAsNobodysChildOfTheStarter) {
  testing::CopyStandinsTo(folder);
  ScopedEnvironment stay("ZEL_STANDIN_SECONDS", "5");
  {
    PosixProcesses starter;
    const auto before = std::chrono::steady_clock::now();
    starter.StartProgram("Zvideo", 1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
  }
  const auto lines = testing::WaitForLogLines(folder, 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Zvideo started pid=", 0), 0u) << lines[0];
  const pid_t pid = testing::PidOf(lines[0]);
  // Still running after the starter is gone, and reparented: the starter has
  // nothing to wait for, so nothing of it can turn into a zombie here.
  ASSERT_TRUE(testing::IsRunning(pid));
  EXPECT_NE(testing::StatusOf(pid)->parent, ::getpid());
  EXPECT_TRUE(testing::ChildrenOfThisProcess().empty());
}

TEST_F(StartProgram, ProgramsThatEndLeaveNoZombieOfTheStarter) {
  testing::CopyStandinsTo(folder);
  for (int i = 0; i < 3; ++i) processes.StartProgram("Zvideo", 1);
  const auto lines = testing::WaitForLogLines(folder, 3);
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& line : lines) EXPECT_TRUE(testing::WaitUntilEnded(testing::PidOf(line)));
  EXPECT_TRUE(testing::ChildrenOfThisProcess().empty());
}

}  // namespace
}  // namespace zel::platform

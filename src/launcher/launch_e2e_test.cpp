// Launches against real files and real started programs: the stand-ins of the
// solvers and the video program in a temporary program folder, which is the
// current folder as it is for the shell. Each stand-in logs what it read back
// from its own program file, so the test sees what a launch handed over.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

#include "app/dispatcher.h"
#include "app/frm_zelmiku.h"
#include "platform/fake/fake_window.h"
#include "platform/fake/recording.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_processes.h"
#include "standin_testing.h"
#include "testing/test_folder.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::IsRunning;
using testing::PidOf;
using testing::ScopedEnvironment;
using testing::TestFolder;

// What one start of the shell builds over the program folder.
struct Shell {
  explicit Shell(const fs::path& folder) : files(folder.string(), (folder / "drive").string()) {}
  platform::PosixFiles files;
  platform::PosixProcesses processes;
  platform::FakeWindow window{files};
  platform::RecordingReport report;
  platform::Services services{window, files, processes};
  frmZelmiku form{services};
  Dispatcher dispatcher{form, window, report};
};

class LaunchEndToEnd : public ::testing::Test {
 protected:
  LaunchEndToEnd() {
    testing::CopyStandinsTo(prog);
    root.Write("PictZEL.bmp", testing::MakeBmp(549, 330, 0x204060));
  }
  void TearDown() override { testing::EndStandinsIn(prog); }

  void Settings(std::string_view language, std::string_view pictures) const {
    root.WriteSettings("\"" + std::string(language) + "\"\r\n",
                       "\"" + std::string(pictures) + "\"\r\n");
  }

  // Clicks in a fresh shell and returns the line the started stand-in logged.
  std::string LaunchAndRead(Control item) {
    const std::size_t before = testing::LogLines(prog).size();
    Shell shell(prog);
    EXPECT_EQ(shell.dispatcher.Click(item), RunState::Running) << ControlName(item);
    EXPECT_TRUE(shell.report.reports.empty());
    const auto lines = testing::WaitForLogLines(prog, before + 1);
    return lines.size() > before ? lines[before] : "<nothing logged>";
  }

  std::string Bytes(std::string_view file) const { return root.Read(file); }

  TestFolder root;
  fs::path prog = fs::canonical(root.path());
  testing::ScopedCurrentFolder current{prog};
};

bool StartsWith(const std::string& line, std::string_view start) {
  return line.rfind(start, 0) == 0;
}

TEST_F(LaunchEndToEnd, TheStartedSolverReadsTheItemLanguageAndPicturesFromItsOwnFile) {
  // Never patched: the stand-in finds no launch in its letters and says so.
  platform::PosixProcesses().StartProgram("ZelmikuE", 1);
  const auto unpatched = testing::WaitForLogLines(prog, 1);
  ASSERT_EQ(unpatched.size(), 1u);
  EXPECT_TRUE(StartsWith(unpatched[0], "ZelmikuE unknown unknown unknown ")) << unpatched[0];
  ASSERT_TRUE(testing::WaitUntilEnded(PidOf(unpatched[0])));

  struct Case {
    Control item;
    const char* language;
    const char* pictures;
    const char* logged;
  };
  const Case cases[] = {
      {Control::mnuTactics1, "R", "Y", "Kombiru mnuTactics1 russian pictures-on "},
      {Control::mnuTactics7, "E", "N", "Kombien mnuTactics7 english pictures-off "},
      {Control::mnuPractic, "r", "Y", "Kombien mnuPractic/cmdPractic english pictures-on "},
      {Control::mnuChecmate, "R", "y", "ZelmikuR mnuChecmate russian pictures-off "},
      {Control::mnuTactic, "E", "Y", "ZelmikuE mnuTactic english pictures-on "},
      {Control::mnuTactics5, "R", "N", "Kombiru mnuTactics5 russian pictures-off "},
  };
  for (const Case& c : cases) {
    Settings(c.language, c.pictures);
    const std::string line = LaunchAndRead(c.item);
    EXPECT_TRUE(StartsWith(line, c.logged)) << line;
    // The next launch of the same file must not find this one still running.
    EXPECT_TRUE(testing::WaitUntilEnded(PidOf(line))) << line;
  }
}

TEST_F(LaunchEndToEnd, ARunningSolverRefusesTheNextLaunchOfItsFileButNotOfAnyOther) {
  ScopedEnvironment stay("ZEL_STANDIN_SECONDS", "20");
  Settings("R", "Y");
  const std::string first = LaunchAndRead(Control::mnuTactics1);
  ASSERT_TRUE(StartsWith(first, "Kombiru mnuTactics1 ")) << first;
  ASSERT_TRUE(IsRunning(PidOf(first)));
  const std::string patched = Bytes("Kombiru.exe");

  const std::string book = LaunchAndRead(Control::mnuChecmate);
  EXPECT_TRUE(StartsWith(book, "ZelmikuR mnuChecmate russian pictures-on ")) << book;
  const std::string bookPatched = Bytes("ZelmikuR.exe");

  // Both running now: a launch of either file fails when it opens the file for
  // the patch, after the launch picture and before any letter.
  struct Refused {
    Control item;
    const char* file;
  };
  for (const Refused& refused : {Refused{Control::mnuTactics2, "Kombiru.exe"},
                                 Refused{Control::mnuTactic, "ZelmikuR.exe"}}) {
    Shell shell(prog);
    EXPECT_EQ(shell.dispatcher.Click(refused.item), RunState::Failed);
    ASSERT_EQ(shell.report.reports.size(), 1u);
    EXPECT_EQ(shell.report.reports[0].code, ETXTBSY);
    EXPECT_EQ(shell.report.reports[0].description, "Text file busy");
    EXPECT_EQ(shell.report.reports[0].subject, refused.file);
    EXPECT_EQ(shell.window.picture(), "PictZEL.bmp");
  }
  EXPECT_EQ(Bytes("Kombiru.exe"), patched);
  EXPECT_EQ(Bytes("ZelmikuR.exe"), bookPatched);

  // The other language's file of the same family is free.
  Settings("E", "Y");
  const std::string english = LaunchAndRead(Control::mnuTactics2);
  EXPECT_TRUE(StartsWith(english, "Kombien mnuTactics2 english pictures-on ")) << english;

  // The refused launches started nothing: the log holds the three that worked.
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(testing::LogLines(prog).size(), 3u);

  // Once the solver has ended, its file takes a launch again.
  testing::EndStandinsIn(prog);
  Settings("R", "N");
  const std::string again = LaunchAndRead(Control::mnuTactics2);
  EXPECT_TRUE(StartsWith(again, "Kombiru mnuTactics2 russian pictures-off ")) << again;
}

TEST_F(LaunchEndToEnd, AStartedSolverOutlivesTheShellThatStartedIt) {
  ScopedEnvironment stay("ZEL_STANDIN_SECONDS", "20");
  Settings("E", "N");
  auto shell = std::make_unique<Shell>(prog);
  ASSERT_EQ(shell->dispatcher.Click(Control::mnuTactics9), RunState::Running);
  shell.reset();
  const auto lines = testing::WaitForLogLines(prog, 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(StartsWith(lines[0], "Kombien mnuTactics9 english pictures-off ")) << lines[0];
  std::this_thread::sleep_for(100ms);
  const pid_t pid = PidOf(lines[0]);
  ASSERT_TRUE(IsRunning(pid));
  EXPECT_NE(testing::StatusOf(pid)->parent, ::getpid());
}

TEST_F(LaunchEndToEnd, EveryVideoClickStartsAnotherCopyOfTheVideoProgram) {
  ScopedEnvironment stay("ZEL_STANDIN_SECONDS", "20");
  Settings("R", "Y");
  Shell shell(prog);
  // The item is hidden in the menu, so no click reaches it: call its handler.
  shell.form.mnuVideo_Click();
  shell.form.mnuVideo_Click();
  const auto lines = testing::WaitForLogLines(prog, 2);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) {
    EXPECT_TRUE(StartsWith(line, "Zvideo started pid=")) << line;
    EXPECT_TRUE(IsRunning(PidOf(line)));
  }
  EXPECT_NE(PidOf(lines[0]), PidOf(lines[1]));
}

}  // namespace
}  // namespace zel

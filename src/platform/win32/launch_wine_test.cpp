// Launches through the real window against real files and real started
// programs: the stand-ins of the solvers and the video program in a temporary
// program folder, which is the current folder as it is for the shell. Each
// stand-in logs what it read back from its own program file, so the test sees
// what a launch handed over. Every stand-in started here is ended before its
// test ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "platform/win32/standin_processes.h"
#include "platform/win32/typed_keys.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/window_harness.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using platform::CommandId;
using testing::ClientPixels;
using testing::PidOf;
using testing::ProcessHandle;
using testing::ScopedEnvironment;
using testing::TestFolder;

constexpr std::uint32_t kLaunchColour = 0x20A040;

// What one start of the shell builds over the program folder, with the real
// window and real process starts.
struct Shell {
  explicit Shell(const fs::path& folder) : files(folder.string(), (folder / "drive").string()) {
    window.Attach(dispatcher);
  }
  ~Shell() { Pump(); }

  // A menu choice as the system delivers it.
  void Choose(Control item) const { SendMessageW(window.handle(), WM_COMMAND, CommandId(item), 0); }
  std::optional<int> Pump() { return platform::DeliverPendingMessages(window); }

  platform::Win32Files files;
  platform::Win32Window window{files};
  platform::Win32Processes processes;
  platform::RecordingReport report;
  frmZelmiku form{{window, files, processes}};
  Dispatcher dispatcher{form, window, report};
};

bool StartsWith(const std::string& line, std::string_view start) {
  return line.rfind(start, 0) == 0;
}

class LaunchUnderWine : public ::testing::Test {
 protected:
  LaunchUnderWine() {
    testing::CopyStandinsTo(prog);
    root.Write("PictZEL.bmp", testing::MakeBmp(549, 330, kLaunchColour));
  }
  void SetUp() override { ASSERT_TRUE(current.changed()); }
  void TearDown() override { EXPECT_TRUE(testing::EndStandinsIn(prog)); }

  void Settings(std::string_view language, std::string_view pictures) const {
    root.WriteSettings("\"" + std::string(language) + "\"\r\n",
                       "\"" + std::string(pictures) + "\"\r\n");
  }

  // Chooses the item in a freshly started shell and returns the line the
  // started stand-in logged. The shell stays open over the launch picture.
  std::string LaunchAndRead(Control item) {
    const std::size_t before = testing::LogLines(prog).size();
    Shell shell(prog);
    EXPECT_EQ(shell.dispatcher.Start(), RunState::Running);
    shell.window.Show();
    shell.Choose(item);
    EXPECT_TRUE(shell.report.reports.empty())
        << ControlName(item) << ": error " << shell.report.reports[0].code;
    EXPECT_NE(shell.window.handle(), nullptr) << ControlName(item);
    if (shell.window.handle()) {
      EXPECT_EQ(ClientPixels(shell.window.handle()).at(300, 100), kLaunchColour);
    }
    const auto lines = testing::WaitForLogLines(prog, before + 1);
    return lines.size() > before ? lines[before] : "<nothing logged>";
  }

  std::string Bytes(std::string_view file) const { return root.Read(file); }
  // The stand-in's file as the build made it.
  static std::string Original(std::string_view program) {
    std::ifstream in(fs::path(ZEL_STANDIN_DIR) / program, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  TestFolder root;
  fs::path prog = root.path();
  testing::ScopedCurrentFolder current{prog};
  // Unless a test wants them running: gone as soon as they have logged.
  ScopedEnvironment stay{L"ZEL_STANDIN_SECONDS", L"0"};
};

TEST_F(LaunchUnderWine, TheStartedSolverReadsTheItemLanguageAndPicturesFromItsOwnFile) {
  struct Case {
    Control item;
    const char* language;
    const char* pictures;
    const char* logged;
  };
  const Case cases[] = {
      {Control::mnuTactics1, "R", "N",
       "Kombiru mnuTactics1 russian pictures-off letters=tPannnnnnnniii pid="},
      {Control::mnuTactic, "E", "Y", "ZelmikuE mnuTactic english pictures-on "},
      {Control::mnuPractic, "r", "Y", "Kombien mnuPractic/cmdPractic english pictures-on "},
      {Control::mnuChecmate, "R", "y", "ZelmikuR mnuChecmate russian pictures-off "},
      {Control::mnuTactics8, "", "Y", "Kombien mnuTactics8 english pictures-on "},
  };
  std::set<std::string> launched;
  for (const Case& c : cases) {
    Settings(c.language, c.pictures);
    const std::string line = LaunchAndRead(c.item);
    EXPECT_TRUE(StartsWith(line, c.logged)) << line;
    // The next launch of the same file must not find this one still running.
    EXPECT_TRUE(testing::WaitUntilEnded(PidOf(line))) << line;
    launched.insert(line.substr(0, line.find(' ')) + ".exe");
    // A launch writes only the file it starts, and keeps its length.
    for (const char* program : testing::kStandinPrograms) {
      const std::string bytes = Bytes(program);
      EXPECT_EQ(bytes.size(), Original(program).size()) << program;
      if (!launched.count(program)) {
        EXPECT_EQ(bytes, Original(program)) << program;
      }
    }
  }
  EXPECT_EQ(launched.size(), 4u);
}

TEST_F(LaunchUnderWine, ARunningSolverRefusesTheNextLaunchOfItsFileButNotOfAnyOther) {
  ScopedEnvironment running(L"ZEL_STANDIN_SECONDS", L"10");
  Settings("R", "Y");
  const std::string first = LaunchAndRead(Control::mnuTactics1);
  ASSERT_TRUE(StartsWith(first, "Kombiru mnuTactics1 russian pictures-on ")) << first;
  ASSERT_TRUE(testing::IsRunning(PidOf(first)));
  const std::string patched = Bytes("Kombiru.exe");

  // The system refuses write access to the running program's file: the launch
  // fails at the patch, the failure is reported and the shell ends.
  {
    Shell shell(prog);
    ASSERT_EQ(shell.dispatcher.Start(), RunState::Running);
    shell.window.Show();
    shell.Choose(Control::mnuTactics2);
    ASSERT_EQ(shell.report.reports.size(), 1u);
    EXPECT_EQ(shell.report.reports[0].code, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(shell.report.reports[0].description.empty());
    EXPECT_EQ(shell.report.reports[0].subject, "Kombiru.exe");
    EXPECT_EQ(shell.window.handle(), nullptr);
    EXPECT_EQ(shell.Pump(), kFailureExitStatus);
  }
  EXPECT_EQ(Bytes("Kombiru.exe"), patched);

  // The other language's file of the family, and the other family, are free.
  Settings("E", "N");
  const std::string english = LaunchAndRead(Control::mnuTactics2);
  EXPECT_TRUE(StartsWith(english, "Kombien mnuTactics2 english pictures-off ")) << english;
  Settings("R", "Y");
  const std::string book = LaunchAndRead(Control::mnuChecmate);
  EXPECT_TRUE(StartsWith(book, "ZelmikuR mnuChecmate russian pictures-on ")) << book;
  EXPECT_TRUE(testing::IsRunning(PidOf(first)));

  // The refused launch started nothing.
  Sleep(200);
  EXPECT_EQ(testing::LogLines(prog).size(), 3u);

  // Once the solver has ended, its file takes a launch again.
  ASSERT_TRUE(ProcessHandle(PidOf(first)).End());
  Settings("R", "N");
  const std::string again = LaunchAndRead(Control::mnuTactics2);
  EXPECT_TRUE(StartsWith(again, "Kombiru mnuTactics2 russian pictures-off ")) << again;
}

TEST_F(LaunchUnderWine, ChoicesTypedIntoTheMenuReachTheSolver) {
  // The stand-ins end before they open a window of their own, which would take
  // the keyboard from the shell.
  Settings("R", "Y");
  root.Write("PictNE.bmp", testing::MakeBmp(549, 330, 0x102030));
  Shell shell(prog);
  ASSERT_EQ(shell.dispatcher.Start(), RunState::Running);
  shell.window.Show();
  ASSERT_TRUE(SetForegroundWindow(shell.window.handle()));
  auto pump = [&shell] { shell.Pump(); };

  // Alt, "&Установки", "&Картинки", "&Нет"; then "&Язык", "&Английский".
  ASSERT_TRUE(testing::ChooseFromMenuByKeys(L"укн"));
  ASSERT_TRUE(testing::PumpUntil(pump, [&] { return Bytes("pnfo00.dat") == "\"N\"\r\n"; }));
  ASSERT_TRUE(testing::ChooseFromMenuByKeys(L"уяа"));
  ASSERT_TRUE(testing::PumpUntil(pump, [&] { return Bytes("enfo00.dat") == "\"E\"\r\n"; }));

  // "&Программы", "Вы&брать программу", "&4 разряд", "Тактика-&1"; then the
  // problem book's "&Шах и мат" from the same submenu.
  ASSERT_TRUE(testing::ChooseFromMenuByKeys(L"пб41"));
  ASSERT_TRUE(testing::PumpUntil(pump, [&] { return testing::LogLines(prog).size() == 1; }));
  ASSERT_TRUE(testing::ChooseFromMenuByKeys(L"пбш"));
  ASSERT_TRUE(testing::PumpUntil(pump, [&] { return testing::LogLines(prog).size() == 2; }));
  const auto lines = testing::LogLines(prog);
  EXPECT_TRUE(StartsWith(lines[0], "Kombien mnuTactics1 english pictures-off ")) << lines[0];
  EXPECT_TRUE(StartsWith(lines[1], "ZelmikuE mnuChecmate english pictures-off ")) << lines[1];
  EXPECT_EQ(ClientPixels(shell.window.handle()).at(300, 100), kLaunchColour);
  EXPECT_TRUE(shell.report.reports.empty());
}

// The shell program itself, started as a user starts it, in the program folder.
class ShellProgram {
 public:
  explicit ShellProgram(const fs::path& folder) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring program = fs::path(path).replace_filename(L"Zelmiku.exe").wstring();
    std::wstring commandLine = L"Zelmiku";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, folder.wstring().c_str(), &startup, &process_);
  }
  ~ShellProgram() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  ShellProgram(const ShellProgram&) = delete;
  ShellProgram& operator=(const ShellProgram&) = delete;

  bool started() const { return started_; }
  DWORD pid() const { return process_.dwProcessId; }

  // Its main window once it is shown, waiting at most `limitMs`; or null.
  HWND WaitForWindow(DWORD limitMs = 10000) const {
    for (DWORD waited = 0; waited < limitMs; waited += 20) {
      Search search{process_.dwProcessId, nullptr};
      EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&search));
      if (search.found) return search.found;
      if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // The exit status, or -1 if it did not end within `limitMs`.
  int ExitStatus(DWORD limitMs = 10000) const {
    if (WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0) return -1;
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return static_cast<int>(status);
  }

 private:
  struct Search {
    DWORD process;
    HWND found;
  };
  // stdcall: a lambda does not convert to WNDENUMPROC on i686.
  static BOOL CALLBACK FindShown(HWND hwnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    if (owner == search.process && IsWindowVisible(hwnd) &&
        std::wstring_view(name) == platform::kWindowClass)
      search.found = hwnd;
    return search.found ? FALSE : TRUE;
  }

  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

TEST_F(LaunchUnderWine, AStartedSolverOutlivesTheShellThatStartedIt) {
  ScopedEnvironment running(L"ZEL_STANDIN_SECONDS", L"10");
  Settings("E", "N");
  ShellProgram shell(prog);
  ASSERT_TRUE(shell.started());
  const HWND window = shell.WaitForWindow();
  ASSERT_NE(window, nullptr) << "no shell window within 10 s";
  PostMessageW(window, WM_COMMAND, CommandId(Control::mnuTactics9), 0);
  const auto lines = testing::WaitForLogLines(prog, 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(StartsWith(lines[0], "Kombien mnuTactics9 english pictures-off ")) << lines[0];
  const ProcessHandle solver(PidOf(lines[0]));
  ASSERT_TRUE(solver.Running());

  // The shell ends with its close box; the solver goes on.
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(shell.ExitStatus(), 0);
  EXPECT_FALSE(testing::IsRunning(shell.pid()));
  EXPECT_FALSE(solver.WaitUntilEnded(300));
  EXPECT_EQ(testing::StandinsRunningFrom(prog), std::vector<DWORD>{PidOf(lines[0])});
}

TEST_F(LaunchUnderWine, EveryVideoClickStartsAnotherCopyOfTheVideoProgram) {
  ScopedEnvironment running(L"ZEL_STANDIN_SECONDS", L"10");
  Settings("R", "Y");
  Shell shell(prog);
  ASSERT_EQ(shell.dispatcher.Start(), RunState::Running);
  // The item is left out of the menu, so no click reaches it: call its handler.
  shell.form.mnuVideo_Click();
  shell.form.mnuVideo_Click();
  const auto lines = testing::WaitForLogLines(prog, 2);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) {
    EXPECT_TRUE(StartsWith(line, "Zvideo started pid=")) << line;
    EXPECT_TRUE(testing::IsRunning(PidOf(line))) << line;
  }
  EXPECT_NE(PidOf(lines[0]), PidOf(lines[1]));
  EXPECT_EQ(testing::StandinsRunningFrom(prog).size(), 2u);
}

}  // namespace
}  // namespace zel

// The real program, started as a user would start it, in a temporary program
// folder. Every wait is bounded; a program that outlives its test is killed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/win32/command_ids.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"
#include "testing/test_folder.h"

namespace zel {
namespace {

using Clock = std::chrono::steady_clock;
using platform::Narrow;
using testing::TestFolder;

std::wstring ProgramBesideTheTests() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).replace_filename(L"Zelmiku.exe").wstring();
}

std::string ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return Narrow(name);
}

std::string TextOf(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, 512);
  return Narrow(text);
}

struct WindowSearch {
  DWORD process;
  std::string windowClass;
  std::vector<HWND> found;
};

// stdcall: a lambda does not convert to WNDENUMPROC on i686.
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search.process && ClassOf(hwnd) == search.windowClass) search.found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
  if (_stricmp(ClassOf(child).c_str(), "Static") == 0)
    *reinterpret_cast<std::string*>(lParam) += TextOf(child);
  return TRUE;
}

// The shell started in a folder; killed at the end of the test if still running.
class RunningShell {
 public:
  explicit RunningShell(const std::filesystem::path& folder) {
    std::wstring commandLine = L"Zelmiku";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring program = ProgramBesideTheTests();
    started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, folder.wstring().c_str(), &startup, &process_);
  }
  ~RunningShell() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool started() const { return started_; }

  // The shell's top-level windows of one class.
  std::vector<HWND> Windows(const std::string& windowClass) const {
    WindowSearch search{process_.dwProcessId, windowClass, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  bool AnyVisible(const std::string& windowClass) const {
    for (HWND hwnd : Windows(windowClass))
      if (IsWindowVisible(hwnd)) return true;
    return false;
  }

  // Waits until `ready` holds, up to `limit`; meanwhile calls `watch` too.
  template <class Ready, class Watch>
  bool WaitFor(Ready ready, Watch watch, std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      watch();
      if (ready()) return true;
      if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0) return ready();
    }
    return false;
  }

  // The exit status, or -1 if the program did not end within `limit`.
  int ExitStatus(DWORD limitMs = 15000) const {
    if (WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0) return -1;
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return static_cast<int>(status);
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// The texts of a message box: its caption, then the text of its static controls.
std::string BoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

TEST(Shell, AMissingSettingsFileEndsTheStartWithABoxAndNeverShowsTheWindow) {
  TestFolder folder;
  folder.Write("enfo00.dat", "\"R\"\r\n");
  folder.Write("Sound.dat", "1\r\n");  // pnfo00.dat is missing
  RunningShell shell(folder.path());
  ASSERT_TRUE(shell.started());

  bool windowSeen = false;
  HWND box = nullptr;
  ASSERT_TRUE(shell.WaitFor(
      [&] {
        const auto boxes = shell.Windows("#32770");
        box = boxes.empty() ? nullptr : boxes.front();
        return box && IsWindowVisible(box);
      },
      [&] { windowSeen = windowSeen || shell.AnyVisible("frmZelmiku"); }))
      << "no message box within 30 s";
  const std::string text = BoxText(box);
  EXPECT_EQ(text.rfind("Error 2: ", 0), 0u) << text;
  EXPECT_NE(text.find("pnfo00.dat"), std::string::npos) << text;
  EXPECT_EQ(TextOf(box), "Шахматная тактика");
  EXPECT_FALSE(shell.AnyVisible("frmZelmiku"));

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(shell.ExitStatus(), 1);
  EXPECT_FALSE(windowSeen);
  EXPECT_EQ(folder.List(), "Sound.dat enfo00.dat");
}

TEST(Shell, ANormalStartShowsTheWindowUntilItIsClosed) {
  for (const bool byMenu : {false, true}) {
    SCOPED_TRACE(byMenu ? "Выход" : "close box");
    TestFolder folder;
    folder.WriteSettings("\"E\"\r\n", "\"N\"\r\n", "3\r\n");
    RunningShell shell(folder.path());
    ASSERT_TRUE(shell.started());
    ASSERT_TRUE(shell.WaitFor([&] { return shell.AnyVisible("frmZelmiku"); }, [] {}))
        << "no window within 30 s";
    const HWND window = shell.Windows("frmZelmiku").front();
    EXPECT_EQ(TextOf(window), "\"Шахматная тактика\" — Н. Ладейкин, О. Пешкова");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 549);
    EXPECT_EQ(client.bottom, 330);
    EXPECT_TRUE(shell.Windows("#32770").empty());

    if (byMenu)
      PostMessageW(window, WM_COMMAND, platform::CommandId(Control::mnuExit), 0);
    else
      PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(shell.ExitStatus(), 0);
    EXPECT_EQ(folder.List(), "Sound.dat enfo00.dat pnfo00.dat");
    EXPECT_EQ(folder.Read("enfo00.dat") + folder.Read("pnfo00.dat") + folder.Read("Sound.dat"),
              "\"E\"\r\n\"N\"\r\n3\r\n");
  }
}

}  // namespace
}  // namespace zel

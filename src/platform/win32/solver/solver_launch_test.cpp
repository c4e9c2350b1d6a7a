// The built solver programs as the shell starts them: each file gets the
// letters of every launch item of its family, with pictures on and off,
// written as a launch writes them, and is started in a program folder with the
// real problems. Its window must name the course in the file's language and
// show the board only with pictures on. A fresh file offers its courses.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "launcher/launch.h"
#include "launcher/launch_decode.h"
#include "launcher/launch_tables.h"
#include "platform/win32/solver/board_view.h"
#include "platform/win32/solver/solver_window.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_files.h"
#include "solver/catalog.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

namespace fs = std::filesystem;

const fs::path kSolverDir = ZEL_SOLVER_DIR;
const fs::path kProblemData = ZEL_PROBLEM_DATA_FILE;

struct Shown {
  std::string title;
  bool board = false;
  DWORD exitStatus = 99;
};

// Starts the program in the folder as the shell does (window style 1), waits
// for its window, reads it and closes it as the user would.
Shown StartAndClose(const fs::path& folder, const std::wstring& name) {
  Shown shown;
  const std::wstring program = (folder / name).wstring();
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.wstring().c_str(), &startup, &process))
    return shown;
  HWND window = nullptr;
  for (int waited = 0; waited < 30000 && !window; waited += 20) {
    HWND candidate = nullptr;
    while ((candidate = FindWindowExW(nullptr, candidate, SolverWindow::kClassName, nullptr))) {
      DWORD owner = 0;
      GetWindowThreadProcessId(candidate, &owner);
      if (owner == process.dwProcessId && IsWindowVisible(candidate)) window = candidate;
    }
    if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
  }
  if (window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    shown.title = Narrow(title);
    shown.board = IsWindowVisible(GetDlgItem(window, kIdBoard)) != FALSE;
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &shown.exitStatus);
  else
    TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return shown;
}

struct SolverFile {
  SolverFamily family;
  bool russian;
};

void PrintTo(const SolverFile& file, std::ostream* out) {
  const SolverFiles& names = FilesOf(file.family);
  *out << (file.russian ? names.russianFile : names.englishFile);
}

class SolverLaunch : public ::testing::TestWithParam<SolverFile> {};

TEST_P(SolverLaunch, EveryLaunchItemOfItsFamilyOpensItsCourseWithItsPictures) {
  const auto [family, russian] = GetParam();
  const SolverFiles& names = FilesOf(family);
  const std::string file(russian ? names.russianFile : names.englishFile);
  testing::TestFolder folder;
  fs::copy_file(kSolverDir / file, folder / file);
  fs::copy_file(kProblemData, folder / "Zadachi.dat");
  Win32Files files(folder.path().string(), folder.path().string());
  const chess::Language language = russian ? chess::Language::Russian : chess::Language::English;

  // A file no launch has written yet offers the family's courses.
  const Shown fresh = StartAndClose(folder.path(), Widen(file));
  EXPECT_NE(fresh.title.find(std::string(solver::TextOf(family == SolverFamily::CourseSolver
                                                            ? solver::Text::ChooseCourse
                                                            : solver::Text::ChooseCollection,
                                                        language))),
            std::string::npos)
      << fresh.title;
  EXPECT_EQ(fresh.exitStatus, 0u);

  for (const LaunchRow& row : LaunchRowsOf(family)) {
    for (const bool pictures : {true, false}) {
      PatchSolver(files, file, PlanWrites(row.entry, russian, pictures));
      const Shown shown = StartAndClose(folder.path(), Widen(file));
      const solver::CourseInfo* course = solver::CourseOfControl(row.control);
      ASSERT_TRUE(course);
      EXPECT_EQ(shown.title, course->Title(language))
          << file << " " << ControlName(row.control) << (pictures ? " pictures on" : " off");
      EXPECT_EQ(shown.board, pictures) << file << " " << ControlName(row.control);
      EXPECT_EQ(shown.exitStatus, 0u) << file << " " << ControlName(row.control);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllFour, SolverLaunch,
                         ::testing::Values(SolverFile{SolverFamily::CourseSolver, true},
                                           SolverFile{SolverFamily::CourseSolver, false},
                                           SolverFile{SolverFamily::ProblemBookSolver, true},
                                           SolverFile{SolverFamily::ProblemBookSolver, false}),
                         [](const ::testing::TestParamInfo<SolverFile>& param) {
                           const SolverFiles& names = FilesOf(param.param.family);
                           return std::string(param.param.russian ? names.russianStartName
                                                                  : names.englishStartName);
                         });

// The texts of a message box's children, one after the other.
BOOL CALLBACK AddText(HWND child, LPARAM lParam) {
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  *reinterpret_cast<std::string*>(lParam) += Narrow(text) + "\n";
  return TRUE;
}

struct Ended {
  std::string message;  // of the message box the program showed; empty: none
  DWORD exitStatus = 99;
};

// Starts the program and waits for a message box of its own, reads it and
// answers it, then waits for the program to end.
Ended StartUntilMessage(const fs::path& folder, const std::wstring& name) {
  Ended ended;
  const std::wstring program = (folder / name).wstring();
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.wstring().c_str(), &startup, &process))
    return ended;
  for (int waited = 0; waited < 30000 && ended.message.empty(); waited += 20) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr))) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner != process.dwProcessId || !IsWindowVisible(box)) continue;
      EnumChildWindows(box, AddText, reinterpret_cast<LPARAM>(&ended.message));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      break;
    }
    if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
  }
  if (WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &ended.exitStatus);
  else
    TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

// A fault in any course of the problem file is reported with its line, in
// the chosen course before its board is shown, in the others before the user
// can open them; the program then ends.
TEST(SolverLaunchDamaged, AFaultAnywhereInTheProblemFileIsReportedWithItsLine) {
  std::ifstream in(kProblemData, std::ios::binary);
  const std::string good{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::size_t chosen = good.find("[tactics1]");
  ASSERT_NE(chosen, std::string::npos);
  auto lineOf = [&](std::size_t offset) {
    return 1 + static_cast<std::size_t>(std::count(good.begin(), good.begin() + offset, '\n'));
  };
  const std::string bad = "broken;line\n";
  const std::size_t inChosen = good.find('\n', chosen) + 1;
  struct Case {
    std::string data;
    std::size_t line;
  };
  const Case cases[] = {
      {good.substr(0, inChosen) + bad + good.substr(inChosen), lineOf(inChosen)},
      {good + (good.back() == '\n' ? "" : "\n") + bad,
       lineOf(good.size()) + (good.back() == '\n' ? 0 : 1)},
  };
  const std::string file = "Kombiru.exe";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    testing::TestFolder folder;
    fs::copy_file(kSolverDir / file, folder / file);
    folder.Write("Zadachi.dat", c.data);
    Win32Files files(folder.path().string(), folder.path().string());
    PatchSolver(files, file, PlanWrites(LaunchEntryOf(Control::mnuTactics1), true, true));
    const Ended ended = StartUntilMessage(folder.path(), Widen(file));
    EXPECT_NE(
        ended.message.find(solver::TextOf(solver::Text::DataUnreadable, chess::Language::Russian)),
        std::string::npos)
        << ended.message;
    EXPECT_NE(ended.message.find("Zadachi.dat, line " + std::to_string(c.line)), std::string::npos)
        << ended.message;
    EXPECT_EQ(ended.exitStatus, 1u);
  }
}

}  // namespace
}  // namespace zel::platform

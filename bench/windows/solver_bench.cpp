// Benchmarks of the solver window, run under Wine by scripts/bench-solver.sh:
//
//   solver_bench FOLDER
//
// 1. Start: the solver (FOLDER\Kombiru.exe, patched here as a launch of
//    "Тактика-1" with pictures on writes it, beside the problems
//    FOLDER\Zadachi.dat) and a bare Win32 window (FOLDER\BareWindow.exe) are started
//    in turn, each first every other round; each time is from CreateProcess
//    until the board is painted, and until the window is shown and nothing
//    of it waits to be painted. Medians and their ratios to the bare
//    window's, and the median of each round's own ratio.
//    Then the steps of a start, timed in this process.
// 2. Answer to a move: in this process, the window on a course of test
//    problems; a move clicked on the board (two clicks), judged, and the
//    window repainted at once. A wrong move (taken back) and a right one,
//    and of the right one the time until the window was told, before any
//    painting. Answers that did not come as they should are counted, not timed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "launcher/launch.h"
#include "launcher/launch_tables.h"
#include "platform/win32/solver/board_view.h"
#include "platform/win32/solver/solver_resources.h"
#include "platform/win32/solver/solver_window.h"
#include "platform/win32/win32_files.h"
#include "solver/startup.h"
#include "solver/test_problems.h"

namespace {

using namespace zel;
using namespace zel::platform;
using zel::bench::Median;
using zel::bench::Now;

struct Found {
  DWORD process;
  HWND window = nullptr;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == found->process && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
    found->window = hwnd;
    return FALSE;
  }
  return TRUE;
}

bool NothingToPaint(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) return false;
  return true;
}

struct Started {
  double board = -1;   // the board painted (the solver only)
  double window = -1;  // the whole window painted
};

// Milliseconds from the start to a painted board and window; negative on
// failure.
Started TimeStart(const std::wstring& folder, const std::wstring& program) {
  const std::wstring path = folder + L"\\" + program;
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  Started elapsed;
  const double started = Now();
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process))
    return elapsed;
  Found found{process.dwProcessId};
  HWND board = nullptr;
  while (Now() - started < 30000) {
    if (!found.window) EnumWindows(FindShown, reinterpret_cast<LPARAM>(&found));
    if (!found.window) {
      Sleep(1);  // leave the processor to the program being timed
      continue;
    }
    // The board is watched alone until it is painted: asking the program
    // (below) would wait for the rest of its start-up, and the board's time
    // would be its whole window's.
    if (elapsed.board < 0) {
      if (!board) board = FindWindowExW(found.window, nullptr, BoardView::kClassName, nullptr);
      if (board && IsWindowVisible(board)) {
        if (GetUpdateRect(board, nullptr, FALSE)) {
          Sleep(1);
          continue;
        }
        elapsed.board = Now() - started;
      }
    }
    // The program answers only once its start-up is over and its queue empty.
    if (SendMessageTimeoutW(found.window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr) &&
        NothingToPaint(found.window)) {
      elapsed.window = Now() - started;
      break;
    }
    Sleep(1);
  }
  if (found.window) PostMessageW(found.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

void BenchStart(const std::wstring& folder) {
  std::vector<double> bare, board, solver, pairs;
  for (int round = 0; round < 32; ++round) {
    // Side by side, each first in turn, so that a machine busy with other
    // work slows both alike; each round's own ratio is kept too.
    Started b, s;
    if (round % 2) {
      s = TimeStart(folder, L"Kombiru.exe");
      b = TimeStart(folder, L"BareWindow.exe");
    } else {
      b = TimeStart(folder, L"BareWindow.exe");
      s = TimeStart(folder, L"Kombiru.exe");
    }
    if (b.window < 0 || s.window < 0 || s.board < 0) {
      std::printf("start: a program did not show its window\n");
      return;
    }
    if (round < 2) continue;  // the first starts fill the system's caches
    bare.push_back(b.window);
    board.push_back(s.board);
    solver.push_back(s.window);
    pairs.push_back(s.board / b.window);
  }
  const double b = Median(bare);
  std::printf(
      "start, median of %zu: bare window painted %.1f ms; solver's board painted %.1f ms "
      "(ratio %.3f; median of the rounds' own ratios %.3f), its whole window %.1f ms "
      "(ratio %.3f)\n",
      bare.size(), b, Median(board), Median(board) / b, Median(pairs), Median(solver),
      Median(solver) / b);
}

MenSheet LoadMen() {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(ZEL_MEN_SHEET_RESOURCE),
                                    MAKEINTRESOURCEW(10));  // RT_RCDATA
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
  return *MenSheet::Decode({bytes, SizeofResource(nullptr, found)});
}

void Pump(SolverWindow& window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Where a start's time goes, in this process: the problems of the chosen
// course read and checked, the men decoded, the window made and painted the
// first time, the other courses' problems checked.
void BenchStartParts(const std::string& folder) {
  Win32Files files(folder, folder);
  // The steps of a start, in its order; the board is on the screen after
  // the fifth, the panel after the sixth.
  constexpr const char* kSteps[] = {"letters read",
                                    "men",
                                    "the course's problems read and checked",
                                    "window made",
                                    "board painted",
                                    "panel made and painted",
                                    "the other problems checked"};
  std::vector<double> times[std::size(kSteps)];
  for (int round = 0; round < 10; ++round) {
    double t = Now();
    auto step = [&](std::size_t index) {
      const double now = Now();
      times[index].push_back(now - t);
      t = now;
    };
    const solver::StartChoice start = solver::ChooseStart(files, "Kombiru.exe");
    step(0);
    const MenSheet sheet = LoadMen();
    step(1);
    solver::ProblemData problems =
        solver::ReadProblemData(files, solver::kProblemDataFile, start.course->key);
    step(2);
    {
      SolverWindow shown(files, SystemClock(), start, problems, sheet);
      step(3);
      ShowWindow(shown.handle(), SW_SHOWNORMAL);
      RedrawWindow(shown.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      step(4);
      shown.Show(SW_SHOWNORMAL);
      RedrawWindow(shown.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      step(5);
      problems.CheckRest();
      step(6);
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  std::printf("start, in this process, median of %zu:", times[0].size());
  for (std::size_t i = 0; i < std::size(kSteps); ++i)
    std::printf("%s %s %.2f ms", i ? "," : "", kSteps[i], Median(times[i]));
  std::printf("\n");
}

void BenchMoves(const std::string& folder) {
  Win32Files files(folder, folder);
  const solver::ProblemData data =
      solver::ParseProblemData(solver::testing::kTestData, "test problems");
  const MenSheet men = LoadMen();
  SolverWindow window(
      files, SystemClock(),
      {SolverFamily::CourseSolver, chess::Language::Russian, true, solver::FindCourse("practice")},
      data, men, solver::ScreenTiming{1, 1, 1, 1});
  window.Show(SW_SHOWNORMAL);
  Pump(window);
  const HWND board = window.board()->handle();
  auto click = [&](const char* square) {
    const POINT at = window.board()->SquareCentre(*chess::SquareFromName(square));
    SendMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(board, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  };
  std::vector<double> judged;  // of the right moves: up to the window told, before painting
  auto answer = [&](const char* from, const char* to) {
    click(from);
    UpdateWindow(board);  // the chosen man and its targets
    const double started = Now();
    click(to);
    judged.push_back(Now() - started);
    // What the answer made invalid is painted now.
    RedrawWindow(window.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Now() - started;
  };
  // The user's move is expected again: the reply has come and stands.
  auto yourMove = [&] {
    return window.session()->phase() == solver::Phase::SolverToMove &&
           !window.screen().board().animating();
  };
  std::vector<double> wrong, right, rightJudged;
  int missed = 0;  // answers that did not come as they should: not timed
  for (int i = 0; i < 200; ++i) {
    const int mistakes = window.session()->Mistakes();
    const double wrongTime = answer("b1", "b2");  // not the solution: taken back
    if (window.session()->Mistakes() == mistakes + 1) {
      wrong.push_back(wrongTime);
    } else {
      ++missed;
    }
    judged.clear();
    const double rightTime = answer("b1", "b7");  // the solution's first move
    rightJudged.push_back(judged.back());
    if (window.session()->phase() == solver::Phase::ReplyPending) {
      right.push_back(rightTime);
    } else {
      ++missed;
    }
    // Retry is for when the board stands still.
    for (const double until = Now() + 5000; !yourMove() && Now() < until; Sleep(1)) Pump(window);
    SendDlgItemMessageW(window.handle(), kIdRetry, BM_CLICK, 0, 0);
    Pump(window);
  }
  if (wrong.empty() || right.empty()) {
    std::printf("answer to a move: no answer came as it should\n");
    return;
  }
  std::printf(
      "answer to a clicked move and the window redrawn, median (max) of %zu and %zu: "
      "wrong move %.2f ms (%.2f), right move %.2f ms (%.2f), of which %.2f ms before painting; "
      "%d answers not as they should be\n",
      wrong.size(), right.size(), Median(wrong), *std::max_element(wrong.begin(), wrong.end()),
      Median(right), *std::max_element(right.begin(), right.end()), Median(rightJudged), missed);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: solver_bench FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::wstring wide(folder.begin(), folder.end());
  Win32Files files(folder, folder);
  PatchSolver(files, "Kombiru.exe", PlanWrites(LaunchEntryOf(Control::mnuTactics1), true, true));
  BenchStart(wide);
  BenchStartParts(folder);
  BenchMoves(folder);
  return 0;
}

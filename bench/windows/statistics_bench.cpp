// The statistics window after a year of daily practice, under Wine:
//
//   statistics_bench FOLDER          times the window's opening
//   statistics_bench FOLDER --show   opens it with pictures and waits for it
//                                    to be closed (for the screenshots)
//
// Writes the year's progress files into FOLDER, then opens the window 30
// times with pictures on and 30 with pictures off: each time from the call
// until the window is shown and nothing of it waits to be painted, files
// read included. Prints the medians, and the parts in this process: the
// files read and summed up, and the page laid out. Asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "../year_of_practice.h"
#include "bench_timing.h"
#include "platform/fake/fake_clock.h"
#include "platform/replace_file.h"
#include "platform/win32/solver/statistics_window.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_files.h"
#include "solver/themes.h"

namespace {

using namespace zel;
using namespace zel::platform;
using zel::bench::Median;
using zel::bench::Now;

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool NothingToPaint(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) return false;
  return true;
}

struct Bench {
  Win32Files& files;
  const solver::YearOfPractice& year;
  FakeClock& clock;

  // Milliseconds from the call to a window painted.
  double TimeOpen(bool pictures) {
    const solver::StartChoice start{SolverFamily::CourseSolver, chess::Language::Russian, pictures,
                                    nullptr};
    const double started = Now();
    const HWND window = OpenStatisticsWindow(nullptr, files, year.data, start, clock);
    while (!NothingToPaint(window)) UpdateWindow(window);
    const double elapsed = Now() - started;
    DestroyWindow(window);
    Pump();
    return elapsed;
  }

  void Run() {
    std::vector<double> on, off, figures;
    for (int round = 0; round < 32; ++round) {
      const double a = TimeOpen(true), b = TimeOpen(false);
      if (round < 2) continue;  // the first opens fill the system's caches
      on.push_back(a);
      off.push_back(b);
      const double started = Now();
      const solver::Statistics statistics = solver::ComputeStatistics(
          files, year.data, solver::CoursesOf(SolverFamily::CourseSolver), clock.Today());
      figures.push_back(Now() - started);
    }
    std::printf(
        "statistics window, a year of daily practice (%s), median of %zu: painted with "
        "pictures %.1f ms, as text %.1f ms; of which the files read and summed up %.1f ms\n",
        year.Label().c_str(), on.size(), Median(on), Median(off), Median(figures));
  }

  void Show() {
    const solver::StartChoice start{SolverFamily::CourseSolver, chess::Language::Russian, true,
                                    nullptr};
    const HWND window =
        OpenStatisticsWindow(nullptr, files, year.data, start, clock, [](std::string_view token) {
          return solver::StatisticsThemeName(token, chess::Language::Russian);
        });
    MSG message;
    while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::printf("usage: statistics_bench FOLDER [--show]\n");
    return 2;
  }
  const std::string folder = Narrow(argv[1]);
  const solver::YearOfPractice year = solver::MakeYearOfPractice();
  Win32Files files(folder, folder);
  for (const auto& [name, bytes] : year.files) ReplaceFileContent(files, name, bytes);
  FakeClock clock;
  clock.SetToday(year.today);
  Bench bench{files, year, clock};
  if (argc > 2 && std::wstring_view(argv[2]) == L"--show")
    bench.Show();
  else
    bench.Run();
  return 0;
}

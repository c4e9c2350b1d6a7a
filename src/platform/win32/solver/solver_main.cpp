// A solver program: Kombiru, Kombien (the course solver) or ZelmikuR,
// ZelmikuE (the problem book), by its file name. It reads the letters the
// shell wrote into its own file, the problems from the program folder, and
// shows its window until the user closes it. It takes no arguments.
#include <windows.h>

#include <exception>
#include <string>

#include "platform/failure.h"
#include "platform/win32/caption.h"
#include "platform/win32/message_box_report.h"
#include "platform/win32/solver/solver_resources.h"
#include "platform/win32/solver/solver_window.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_files.h"
#include "solver/problem_data.h"
#include "solver/startup.h"
#include "solver/texts.h"

namespace {

using namespace zel;
using namespace zel::platform;

std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw LastErrorFailure(GetLastError(), "GetModuleFileNameW");
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

MenSheet LoadMen() {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(ZEL_MEN_SHEET_RESOURCE),
                                    MAKEINTRESOURCEW(10));  // RT_RCDATA
  const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) throw LastErrorFailure(GetLastError(), "men.bin");
  auto men = MenSheet::Decode({bytes, SizeofResource(nullptr, found)});
  if (!men) throw DamagedFileFailure("men.bin", 0, "The chessmen resource is damaged");
  return *std::move(men);
}

void ReportUnreadable(const Failure& failure, solver::Language language) {
  const std::wstring text =
      Widen(std::string(solver::TextOf(solver::Text::DataUnreadable, language)) + "\n\n" +
            FailureText(failure));
  MessageBoxW(nullptr, text.c_str(), Widen(kProductTitle).c_str(), MB_OK | MB_ICONERROR);
}

int Run(int showCommand) {
  const std::wstring path = OwnPath();
  // The problems and the progress files lie beside the program, wherever it
  // was started from.
  SetCurrentDirectoryW(path.substr(0, path.find_last_of(L"\\/") + 1).c_str());
  Win32Files files;
  const solver::StartChoice start = solver::ChooseStart(files, Narrow(path));
  const MenSheet men = LoadMen();
  // The chosen course's problems are checked before its board is shown, the
  // others' once it is, before the user can reach them.
  solver::ProblemData data;
  try {
    data = solver::ReadProblemData(files, solver::kProblemDataFile,
                                   start.course ? start.course->key : std::string_view());
  } catch (const Failure& failure) {
    ReportUnreadable(failure, start.language);
    return 1;
  }
  SolverWindow window(files, SystemClock(), start, data, men);
  window.Show(showCommand);
  try {
    data.CheckRest();
  } catch (const Failure& failure) {
    ShowWindow(window.handle(), SW_HIDE);
    ReportUnreadable(failure, start.language);
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  try {
    return Run(showCommand);
  } catch (const Failure& failure) {
    MessageBoxReport().Report(failure);
    return 1;
  } catch (const std::exception&) {
    EndAfterUnexpectedFailure();
  }
}

#include "platform/win32/win32_processes.h"

#include <windows.h>

#include <string>

#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"

namespace zel::platform {

void Win32Processes::StartProgram(std::string_view bareName, int windowStyle) {
  // The name goes in as the command line, not as the application name: only
  // then does CreateProcessW search the folders and append ".exe". It may write
  // into the command line, so it gets a copy of its own.
  std::wstring commandLine = Widen(bareName);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    throw LastErrorFailure(GetLastError(), bareName);
  // Nothing of the program is kept: it runs on its own.
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
}

}  // namespace zel::platform

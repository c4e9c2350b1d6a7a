// A program for the process tests: writes into its current folder how it was
// started (its command line and the window style it was given), then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int style = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  const std::wstring report = std::wstring(GetCommandLineW()) + L"\n" + std::to_wstring(style);

  // Written under a temporary name and renamed, so a test never reads half of it.
  const HANDLE file = CreateFileW(L"started.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written,
            nullptr);
  CloseHandle(file);
  return MoveFileExW(L"started.tmp", L"started.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

// For tests that start the stand-ins for real under Windows: copying them into
// a program folder, reading the lines they log, and watching and ending the
// processes by the ids they log.
//
// A program a test leaves running keeps the test runner's output pipe open
// (under Wine every process inherits it), and the run would wait for it: every
// stand-in a test starts must have ended before the test ends.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "standin_log.h"

namespace zel::testing {

namespace standin_detail {
// Case-insensitive, as Windows compares file names.
inline bool SameText(std::wstring a, std::wstring b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}
}  // namespace standin_detail

// The process id a stand-in put at the end of its line ("... pid=123"), or 0.
inline DWORD PidOf(const std::string& line) {
  const auto at = line.rfind(" pid=");
  return at == std::string::npos ? 0 : std::strtoul(line.c_str() + at + 5, nullptr, 10);
}

// A process opened by its id, for waiting on it and ending it. Empty when no
// such process is left.
class ProcessHandle {
 public:
  explicit ProcessHandle(DWORD pid)
      : handle_(
            pid ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                              FALSE, pid)
                : nullptr) {}
  ~ProcessHandle() {
    if (handle_) CloseHandle(handle_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;

  bool Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }
  bool WaitUntilEnded(DWORD limitMs) const {
    return !handle_ || WaitForSingleObject(handle_, limitMs) == WAIT_OBJECT_0;
  }
  // Ends it and waits until it has ended; true if it is gone.
  bool End() const {
    if (Running()) TerminateProcess(handle_, 99);
    return WaitUntilEnded(5000);
  }
  // The full path of its program file, or nothing.
  std::optional<std::wstring> ProgramFile() const {
    wchar_t path[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!handle_ || !QueryFullProcessImageNameW(handle_, 0, path, &size)) return std::nullopt;
    return std::wstring(path, size);
  }

 private:
  HANDLE handle_;
};

inline bool IsRunning(DWORD pid) { return ProcessHandle(pid).Running(); }

inline bool WaitUntilEnded(DWORD pid, DWORD limitMs = 10000) {
  return ProcessHandle(pid).WaitUntilEnded(limitMs);
}

// The running processes whose program file is one of the stand-ins in `folder`.
inline std::vector<DWORD> StandinsRunningFrom(const std::filesystem::path& folder) {
  std::vector<DWORD> found;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    for (const char* program : kStandinPrograms) {
      const std::filesystem::path standin = folder / program;
      if (!standin_detail::SameText(entry.szExeFile, standin.filename().wstring())) continue;
      const auto file = ProcessHandle(entry.th32ProcessID).ProgramFile();
      if (file && standin_detail::SameText(*file, standin.wstring()))
        found.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return found;
}

// Ends every stand-in still running from `folder`; true when none is left.
inline bool EndStandinsIn(const std::filesystem::path& folder) {
  for (DWORD pid : StandinsRunningFrom(folder)) ProcessHandle(pid).End();
  return StandinsRunningFrom(folder).empty();
}

// Sets an environment variable for one scope; started programs inherit it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
    wchar_t old[256];
    const DWORD length = GetEnvironmentVariableW(name, old, 256);
    if (length > 0 && length < 256) old_ = std::wstring(old, length);
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> old_;
};

// Makes a folder the current folder for one scope, as the shell runs in its
// program folder.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::filesystem::path& folder) {
    wchar_t old[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, old);
    old_.assign(old, length < MAX_PATH ? length : 0);
    changed_ = SetCurrentDirectoryW(folder.wstring().c_str()) != FALSE;
  }
  ~ScopedCurrentFolder() {
    if (changed_ && !old_.empty()) SetCurrentDirectoryW(old_.c_str());
  }
  bool changed() const { return changed_; }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::wstring old_;
  bool changed_ = false;
};

}  // namespace zel::testing

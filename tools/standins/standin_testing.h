// For tests that start the stand-ins for real (POSIX): copying them into a
// program folder, reading the lines they log, and finding, watching and ending
// the processes, which are not the test's children once started.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "standin_log.h"

namespace zel::testing {

namespace standin_detail {
using Clock = std::chrono::steady_clock;
}  // namespace standin_detail

// The process id a stand-in put at the end of its line ("... pid=123"), or 0.
inline pid_t PidOf(const std::string& line) {
  const auto at = line.rfind(" pid=");
  return at == std::string::npos ? 0 : static_cast<pid_t>(std::atol(line.c_str() + at + 5));
}

struct ProcessStatus {
  char state;  // 'R', 'S', 'Z', ... as /proc shows it
  pid_t parent;
};

// Nothing when there is no such process.
inline std::optional<ProcessStatus> StatusOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return std::nullopt;
  // "pid (comm) state ppid ...": the name may hold blanks and parentheses.
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream rest(stat.substr(close + 1));
  ProcessStatus status{};
  rest >> status.state >> status.parent;
  return status;
}

// Running: there, and neither a zombie nor dead.
inline bool IsRunning(pid_t pid) {
  const auto status = StatusOf(pid);
  return status && status->state != 'Z' && status->state != 'X';
}

inline bool WaitUntilEnded(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto until = standin_detail::Clock::now() + limit;
  while (IsRunning(pid)) {
    if (standin_detail::Clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Every process whose parent is this one, zombies included.
inline std::vector<pid_t> ChildrenOfThisProcess() {
  std::vector<pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::atol(name.c_str()));
    const auto status = StatusOf(pid);
    if (status && status->parent == ::getpid()) children.push_back(pid);
  }
  return children;
}

// The running processes whose program file lies in `folder`.
inline std::vector<pid_t> ProcessesRunningFrom(const std::filesystem::path& folder) {
  std::error_code error;
  const std::string prefix = std::filesystem::canonical(folder, error).string() + "/";
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::filesystem::path exe = std::filesystem::read_symlink(entry.path() / "exe", error);
    if (!error && exe.string().rfind(prefix, 0) == 0)
      found.push_back(static_cast<pid_t>(std::atol(name.c_str())));
  }
  return found;
}

// Ends every stand-in still running from `folder` and waits until they are gone.
inline void EndStandinsIn(const std::filesystem::path& folder) {
  const std::vector<pid_t> running = ProcessesRunningFrom(folder);
  for (pid_t pid : running) ::kill(pid, SIGKILL);
  for (pid_t pid : running) WaitUntilEnded(pid, std::chrono::seconds(5));
}

// Sets an environment variable for one scope; started programs inherit it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnvironment() {
    if (old_)
      ::setenv(name_.c_str(), old_->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Makes a folder the current folder for one scope, as the shell runs in its
// program folder.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::filesystem::path& folder)
      : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~ScopedCurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
  }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace zel::testing

#include "platform/posix/posix_processes.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/posix/posix_files.h"

extern char** environ;

namespace zel::platform {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string OwnFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  std::string self(path, static_cast<std::size_t>(length));
  return self.substr(0, self.rfind('/'));
}

std::string CurrentFolder() {
  char path[PATH_MAX];
  return ::getcwd(path, sizeof path) ? std::string(path) : std::string(".");
}

std::vector<std::string> SearchFolders() {
  std::vector<std::string> folders{OwnFolder(), CurrentFolder()};
  if (const char* searchPath = std::getenv("PATH")) {
    std::string_view rest = searchPath;
    while (!rest.empty()) {
      const auto colon = rest.find(':');
      const std::string_view folder = rest.substr(0, colon);
      folders.emplace_back(folder.empty() ? "." : folder);
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  return folders;
}

// Spawns the program from a short-lived middle process, which is reaped at once:
// the started program is then nobody's child here and never becomes a zombie
// of the shell, which keeps nothing of it. posix_spawn reports a program that
// cannot be executed at once, and never hands a non-program to a shell.
int SpawnDetached(const std::string& path, std::string_view bareName) {
  // Everything the middle process needs is made before the fork: a fork of a
  // process with other threads may not allocate.
  std::string argv0(bareName);
  char* argv[] = {argv0.data(), nullptr};
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t middle = ::fork();
  if (middle < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return error;
  }
  if (middle == 0) {
    ::close(report[0]);
    pid_t child;
    // The program starts with default signal handling and nothing blocked,
    // whatever the shell (or a test runner) had set for itself.
    posix_spawnattr_t attributes;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    int error = posix_spawnattr_init(&attributes);
    if (error == 0) {
      posix_spawnattr_setsigmask(&attributes, &none);
      posix_spawnattr_setsigdefault(&attributes, &all);
      posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
      error = ::posix_spawn(&child, path.c_str(), nullptr, &attributes, argv, environ);
    }
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(0);
  }
  ::close(report[1]);
  int error = 0;
  ssize_t got;
  do got = ::read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  ::close(report[0]);
  while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  if (got != static_cast<ssize_t>(sizeof error)) return ECHILD;
  return error;
}

}  // namespace

std::optional<std::string> FindProgram(std::string_view bareName) {
  // As Windows does: "NAME.exe" through all the folders first; the bare name is
  // only a second pass, for programs built without the extension. A stray
  // "NAME" in an earlier folder never hides the "NAME.exe" a launch patched.
  const std::vector<std::string> folders = SearchFolders();
  for (std::string_view suffix : {".exe", ""}) {
    for (const std::string& folder : folders) {
      std::string candidate = folder + "/" + std::string(bareName) + std::string(suffix);
      if (IsRegularFile(candidate)) return candidate;
    }
  }
  return std::nullopt;
}

void PosixProcesses::StartProgram(std::string_view bareName, int /*windowStyle*/) {
  const std::optional<std::string> program = FindProgram(bareName);
  if (!program) throw ErrnoFailure(ENOENT, bareName);
  if (const int error = SpawnDetached(*program, bareName)) throw ErrnoFailure(error, bareName);
}

}  // namespace zel::platform

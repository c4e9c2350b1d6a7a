#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "platform/drive_path.h"
#include "platform/failure.h"

namespace zel::platform {

Failure ErrnoFailure(int error, std::string_view subject) {
  return {error, std::strerror(error), std::string(subject)};
}

namespace {

[[noreturn]] void ThrowErrno(std::string_view subject) { throw ErrnoFailure(errno, subject); }

// Owns a descriptor; closes it on every path. Close() reports what close(2) says.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  void Close(std::string_view subject) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowErrno(subject);
  }

 private:
  int fd_;
};

// O_CLOEXEC everywhere: a descriptor inherited by a started solver would keep
// its program file open for writing and make its next start fail.
int OpenOrThrow(const std::string& path, int flags, std::string_view subject, mode_t mode = 0) {
  int fd;
  do fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) ThrowErrno(subject);
  return fd;
}

void WriteAll(int fd, std::string_view bytes, std::string_view subject) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(subject);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The replaced file is the one a symbolic link points to, not the link. The
// chain is followed link by link rather than with realpath, so that a link to a
// file not there yet still names it: the write then creates that file and the
// link stays, as a direct write through the link would. A result other than
// the path itself is absolute, so that it resolves alike from any folder.
std::string FollowLink(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {  // the kernel's own limit on a chain of links
    struct stat info;
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) return path;
    const std::string next(target, static_cast<std::size_t>(length));
    current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
  }
  if (current == path || current.front() == '/') return current;
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) ? std::string(folder) + "/" + current : current;
}

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string subject) : fd_(fd), subject_(std::move(subject)) {}
  void Write(std::string_view bytes) override { WriteAll(fd_.get(), bytes, subject_); }
  void FlushToDisk() override {
    if (::fsync(fd_.get()) != 0) ThrowErrno(subject_);
  }
  void Close() override { fd_.Close(subject_); }

 private:
  Descriptor fd_;
  std::string subject_;
};

class PosixUpdateFile final : public UpdateFile {
 public:
  PosixUpdateFile(int fd, std::string subject) : fd_(fd), subject_(std::move(subject)) {}
  void WriteByteAt(std::uint64_t offset, char byte) override {
    ssize_t written;
    do written = ::pwrite(fd_.get(), &byte, 1, static_cast<off_t>(offset));
    while (written < 0 && errno == EINTR);
    if (written < 0) ThrowErrno(subject_);
    if (written != 1) throw ErrnoFailure(EIO, subject_);
  }
  void Close() override { fd_.Close(subject_); }

 private:
  Descriptor fd_;
  std::string subject_;
};

// Closing the descriptor releases the lock.
class PosixFileLock final : public FileLock {
 public:
  explicit PosixFileLock(int fd) : fd_(fd) {}
  int fd() const { return fd_.get(); }

 private:
  Descriptor fd_;
};

void SleepMs(int ms) {
  timespec left{0, ms * 1000000L};
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace

PosixFiles::PosixFiles(std::string programFolder, std::string driveRoot)
    : programFolder_(std::move(programFolder)), driveRoot_(std::move(driveRoot)) {}

std::string PosixFiles::Resolve(std::string_view name) const {
  std::string path;
  if (IsDrivePath(name)) {
    path = driveRoot_;
    name.remove_prefix(3);
  } else if (!name.empty() && name[0] == '/') {
    return std::string(name);
  } else if (programFolder_ != ".") {
    path = programFolder_;
  }
  if (!path.empty() && path.back() != '/') path += '/';
  for (char c : name) path += c == '\\' ? '/' : c;
  return path;
}

std::string PosixFiles::ReadAll(std::string_view name) {
  // O_NONBLOCK: a FIFO put in a settings file's place must not hang the shell;
  // it changes nothing for a regular file.
  Descriptor fd(OpenOrThrow(Resolve(name), O_RDONLY | O_NONBLOCK, name));
  std::string content;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(name);
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  fd.Close(name);
  return content;
}

void PosixFiles::ProbeWritable(std::string_view name) {
  const std::string path = Resolve(name);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return;  // nothing there yet: the write creates it
    ThrowErrno(name);
  }
  Descriptor(fd).Close(name);
}

TemporaryFile PosixFiles::CreateTemporaryBeside(std::string_view beside) {
  // Beside the file a symbolic link points to, so that the rename stays on its
  // file system; otherwise named like the file itself, so that it resolves alike.
  const std::string resolved = Resolve(beside);
  const std::string target = FollowLink(resolved);
  const std::string stem =
      (target == resolved ? std::string(beside) : target) + ".~" + std::to_string(::getpid()) + "-";
  for (int attempt = 0;; ++attempt) {
    const std::string name = stem + std::to_string(attempt) + ".tmp";
    const int fd = ::open(Resolve(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      // The replacement keeps the permission bits of the file it replaces.
      struct stat old;
      if (::stat(target.c_str(), &old) == 0) (void)::fchmod(fd, old.st_mode & 07777);
      return {name, std::make_unique<PosixOutputFile>(fd, std::string(beside))};
    }
    // A name left by an earlier run with the same process id: take the next one.
    if (errno != EEXIST || attempt == 99) ThrowErrno(beside);
  }
}

void PosixFiles::Replace(std::string_view from, std::string_view to) {
  const std::string target = FollowLink(Resolve(to));
  if (::rename(Resolve(from).c_str(), target.c_str()) != 0) ThrowErrno(to);
  // The new name is on disk only once its folder is.
  Descriptor folder(OpenOrThrow(FolderOf(target), O_RDONLY | O_DIRECTORY, to));
  if (::fsync(folder.get()) != 0) ThrowErrno(to);
  folder.Close(to);
}

std::unique_ptr<UpdateFile> PosixFiles::OpenForUpdate(std::string_view name) {
  const int fd = OpenOrThrow(Resolve(name), O_RDWR | O_NOCTTY, name);
  return std::make_unique<PosixUpdateFile>(fd, std::string(name));
}

void PosixFiles::RemoveFile(std::string_view name) {
  if (::unlink(Resolve(name).c_str()) != 0) ThrowErrno(name);
}

void PosixFiles::RemoveEmptyFolder(std::string_view name) {
  if (::rmdir(Resolve(name).c_str()) != 0) ThrowErrno(name);
}

std::unique_ptr<FileLock> PosixFiles::LockExclusive(std::string_view name) {
  // Reading is all flock needs, so a lock file without write permission serves too.
  auto lock = std::make_unique<PosixFileLock>(
      OpenOrThrow(Resolve(name), O_RDONLY | O_CREAT | O_NOCTTY, name, 0666));
  // flock rather than fcntl locks: a flock lock belongs to the open file, so two
  // locks taken in one process exclude each other as well, and closing another
  // descriptor of the same file does not drop it.
  constexpr int kStepMs = 10;
  for (int waited = 0;; waited += kStepMs) {
    if (::flock(lock->fd(), LOCK_EX | LOCK_NB) == 0) return lock;
    if (errno != EWOULDBLOCK && errno != EINTR) ThrowErrno(name);
    if (waited >= kLockPatienceMs) throw ErrnoFailure(EWOULDBLOCK, name);
    SleepMs(kStepMs);
  }
}

}  // namespace zel::platform

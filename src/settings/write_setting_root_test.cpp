// WriteSetting against the operating system's own refusals, which permission
// bits alone cannot produce for root: immutable files and folders, read-only
// mounts, a full file system, and a child dropped to an unprivileged user.
// Each case checks the error number, the step that failed, that the old bytes
// are kept and that nothing is left beside them. Skipped when not root or when
// the kernel refuses the set-up.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/faulty_files.h"
#include "platform/posix/posix_files.h"
#include "settings/settings.h"
#include "testing/test_folder.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOld = "\"E\"\r\n";

// How one write ended: the error number (0: it succeeded) and the operation
// that failed, as the recording files saw it.
struct Result {
  int code = 0;
  std::string step;
};

// The last call before the clean-up that follows a failure.
std::string FailedStep(const platform::FaultyFiles& files) {
  const auto& log = files.log();
  for (auto entry = log.rbegin(); entry != log.rend(); ++entry) {
    if (entry->rfind("RemoveFile ", 0) == 0) continue;
    return entry->substr(0, entry->find(' '));
  }
  return {};
}

Result Write(const fs::path& folder, std::string_view fileName, const WrittenValue& value) {
  platform::PosixFiles native(folder.string());
  platform::FaultyFiles files(native);  // records only
  Result result;
  try {
    WriteSetting(files, fileName, value);
  } catch (const platform::Failure& failure) {
    result = {failure.code, FailedStep(files)};
  }
  EXPECT_EQ(files.openHandles(), 0);
  return result;
}

std::string Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const auto& name : names) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

std::string ReadBytes(const fs::path& file) {
  std::string content;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  char buffer[256];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) content.append(buffer, got);
  ::close(fd);
  return content;
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << file << ": " << std::strerror(errno);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

// The immutable flag of chattr +i, cleared again on every path.
class Immutable {
 public:
  explicit Immutable(const fs::path& path) : path_(path) { ok_ = Set(true); }
  ~Immutable() {
    if (ok_) Set(false);
  }
  bool ok() const { return ok_; }

 private:
  bool Set(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
  }
  fs::path path_;
  bool ok_ = false;
};

// Mounts live in a mount namespace of this test process alone: a test killed
// by its timeout then leaves no mount behind on the machine.
bool PrivateMounts() {
  static const bool done = ::unshare(CLONE_NEWNS) == 0 &&
                           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return done;
}

// One mount on a folder of the test, unmounted again on every path.
class Mount {
 public:
  Mount(const fs::path& target, const char* source, const char* type, unsigned long flags,
        const char* options)
      : target_(target) {
    fs::create_directories(target_);
    ok_ = ::mount(source, target_.c_str(), type, flags, options) == 0;
  }
  ~Mount() {
    if (ok_) ::umount2(target_.c_str(), MNT_DETACH);
  }
  bool ok() const { return ok_; }
  bool Remount(unsigned long flags, const char* options = nullptr) {
    return ::mount(nullptr, target_.c_str(), nullptr, MS_REMOUNT | flags, options) == 0;
  }

 private:
  fs::path target_;
  bool ok_ = false;
};

// Why a test cannot run here, or nothing when it can.
std::string NoRoot() { return ::geteuid() == 0 ? "" : "needs root"; }
std::string NoMounts() {
  if (::geteuid() != 0) return "needs root";
  return PrivateMounts() ? "" : std::string("no private mount namespace: ") + std::strerror(errno);
}

TEST(WriteSettingAsRoot, AnImmutableFileIsRefusedAtTheProbe) {
  if (const auto why = NoRoot(); !why.empty()) GTEST_SKIP() << why;
  testing::TestFolder folder;
  WriteBytes(folder / "enfo00.dat", kOld);
  Immutable immutable(folder / "enfo00.dat");
  if (!immutable.ok()) GTEST_SKIP() << "file system without the immutable flag";
  const Result result = Write(folder.path(), "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(result.code, EPERM);
  EXPECT_EQ(result.step, "ProbeWritable");
  EXPECT_EQ(ReadBytes(folder / "enfo00.dat"), kOld);
  EXPECT_EQ(Listing(folder.path()), "enfo00.dat");
}

TEST(WriteSettingAsRoot, AnImmutableFolderIsRefusedAtTheTemporaryFile) {
  if (const auto why = NoRoot(); !why.empty()) GTEST_SKIP() << why;
  testing::TestFolder root;
  const fs::path folder = root / "prog";
  fs::create_directories(folder);
  WriteBytes(folder / "enfo00.dat", kOld);
  Immutable immutable(folder);
  if (!immutable.ok()) GTEST_SKIP() << "file system without the immutable flag";
  // The file itself may be written in place; only new names are refused.
  const Result result = Write(folder, "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(result.code, EPERM);
  EXPECT_EQ(result.step, "CreateTemporaryBeside");
  EXPECT_EQ(ReadBytes(folder / "enfo00.dat"), kOld);
  EXPECT_EQ(Listing(folder), "enfo00.dat");
  const Result missing = Write(folder, "Sound.dat", 3);
  EXPECT_EQ(missing.code, EPERM);
  EXPECT_EQ(Listing(folder), "enfo00.dat");
}

TEST(WriteSettingAsRoot, ReadOnlyMountsFailWithEROFS) {
  if (const auto why = NoMounts(); !why.empty()) GTEST_SKIP() << why;
  testing::TestFolder root;
  fs::create_directories(root / "rw");
  WriteBytes(root / "rw" / "enfo00.dat", kOld);

  Mount bind(root / "ro-bind", (root / "rw").c_str(), nullptr, MS_BIND, nullptr);
  if (!bind.ok() || !bind.Remount(MS_BIND | MS_RDONLY)) GTEST_SKIP() << std::strerror(errno);
  Mount tmpfs(root / "ro-tmpfs", "zel-test", "tmpfs", 0, "size=64k");
  if (!tmpfs.ok()) GTEST_SKIP() << std::strerror(errno);
  WriteBytes(root / "ro-tmpfs" / "enfo00.dat", kOld);
  ASSERT_TRUE(tmpfs.Remount(MS_RDONLY)) << std::strerror(errno);

  for (const char* mounted : {"ro-bind", "ro-tmpfs"}) {
    SCOPED_TRACE(mounted);
    const fs::path folder = root / mounted;
    const Result existing = Write(folder, "enfo00.dat", std::string_view("R"));
    EXPECT_EQ(existing.code, EROFS);
    EXPECT_EQ(existing.step, "ProbeWritable");
    const Result missing = Write(folder, "pnfo00.dat", std::string_view("Y"));
    EXPECT_EQ(missing.code, EROFS);
    EXPECT_EQ(missing.step, "CreateTemporaryBeside");
    EXPECT_EQ(ReadBytes(folder / "enfo00.dat"), kOld);
    EXPECT_EQ(Listing(folder), "enfo00.dat");
  }
}

// Fills a file system to its last byte.
void Fill(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'x');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  while (::write(fd, "x", 1) > 0) {
  }
  EXPECT_EQ(errno, ENOSPC);
  ::close(fd);
}

TEST(WriteSettingAsRoot, AFullFileSystemKeepsTheOldBytes) {
  if (const auto why = NoMounts(); !why.empty()) GTEST_SKIP() << why;
  testing::TestFolder root;
  const fs::path folder = root / "full";
  Mount tmpfs(folder, "zel-test", "tmpfs", 0, "size=16k");
  if (!tmpfs.ok()) GTEST_SKIP() << std::strerror(errno);
  WriteBytes(folder / "enfo00.dat", kOld);
  Fill(folder / "filler");

  const Result result = Write(folder, "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(result.code, ENOSPC);
  EXPECT_TRUE(result.step == "Write" || result.step == "FlushToDisk" || result.step == "Close")
      << result.step;
  EXPECT_EQ(ReadBytes(folder / "enfo00.dat"), kOld);
  EXPECT_EQ(Listing(folder), "enfo00.dat filler");
}

TEST(WriteSettingAsRoot, NoFreeInodeFailsAtTheTemporaryFile) {
  if (const auto why = NoMounts(); !why.empty()) GTEST_SKIP() << why;
  testing::TestFolder root;
  const fs::path folder = root / "full";
  Mount tmpfs(folder, "zel-test", "tmpfs", 0, "size=64k,nr_inodes=4");
  if (!tmpfs.ok()) GTEST_SKIP() << std::strerror(errno);
  WriteBytes(folder / "enfo00.dat", kOld);
  int extra = 0;
  for (;; ++extra) {
    const fs::path name = folder / ("f" + std::to_string(extra));
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) break;
    ::close(fd);
  }
  ASSERT_EQ(errno, ENOSPC);

  const Result result = Write(folder, "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(result.code, ENOSPC);
  EXPECT_EQ(result.step, "CreateTemporaryBeside");
  EXPECT_EQ(ReadBytes(folder / "enfo00.dat"), kOld);
  EXPECT_EQ(static_cast<int>(std::distance(fs::directory_iterator(folder), {})), extra + 1);
}

// Runs `body` in a child dropped to uid and gid 65534 and returns what it
// reports. The child dies after ten seconds at the latest, and the pipe closes
// with it, so the parent never waits longer.
std::string AsNobody(const std::function<std::string()>& body) {
  int channel[2];
  if (::pipe2(channel, O_CLOEXEC) != 0) return "pipe failed";
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(10);
    ::close(channel[0]);
    std::string report;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
      report = "skip: cannot drop to 65534";
    } else {
      try {
        report = body();
      } catch (...) {
        report = "unexpected exception";
      }
    }
    (void)!::write(channel[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string report;
  char buffer[256];
  ssize_t got;
  while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, got);
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return report;
}

std::string Describe(const Result& result) {
  return std::to_string(result.code) + " " + result.step;
}

TEST(WriteSettingAsRoot, AnUnprivilegedUserIsRefusedAReadOnlyFileAndFolder) {
  if (const auto why = NoRoot(); !why.empty()) GTEST_SKIP() << why;
  testing::TestFolder root;
  ASSERT_EQ(::chmod(root.path().c_str(), 0755), 0);

  // A read-only file in a folder anyone may write: a bare rename would replace
  // it, but the probe refuses it as a direct write would.
  const fs::path openFolder = root / "open";
  fs::create_directories(openFolder);
  ASSERT_EQ(::chmod(openFolder.c_str(), 0777), 0);
  WriteBytes(openFolder / "enfo00.dat", kOld);
  WriteBytes(openFolder / "witness.dat", kOld);
  ASSERT_EQ(::chmod((openFolder / "enfo00.dat").c_str(), 0444), 0);
  ASSERT_EQ(::chmod((openFolder / "witness.dat").c_str(), 0444), 0);

  // A writable file in a folder nobody may add to.
  const fs::path closed = root / "closed";
  fs::create_directories(closed);
  WriteBytes(closed / "enfo00.dat", kOld);
  ASSERT_EQ(::chmod((closed / "enfo00.dat").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(closed.c_str(), 0555), 0);

  const std::string report = AsNobody([&] {
    std::string out = Describe(Write(openFolder, "enfo00.dat", std::string_view("R")));
    const fs::path other = openFolder / "other.dat";
    const int fd = ::open(other.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool renamed = fd >= 0 && ::close(fd) == 0 &&
                         ::rename(other.c_str(), (openFolder / "witness.dat").c_str()) == 0;
    out += renamed ? ", bare rename succeeded" : ", bare rename refused";
    out += "; " + Describe(Write(closed, "enfo00.dat", std::string_view("R")));
    return out;
  });
  if (report.rfind("skip", 0) == 0) GTEST_SKIP() << report;
  EXPECT_EQ(report, "13 ProbeWritable, bare rename succeeded; 13 CreateTemporaryBeside");
  EXPECT_EQ(ReadBytes(openFolder / "enfo00.dat"), kOld);
  EXPECT_EQ(Listing(openFolder), "enfo00.dat witness.dat");
  EXPECT_EQ(ReadBytes(closed / "enfo00.dat"), kOld);
  EXPECT_EQ(Listing(closed), "enfo00.dat");
}

}  // namespace
}  // namespace zel

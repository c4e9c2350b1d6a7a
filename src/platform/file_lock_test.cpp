// The exclusive lock of the build's own platform (flock on POSIX, LockFileEx
// on Windows), taken by two holders of one process the way two solvers take
// it: each through its own files object.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/failure.h"
#include "platform/native.h"
#include "testing/test_folder.h"

namespace zel::platform {
namespace {

TEST(FileLock, ASecondHolderWaitsUntilTheFirstLetsGo) {
  testing::TestFolder folder;
  NativeFiles first(folder.path().string());
  NativeFiles second(folder.path().string());
  std::atomic<bool> released{false};
  std::atomic<bool> secondHolds{false};

  std::unique_ptr<FileLock> held = first.LockExclusive("progress.lck");
  std::thread waiter([&] {
    const std::unique_ptr<FileLock> lock = second.LockExclusive("progress.lck");
    secondHolds = true;
    EXPECT_TRUE(released) << "the lock was taken while the first holder had it";
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(secondHolds);
  released = true;
  held.reset();
  waiter.join();
  EXPECT_TRUE(secondHolds);

  // Made empty and left so: the lock file is never written.
  EXPECT_TRUE(folder.Exists("progress.lck"));
  EXPECT_EQ(folder.Read("progress.lck"), "");
  // Free again: taken at once, and again after that.
  first.LockExclusive("progress.lck").reset();
  EXPECT_TRUE(second.LockExclusive("progress.lck"));
}

TEST(FileLock, AHolderThatNeverLetsGoMakesTheOtherGiveUp) {
  testing::TestFolder folder;
  NativeFiles first(folder.path().string());
  NativeFiles second(folder.path().string());
  const std::unique_ptr<FileLock> held = first.LockExclusive("progress.lck");
  const auto start = std::chrono::steady_clock::now();
  try {
    second.LockExclusive("progress.lck");
    FAIL() << "the lock was taken twice";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.subject, "progress.lck");
    EXPECT_NE(failure.code, 0);
  }
  // It waited rather than failing at once.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kLockPatienceMs));
}

TEST(FileLock, ALockInAMissingFolderFails) {
  testing::TestFolder folder;
  NativeFiles files(folder.path().string());
  try {
    files.LockExclusive("no-such-folder/progress.lck");
    FAIL() << "locked";
  } catch (const Failure& failure) {
    EXPECT_TRUE(IsMissingFile(failure)) << failure.code;
  }
  EXPECT_EQ(folder.List(), "");
}

}  // namespace
}  // namespace zel::platform

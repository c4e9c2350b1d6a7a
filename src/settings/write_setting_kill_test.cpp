// The program killed in the middle of WriteSetting: a child process writes the
// setting through files that SIGKILL the child just before or just after its
// k-th file call, for every k. Whatever the moment, the file must then hold the
// old or the new line, never an empty or partial one. A kill between creating
// the temporary file and replacing the setting leaves that temporary file; it
// must carry the writer's recognisable name.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <regex>
#include <vector>

#include "platform/posix/posix_files.h"
#include "settings/settings.h"
#include "testing/test_folder.h"

namespace zel {
namespace {

using platform::Files;

// Forwards every call to the real files, counting them; SIGKILLs the process
// itself around call number killAt (0: never).
class KillingFiles final : public Files {
 public:
  KillingFiles(Files& real, int killAt, bool afterCall)
      : real_(real), killAt_(killAt), afterCall_(afterCall) {}

  int calls() const { return calls_; }
  const std::vector<std::string>& operations() const { return operations_; }

  template <typename Call>
  auto Around(const char* operation, Call call) {
    ++calls_;
    operations_.push_back(operation);
    const bool here = calls_ == killAt_;
    if (here && !afterCall_) ::raise(SIGKILL);
    struct KillAfter {
      bool armed;
      ~KillAfter() {
        if (armed) ::raise(SIGKILL);
      }
    } killAfter{here && afterCall_};
    return call();
  }

  std::string ReadAll(std::string_view name) override {
    return Around("ReadAll", [&] { return real_.ReadAll(name); });
  }
  void ProbeWritable(std::string_view name) override {
    Around("ProbeWritable", [&] { real_.ProbeWritable(name); });
  }
  platform::TemporaryFile CreateTemporaryBeside(std::string_view beside) override;
  void Replace(std::string_view from, std::string_view to) override {
    Around("Replace", [&] { real_.Replace(from, to); });
  }
  std::unique_ptr<platform::UpdateFile> OpenForUpdate(std::string_view name) override {
    return Around("OpenForUpdate", [&] { return real_.OpenForUpdate(name); });
  }
  void RemoveFile(std::string_view name) override {
    Around("RemoveFile", [&] { real_.RemoveFile(name); });
  }
  void RemoveEmptyFolder(std::string_view name) override {
    Around("RemoveEmptyFolder", [&] { real_.RemoveEmptyFolder(name); });
  }
  std::unique_ptr<platform::FileLock> LockExclusive(std::string_view name) override {
    return Around("LockExclusive", [&] { return real_.LockExclusive(name); });
  }

 private:
  Files& real_;
  int calls_ = 0;
  int killAt_;
  bool afterCall_;
  std::vector<std::string> operations_;
};

class KillingOutputFile final : public platform::OutputFile {
 public:
  KillingOutputFile(KillingFiles& files, std::unique_ptr<platform::OutputFile> real)
      : files_(files), real_(std::move(real)) {}
  void Write(std::string_view bytes) override {
    files_.Around("Write", [&] { real_->Write(bytes); });
  }
  void FlushToDisk() override {
    files_.Around("FlushToDisk", [&] { real_->FlushToDisk(); });
  }
  void Close() override {
    files_.Around("Close", [&] { real_->Close(); });
  }

 private:
  KillingFiles& files_;
  std::unique_ptr<platform::OutputFile> real_;
};

platform::TemporaryFile KillingFiles::CreateTemporaryBeside(std::string_view beside) {
  platform::TemporaryFile temporary =
      Around("CreateTemporaryBeside", [&] { return real_.CreateTemporaryBeside(beside); });
  temporary.file = std::make_unique<KillingOutputFile>(*this, std::move(temporary.file));
  return temporary;
}

struct Scenario {
  const char* fileName;
  std::optional<std::string> oldBytes;  // nothing: missing beforehand
  WrittenValue value;
  std::string newBytes;
};

struct Outcome {
  bool killed = false;
  std::string bytes;  // "" with exists false: no file
  bool exists = false;
  std::vector<std::string> stale;  // everything else in the folder
  pid_t child = 0;
};

Outcome RunKilled(const Scenario& s, int killAt, bool afterCall) {
  testing::TestFolder folder;
  if (s.oldBytes) folder.Write(s.fileName, *s.oldBytes);
  std::fflush(nullptr);  // nothing buffered is written twice by the child
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(10);  // a child that hangs dies instead of holding the test
    try {
      platform::PosixFiles native(folder.path().string());
      KillingFiles files(native, killAt, afterCall);
      WriteSetting(files, s.fileName, s.value);
      ::_exit(0);
    } catch (...) {
      ::_exit(3);
    }
  }
  Outcome outcome;
  outcome.child = child;
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  outcome.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  if (!outcome.killed) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  outcome.exists = folder.Exists(s.fileName);
  outcome.bytes = folder.Read(s.fileName);
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    if (name != s.fileName) outcome.stale.push_back(name);
  }
  return outcome;
}

TEST(WriteSettingKilled, EveryKillPointLeavesTheOldOrTheNewLine) {
  const Scenario scenarios[] = {
      {"enfo00.dat", "\"E\"\r\n", std::string_view("R"), "\"R\"\r\n"},
      {"Sound.dat", "1\r\n", 3, "3\r\n"},
      {"playea.ini", std::nullopt, 7, "7\r\n"},
  };
  int points = 0, staleFiles = 0;
  for (const auto& s : scenarios) {
    // Count the calls of an undisturbed write first.
    testing::TestFolder dry;
    if (s.oldBytes) dry.Write(s.fileName, *s.oldBytes);
    platform::PosixFiles native(dry.path().string());
    KillingFiles counting(native, 0, false);
    WriteSetting(counting, s.fileName, s.value);
    const auto& operations = counting.operations();
    const int calls = counting.calls();
    const int created =
        static_cast<int>(std::find(operations.begin(), operations.end(), "CreateTemporaryBeside") -
                         operations.begin() + 1);
    const int replaced = static_cast<int>(
        std::find(operations.begin(), operations.end(), "Replace") - operations.begin() + 1);
    ASSERT_LE(replaced, calls);

    for (int k = 1; k <= calls; ++k) {
      for (const bool after : {false, true}) {
        SCOPED_TRACE(std::string(s.fileName) + ": killed " + (after ? "after" : "before") +
                     " call " + std::to_string(k) + " (" +
                     operations[static_cast<std::size_t>(k - 1)] + ")");
        const Outcome o = RunKilled(s, k, after);
        ++points;
        EXPECT_TRUE(o.killed);
        // The name moves in one step: before it, the old state; after it, the new.
        const bool moved = k > replaced || (k == replaced && after);
        if (moved) {
          EXPECT_TRUE(o.exists);
          EXPECT_EQ(o.bytes, s.newBytes);
        } else {
          EXPECT_EQ(o.exists, s.oldBytes.has_value());
          EXPECT_EQ(o.bytes, s.oldBytes.value_or(""));
        }
        // Only a kill while the temporary file exists may leave it behind.
        const bool temporaryExists = (k > created || (k == created && after)) && !moved;
        EXPECT_EQ(o.stale.size(), temporaryExists ? 1u : 0u);
        const std::regex pattern(std::regex_replace(s.fileName, std::regex("\\."), "\\.") + "\\.~" +
                                 std::to_string(o.child) + "-[0-9]+\\.tmp");
        for (const auto& name : o.stale) {
          EXPECT_TRUE(std::regex_match(name, pattern)) << name;
          ++staleFiles;
        }
      }
    }
  }
  std::printf(
      "[ figures  ] %d kill points, 0 empty or partial files allowed, %d stale temporaries\n",
      points, staleFiles);
}

}  // namespace
}  // namespace zel

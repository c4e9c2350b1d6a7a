// What a failing WriteSetting leaves behind, over the real files of the build's
// platform: every call of the write is made to fail in turn, once and from then
// on, with several errors. The setting must keep its old bytes (or, when it did
// not exist, stay missing), the caller must see the injected number, and no
// temporary file and no handle may be left.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/failure.h"
#include "settings/settings.h"
#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;

// Access denied on both platforms' numbering (13 POSIX, 5 Windows), disk full.
constexpr std::int32_t kErrors[] = {13, 28, 5};

struct Scenario {
  const char* fileName;
  std::optional<std::string> oldBytes;  // nothing: the file is missing beforehand
  WrittenValue value;
  std::string newBytes;
};

std::vector<std::string> ProgramFiles(const Harness& h) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(h.root / "prog"))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void Prepare(const Harness& h, const Scenario& s) {
  if (s.oldBytes) h.Write(s.fileName, *s.oldBytes);
}

// The operation names of an undisturbed write, in order.
std::vector<std::string> UndisturbedOperations(const Scenario& s) {
  Harness h;
  Prepare(h, s);
  WriteSetting(h.files, s.fileName, s.value);
  EXPECT_EQ(h.Read(s.fileName), s.newBytes);
  std::vector<std::string> operations;
  for (const auto& entry : h.files.log()) operations.push_back(entry.substr(0, entry.find(' ')));
  return operations;
}

// The temporary name a refused clean-up tried to remove, if any.
std::optional<std::string> RefusedRemoval(const Harness& h, int failedCall) {
  const auto& log = h.files.log();
  for (std::size_t i = static_cast<std::size_t>(failedCall); i < log.size(); ++i) {
    if (log[i].rfind("RemoveFile ", 0) == 0) return log[i].substr(11);
  }
  return std::nullopt;
}

struct Tally {
  int runs = 0;
  int staleAfterRefusedCleanup = 0;
};

void FailEveryCallInTurn(const Scenario& s, Tally& tally) {
  const std::vector<std::string> operations = UndisturbedOperations(s);
  const auto at = [&](const char* name) {
    return std::find(operations.begin(), operations.end(), name) - operations.begin() + 1;
  };
  const int calls = static_cast<int>(operations.size());
  const int replaceCall = static_cast<int>(at("Replace"));
  ASSERT_LE(replaceCall, calls) << "the write never replaced the file";
  // Durability depends on this order: probe before any file is made, the new
  // bytes on disk and the handle closed before the name moves.
  EXPECT_LT(at("ProbeWritable"), at("CreateTemporaryBeside"));
  EXPECT_LT(at("Write"), at("FlushToDisk"));
  EXPECT_LT(at("FlushToDisk"), replaceCall);
  EXPECT_LT(at("Close"), replaceCall);

  for (int k = 1; k <= calls; ++k) {
    for (const std::int32_t error : kErrors) {
      for (const bool persistent : {false, true}) {
        SCOPED_TRACE(std::string(s.fileName) + (s.oldBytes ? "" : " (missing)") + ", call " +
                     std::to_string(k) + " (" + operations[static_cast<std::size_t>(k - 1)] +
                     "), error " + std::to_string(error) + (persistent ? ", persistent" : ""));
        Harness h;
        Prepare(h, s);
        h.files.FailCall(k, error, persistent);
        try {
          WriteSetting(h.files, s.fileName, s.value);
          ADD_FAILURE() << "the write succeeded";
        } catch (const platform::Failure& failure) {
          EXPECT_EQ(failure.code, error);
          // The first failure is reported, not a refused clean-up after it.
          EXPECT_EQ(failure.subject, s.fileName);
        }
        h.files.FailCall(0, 0);
        ++tally.runs;

        std::vector<std::string> expected;
        if (k <= replaceCall) {
          // The name never moved: the old state, byte for byte.
          EXPECT_EQ(h.Exists(s.fileName), s.oldBytes.has_value());
          if (s.oldBytes) {
            EXPECT_EQ(h.Read(s.fileName), *s.oldBytes);
            expected.push_back(s.fileName);
          }
        } else {
          ASSERT_TRUE(h.Exists(s.fileName));
          const std::string bytes = h.Read(s.fileName);
          EXPECT_TRUE(bytes == s.newBytes || (s.oldBytes && bytes == *s.oldBytes)) << bytes;
          expected.push_back(s.fileName);
        }
        // A persistent failure refuses the clean-up too; only then may the
        // temporary file stay, and it must be the one the clean-up named.
        if (const auto stale = RefusedRemoval(h, k); persistent && stale) {
          ASSERT_TRUE(h.Exists(*stale)) << *stale;
          expected.push_back(*stale);
          ++tally.staleAfterRefusedCleanup;
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ProgramFiles(h), expected);
        EXPECT_EQ(h.files.openHandles(), 0);
      }
    }
  }

  // One call beyond the count fails nothing: the count covered the whole write.
  Harness h;
  Prepare(h, s);
  h.files.FailCall(calls + 1, kErrors[0], true);
  WriteSetting(h.files, s.fileName, s.value);
  EXPECT_EQ(h.Read(s.fileName), s.newBytes);
  EXPECT_EQ(ProgramFiles(h), std::vector<std::string>{s.fileName});
}

TEST(WriteSettingFaults, EveryFailingCallKeepsTheOldBytesAndLeavesNothing) {
  const Scenario scenarios[] = {
      {"enfo00.dat", "\"E\"\r\n", std::string_view("R"), "\"R\"\r\n"},
      {"Sound.dat", "1\r\n", 3, "3\r\n"},
      // A longer hand-edited file: a replacement must not leave its tail behind.
      {"pnfo00.dat", "\"N\"   \r\nsecond line\r\n", std::string_view("Y"), "\"Y\"\r\n"},
  };
  Tally tally;
  for (const auto& s : scenarios) FailEveryCallInTurn(s, tally);
  std::printf("[ figures  ] %d failing runs, %d temporaries left by a refused clean-up\n",
              tally.runs, tally.staleAfterRefusedCleanup);
}

TEST(WriteSettingFaults, AFailingWriteOfAMissingFileCreatesNothing) {
  const Scenario scenarios[] = {
      {"playeo.ini", std::nullopt, 4, "4\r\n"},
      {"enfo00.dat", std::nullopt, std::string_view("E"), "\"E\"\r\n"},
  };
  Tally tally;
  for (const auto& s : scenarios) FailEveryCallInTurn(s, tally);
  std::printf("[ figures  ] %d failing runs, %d temporaries left by a refused clean-up\n",
              tally.runs, tally.staleAfterRefusedCleanup);
}

}  // namespace
}  // namespace zel

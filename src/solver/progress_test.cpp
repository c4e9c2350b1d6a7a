// The progress file: its exact bytes, what counts as damage, and what a
// missing, damaged or failing file leaves behind.
#include "solver/progress.h"
#include "solver/test_problems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/failure.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

using S = ProblemState;
using zel::testing::Harness;

using Changes = std::vector<Change>;

const std::vector<std::string> kIds = {"p0001", "p0002", "p0003", "p0004"};
const CourseInfo& kPractice = *FindCourse("practice");

constexpr std::string_view kSaved =
    "Zelmiku progress 1\r\n"
    "course practice\r\n"
    "current p0003\r\n"
    "p0001 first\r\n"
    "p0002 missed\r\n"
    "p0003 new\r\n"
    "p0004 solved\r\n"
    "end\r\n";
const CourseProgress kSavedProgress{{S::SolvedFirst, S::Missed, S::New, S::Solved}, 2};

std::vector<std::string> ProgramFiles(const Harness& h) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(h.root / "prog"))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ProgressFile, TheBytesWrittenAndReadBack) {
  EXPECT_EQ(FormatProgress("practice", kIds, kSavedProgress), kSaved);
  EXPECT_EQ(ParseProgress(kSaved, "practice", kIds), kSavedProgress);
  EXPECT_EQ(FormatProgress("practice", kIds, FreshProgress(4)),
            "Zelmiku progress 1\r\ncourse practice\r\ncurrent p0001\r\np0001 new\r\n"
            "p0002 new\r\np0003 new\r\np0004 new\r\nend\r\n");

  // LF alone, lines in any order, a problem the course got since: new.
  const std::string handEdited =
      "Zelmiku progress 1\ncourse practice\ncurrent p0004\np0004 solved\np0001 first\nend\n";
  EXPECT_EQ(ParseProgress(handEdited, "practice", kIds),
            (CourseProgress{{S::SolvedFirst, S::New, S::New, S::Solved}, 3}));
}

TEST(ProgressFile, DamageOfEveryKindReadsAsNothing) {
  const std::string good(kSaved);
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string damaged[] = {
      "",
      "garbage\x01\x02\xFF",
      good.substr(0, good.size() - 2),     // "end" without its line end
      good.substr(0, good.find("end")),    // cut off before "end"
      good.substr(0, good.find("p0002")),  // cut off in the middle
      good.substr(0, 10),                  // cut off in the header
      good + "p0001 new\r\n",              // something after "end"
      replaced("Zelmiku progress 1", "Zelmiku progress 2"),
      replaced("course practice", "course tactics1"),  // another course's file
      replaced("current p0003", "current p 3"),
      replaced("current p0003\r\n", ""),
      replaced("p0002 missed", "p0001 missed"),               // an id twice
      replaced("p0002 missed", "p9999 missed\r\np9999 new"),  // a gone one twice
      replaced("p0002 missed", "p;02 missed"),                // no id
      replaced("p0002 missed", "p0002 lost"),                 // an unknown state
      replaced("p0002 missed", "p0002  missed"),
      replaced("p0002 missed", "p0002"),
  };
  for (const std::string& bytes : damaged)
    EXPECT_FALSE(ParseProgress(bytes, "practice", kIds)) << bytes;
}

TEST(ProgressFile, ProblemsACourseNoLongerHasArePassedOverAndItsNewOnesAreNew) {
  // The file of an earlier version of the course: p0002 has left it, p0005
  // too (it was current), and p0004 has joined it since.
  const std::string older =
      "Zelmiku progress 1\r\ncourse practice\r\ncurrent p0005\r\n"
      "p0001 first\r\np0002 missed\r\np0005 solved\r\np0003 solved\r\nend\r\n";
  const std::vector<std::string> now = {"p0001", "p0003", "p0004"};
  EXPECT_EQ(ParseProgress(older, "practice", now),
            (CourseProgress{{S::SolvedFirst, S::Solved, S::New}, 0}));
  // Written back, the file holds the course as it is now.
  EXPECT_EQ(FormatProgress("practice", now, *ParseProgress(older, "practice", now)),
            "Zelmiku progress 1\r\ncourse practice\r\ncurrent p0001\r\n"
            "p0001 first\r\np0003 solved\r\np0004 new\r\nend\r\n");
}

TEST(ProgressStore, AMissingFileIsAFreshStartAndAnUpdateWritesIt) {
  Harness h;
  ProgressStore store(h.files, kPractice, kIds);
  EXPECT_EQ(store.Load(), FreshProgress(4));
  EXPECT_FALSE(h.Exists("practice.prg"));  // loading creates nothing

  EXPECT_EQ(store.Update(2, Changes{{0, Outcome::SolvedClean}}),
            (CourseProgress{{S::SolvedFirst, S::New, S::New, S::New}, 2}));
  // In order: solved after a fault is solved, not first.
  store.Update(2, Changes{{1, Outcome::Fault}, {3, Outcome::Fault}, {3, Outcome::SolvedClean}});
  EXPECT_EQ(h.Read("practice.prg"), kSaved);
  EXPECT_EQ(store.Load(), kSavedProgress);
  EXPECT_EQ(ProgramFiles(h), (std::vector<std::string>{"practice.prg", "progress.lck"}));
  EXPECT_EQ(h.Read("progress.lck"), "");

  EXPECT_EQ(store.Restart(), FreshProgress(4));
  EXPECT_EQ(ParseProgress(h.Read("practice.prg"), "practice", kIds), FreshProgress(4));
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST(ProgressStore, ADamagedFileIsSetAsideAndTheCourseStartsAfresh) {
  Harness h;
  ProgressStore store(h.files, kPractice, kIds);
  const std::string damaged = std::string(kSaved).replace(0, 7, "Garbage");
  h.Write("practice.prg", damaged);
  EXPECT_EQ(store.Load(), FreshProgress(4));
  EXPECT_FALSE(h.Exists("practice.prg"));
  EXPECT_EQ(h.Read("practice.prg.bad"), damaged);

  // A later write starts from scratch and keeps the set-aside file.
  store.Update(1, Changes{{1, Outcome::SolvedClean}});
  EXPECT_EQ(store.Load(), (CourseProgress{{S::New, S::SolvedFirst, S::New, S::New}, 1}));
  EXPECT_EQ(h.Read("practice.prg.bad"), damaged);

  // Damage found while writing: set aside the same way, the newer damage kept.
  h.Write("practice.prg", "cut off");
  EXPECT_EQ(store.Update(0, Changes{{0, Outcome::Fault}}),
            (CourseProgress{{S::Missed, S::New, S::New, S::New}, 0}));
  EXPECT_EQ(h.Read("practice.prg.bad"), "cut off");
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST(ProgressStore, AFileThatCannotBeReadIsNoFreshStart) {
  Harness h;
  std::filesystem::create_directories(h.root / "prog" / "practice.prg");  // a folder in its place
  ProgressStore store(h.files, kPractice, kIds);
  EXPECT_THROW(store.Load(), platform::Failure);
  EXPECT_THROW(store.Update(0, Changes{{0, Outcome::Fault}}), platform::Failure);
  EXPECT_TRUE(std::filesystem::is_directory(h.root / "prog" / "practice.prg"));
  EXPECT_EQ(h.files.openHandles(), 0);
}

// Every call of an update made to fail in turn, once and from then on: the
// file keeps its old bytes, no temporary file stays unless its removal was
// refused too, and the lock is released.
TEST(ProgressStore, AFailureAtAnyCallOfAnUpdateKeepsTheOldFile) {
  const std::string before(kSaved);
  int calls = 0;
  {
    Harness h;
    h.Write("practice.prg", before);
    ProgressStore store(h.files, kPractice, kIds);
    store.Update(2, Changes{{2, Outcome::SolvedClean}});
    calls = h.files.calls();
    EXPECT_NE(h.Read("practice.prg"), before);
  }
  ASSERT_GE(calls, 8);  // lock, read, probe, create, write, flush, close, replace
  int runs = 0;
  for (int k = 1; k <= calls; ++k) {
    for (const bool persistent : {false, true}) {
      SCOPED_TRACE("call " + std::to_string(k) + (persistent ? ", persistent" : ""));
      Harness h;
      h.Write("practice.prg", before);
      ProgressStore store(h.files, kPractice, kIds);
      h.files.FailCall(k, 28, persistent);
      try {
        store.Update(2, Changes{{2, Outcome::SolvedClean}});
        ADD_FAILURE() << "the update succeeded";
      } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.code, 28);
      }
      h.files.FailCall(0, 0);
      EXPECT_EQ(h.Read("practice.prg"), before);
      EXPECT_EQ(h.files.openHandles(), 0);
      std::vector<std::string> files = ProgramFiles(h);
      const auto temporary = std::find_if(files.begin(), files.end(), [](const std::string& name) {
        return name.find(".tmp") != std::string::npos;
      });
      if (temporary != files.end()) {
        EXPECT_TRUE(persistent) << *temporary;
        files.erase(temporary);
      }
      // The lock file is made by the first call, the lock itself.
      std::vector<std::string> expected{"practice.prg", "progress.lck"};
      if (k == 1) expected.pop_back();
      EXPECT_EQ(files, expected);
      // The next update goes through.
      store.Update(2, Changes{{2, Outcome::SolvedClean}});
      EXPECT_EQ(store.Load().states[2], S::SolvedFirst);
      ++runs;
    }
  }
  std::printf("[ figures  ] %d failing updates, old progress kept in all\n", runs);
}

TEST(ProgressStore, ALockThatCannotBeTakenStopsTheUpdateBeforeItReads) {
  Harness h;
  h.Write("practice.prg", kSaved);
  ProgressStore store(h.files, kPractice, kIds);
  h.files.FailOperation("LockExclusive", 1, 11);
  EXPECT_THROW(store.Update(0, Changes{{2, Outcome::SolvedClean}}), platform::Failure);
  EXPECT_EQ(h.files.log(), std::vector<std::string>{"LockExclusive progress.lck"});
  EXPECT_EQ(h.Read("practice.prg"), kSaved);
}

}  // namespace
}  // namespace zel::solver

// The progress file: its exact bytes in both versions, what counts as damage,
// the rules of the schedule and the first attempt, and what a missing,
// damaged or failing file leaves behind.
#include "solver/progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/failure.h"
#include "platform/fake/fake_clock.h"
#include "solver/progress_store.h"
#include "solver/test_problems.h"
#include "testing/harness.h"

namespace zel::solver {
namespace {

using S = ProblemState;
using zel::testing::Harness;
using Changes = std::vector<Change>;

Day D(int year, int month, int day) { return platform::DayOf({year, month, day}); }

const std::vector<std::string> kIds = {"p0001", "p0002", "p0003", "p0004"};
const Day kToday = D(2026, 3, 2);

constexpr std::string_view kSaved =
    "Zelmiku progress 2\r\n"
    "course practice\r\n"
    "current p0003\r\n"
    "cycle 1 2026-01-05\r\n"
    "p0001 first 34 2026-01-05\r\n"
    "p0002 solved 212 2026-01-09\r\n"
    "p0003 first 15 2026-01-09\r\n"
    "p0004 missed 40 2026-01-10\r\n"
    "cycle 2 2026-02-11\r\n"
    "p0002 missed 95 2026-02-11\r\n"
    "p0003 new 12 2026-02-11\r\n"
    "review\r\n"
    "p0002 1 2026-02-12\r\n"
    "p0004 3 2026-02-20\r\n"
    "end\r\n";

CourseProgress SavedModel() {
  CourseProgress p = FreshProgress(4, D(2026, 1, 5));
  p.cycles[0].records = {{S::SolvedFirst, 34, D(2026, 1, 5)},
                         {S::Solved, 212, D(2026, 1, 9)},
                         {S::SolvedFirst, 15, D(2026, 1, 9)},
                         {S::Missed, 40, D(2026, 1, 10)}};
  p.cycles.push_back(FreshCycle(4, D(2026, 2, 11)));
  p.cycles[1].records[1] = {S::Missed, 95, D(2026, 2, 11)};
  p.cycles[1].records[2] = {S::New, 12, D(2026, 2, 11)};
  p.reviews[1] = {1, D(2026, 2, 12)};
  p.reviews[3] = {3, D(2026, 2, 20)};
  p.current = 2;
  return p;
}

// As the solvers of version 1 wrote it, byte for byte.
constexpr std::string_view kVersion1 =
    "Zelmiku progress 1\r\n"
    "course practice\r\n"
    "current p0003\r\n"
    "p0001 first\r\n"
    "p0002 missed\r\n"
    "p0003 new\r\n"
    "p0004 solved\r\n"
    "end\r\n";

std::optional<CourseProgress> Parse(std::string_view bytes,
                                    const std::vector<std::string>& ids = kIds) {
  return ParseProgress(bytes, "practice", ids, kToday);
}

TEST(ProgressFile, TheBytesWrittenAndReadBack) {
  EXPECT_EQ(FormatProgress("practice", kIds, SavedModel()), kSaved);
  EXPECT_EQ(Parse(kSaved), SavedModel());
  EXPECT_EQ(FormatProgress("practice", kIds, FreshProgress(4, kToday)),
            "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0001\r\ncycle 1 2026-03-02\r\n"
            "review\r\nend\r\n");

  // LF alone, lines in any order within their part.
  const std::string handEdited =
      "Zelmiku progress 2\ncourse practice\ncurrent p0004\ncycle 1 -\np0004 solved 7 -\n"
      "p0001 first 3 2026-01-01\nreview\np0004 4 2026-03-01\np0001 2 2026-03-09\nend\n";
  CourseProgress expected = FreshProgress(4, std::nullopt);
  expected.cycles[0].records[0] = {S::SolvedFirst, 3, D(2026, 1, 1)};
  expected.cycles[0].records[3] = {S::Solved, 7, std::nullopt};
  expected.reviews[0] = {2, D(2026, 3, 9)};
  expected.reviews[3] = {4, D(2026, 3, 1)};
  expected.current = 3;
  EXPECT_EQ(Parse(handEdited), expected);
}

TEST(ProgressFile, AFileOfVersion1IsTheFirstCycleWithItsFailuresDueAtOnce) {
  CourseProgress expected = FreshProgress(4, std::nullopt);
  expected.cycles[0].records[0].state = S::SolvedFirst;
  expected.cycles[0].records[1].state = S::Missed;
  expected.cycles[0].records[3].state = S::Solved;
  expected.reviews[1] = {1, kToday};
  expected.reviews[3] = {1, kToday};
  expected.current = 2;
  EXPECT_EQ(Parse(kVersion1), expected);
  EXPECT_EQ(Parse(kVersion1)->DueCount(kToday), 2u);
  EXPECT_EQ(FormatProgress("practice", kIds, expected),
            "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0003\r\ncycle 1 -\r\n"
            "p0001 first 0 -\r\np0002 missed 0 -\r\np0004 solved 0 -\r\n"
            "review\r\np0002 1 2026-03-02\r\np0004 1 2026-03-02\r\nend\r\n");

  // A version 1 file by hand: LF alone, lines in any order.
  const std::string handEdited =
      "Zelmiku progress 1\ncourse practice\ncurrent p0004\np0004 solved\np0001 first\nend\n";
  const std::optional<CourseProgress> read = Parse(handEdited);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->current, 3u);
  EXPECT_EQ(read->StateOf(0), S::SolvedFirst);
  EXPECT_EQ(read->StateOf(3), S::Solved);
}

TEST(ProgressFile, DamageOfEveryKindReadsAsNothing) {
  const auto replaced = [](std::string_view bytes, std::string_view from, std::string_view to) {
    std::string text(bytes);
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string good(kSaved);
  const std::string v1(kVersion1);
  const std::string damaged[] = {
      "",
      "garbage\x01\x02\xFF",
      good.substr(0, good.size() - 2),      // "end" without its line end
      good.substr(0, good.find("end")),     // cut off before "end"
      good.substr(0, good.find("review")),  // cut off before the schedule
      good.substr(0, good.find("p0002")),   // cut off in the middle
      good.substr(0, 10),                   // cut off in the header
      good + "p0001 new 0 -\r\n",           // something after "end"
      replaced(good, "progress 2", "progress 3"),
      replaced(good, "course practice", "course tactics1"),  // another course's file
      replaced(good, "current p0003", "current p 3"),
      replaced(good, "current p0003\r\n", ""),
      replaced(good, "cycle 1 ", "cycle 0 "),
      replaced(good, "cycle 2 ", "cycle 3 "),  // cycles out of order
      replaced(good, "cycle 2 2026-02-11", "cycle 2 2026-02-30"),
      replaced(good, "cycle 1 2026-01-05\r\n", ""),          // a record before any cycle
      replaced(good, "p0004 missed 40", "p0001 missed 40"),  // an id twice in a cycle
      replaced(good, "p0004 missed 40 2026-01-10", "p9 new 0 -\r\np9 new 0 -"),  // a gone one
      replaced(good, "p0002 missed 95", "p0002 lost 95"),                        // an unknown state
      replaced(good, "p0002 missed 95", "p0002 missed -95"),
      replaced(good, "p0002 missed 95", "p0002 missed 4294967296"),
      replaced(good, "p0002 missed 95", "p0002 missed 100000001"),
      replaced(good, "p0002 missed 95", "p0002  missed 95"),
      replaced(good, "p0002 missed 95 2026-02-11", "p0002 missed 95"),
      replaced(good, "2026-01-10", "2026-1-10"),
      replaced(good, "p0002 1 2026-02-12", "p0002 0 2026-02-12"),  // no box 0
      replaced(good, "p0002 1 2026-02-12", "p0002 5 2026-02-12"),
      replaced(good, "p0002 1 2026-02-12", "p0002 1 -"),           // a due day is known
      replaced(good, "p0004 3 2026-02-20", "p0002 3 2026-02-20"),  // an id twice in the schedule
      replaced(v1, "p0002 missed", "p0001 missed"),
      replaced(v1, "p0002 missed", "p0002 lost"),
      replaced(v1, "p0002 missed", "p0002 missed 0 -"),  // version 2 lines in version 1
      v1.substr(0, v1.find("end")),
  };
  for (const std::string& bytes : damaged) EXPECT_FALSE(Parse(bytes)) << bytes;
}

TEST(ProgressFile, ProblemsACourseNoLongerHasArePassedOverAndItsNewOnesAreNew) {
  // p0002 has left the course, and p0005, which was current, too; p0006 joined.
  const std::vector<std::string> now = {"p0001", "p0003", "p0004", "p0006"};
  const std::string older =
      "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0005\r\ncycle 1 -\r\n"
      "p0001 first 1 -\r\np0002 missed 2 -\r\np0005 solved 3 -\r\np0003 solved 4 -\r\n"
      "cycle 2 -\r\np0005 missed 5 -\r\nreview\r\np0005 1 2026-03-03\r\np0003 2 2026-03-04\r\n"
      "end\r\n";
  const std::optional<CourseProgress> read = Parse(older, now);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->current, 0u);
  EXPECT_EQ(read->cycles[0].records[0].state, S::SolvedFirst);
  EXPECT_EQ(read->cycles[0].records[1], (ProblemRecord{S::Solved, 4, std::nullopt}));
  EXPECT_TRUE(read->cycles[0].records[3].Empty());
  EXPECT_TRUE(read->cycles[1].records[1].Empty());
  EXPECT_EQ(read->reviews[1], (ReviewSlot{2, D(2026, 3, 4)}));
  // Written back, the file holds the course as it is now.
  EXPECT_EQ(FormatProgress("practice", now, *read),
            "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0001\r\ncycle 1 -\r\n"
            "p0001 first 1 -\r\np0003 solved 4 -\r\ncycle 2 -\r\nreview\r\np0003 2 2026-03-04\r\n"
            "end\r\n");
  // The same holds for a file of version 1.
  const std::optional<CourseProgress> v1 = Parse(kVersion1, now);
  ASSERT_TRUE(v1);
  EXPECT_EQ(v1->StateOf(0), S::SolvedFirst);
  EXPECT_EQ(v1->StateOf(1), S::New);
  EXPECT_EQ(v1->StateOf(2), S::Solved);
}

TEST(ProgressRules, AFailedProblemComesBackAfterOneThreeSevenAndTwentyOneDays) {
  CourseProgress p = FreshProgress(2, kToday);
  Day day = kToday;
  ApplyChange(p, {0, Outcome::Fault}, day);
  EXPECT_EQ(p.reviews[0], (ReviewSlot{1, day + 1}));
  EXPECT_FALSE(p.IsDue(0, day));
  // Solved the same day, not due: solved in the cycle, the box stays.
  ApplyChange(p, {0, Outcome::SolvedClean}, day);
  EXPECT_EQ(p.StateOf(0), S::Solved);
  EXPECT_EQ(p.reviews[0], (ReviewSlot{1, day + 1}));

  for (const std::int32_t wait : {1, 3, 7}) {
    day = day + wait;
    ASSERT_TRUE(p.IsDue(0, day));
    EXPECT_EQ(p.DueCount(day), 1u);
    EXPECT_FALSE(p.IsDue(0, day + -1));
    ApplyChange(p, {0, Outcome::SolvedClean}, day);
  }
  EXPECT_EQ(p.reviews[0].box, 4);
  EXPECT_EQ(p.reviews[0].due, day + 21);
  // Solved from the last box, it is learnt.
  ApplyChange(p, {0, Outcome::SolvedClean}, day + 21);
  EXPECT_EQ(p.reviews[0], ReviewSlot{});

  // A fault on a problem due sends it back to the first box; on one solved
  // and not due (looked at again), it changes nothing.
  ApplyChange(p, {1, Outcome::Fault}, day);
  ApplyChange(p, {1, Outcome::SolvedAfterFault}, day);
  ApplyChange(p, {1, Outcome::SolvedClean}, day + 1);
  ASSERT_EQ(p.reviews[1].box, 2);
  ApplyChange(p, {1, Outcome::Fault}, day + 2);
  EXPECT_EQ(p.reviews[1].box, 2);
  ApplyChange(p, {1, Outcome::Fault}, day + 4);
  EXPECT_EQ(p.reviews[1], (ReviewSlot{1, day + 5}));
  EXPECT_EQ(p.StateOf(1), S::Solved);
}

TEST(ProgressRules, TimeCountsUntilSolvedAndOnlyTheCoursesFirstAttemptIsFirst) {
  CourseProgress p = FreshProgress(2, kToday);
  EXPECT_FALSE(ApplyChange(p, {0, Outcome::None, 30}, kToday));  // looked at, left
  EXPECT_EQ(p.cycles[0].records[0], (ProblemRecord{S::New, 30, kToday}));
  EXPECT_TRUE(ApplyChange(p, {0, Outcome::Fault, 12}, kToday + 1));
  EXPECT_FALSE(ApplyChange(p, {0, Outcome::SolvedAfterFault, 20}, kToday + 1));
  EXPECT_FALSE(ApplyChange(p, {0, Outcome::None, 99}, kToday + 2));  // solved: no more time
  EXPECT_EQ(p.cycles[0].records[0], (ProblemRecord{S::Solved, 62, kToday + 1}));
  EXPECT_TRUE(ApplyChange(p, {1, Outcome::SolvedClean, 5}, kToday));
  EXPECT_FALSE(ApplyChange(p, {7, Outcome::Fault}, kToday));  // no such problem

  // In a second cycle both are new, but known: no first attempt.
  p.cycles.push_back(FreshCycle(2, kToday + 3));
  EXPECT_FALSE(ApplyChange(p, {0, Outcome::SolvedClean}, kToday + 3));
  EXPECT_FALSE(ApplyChange(p, {1, Outcome::Fault}, kToday + 3));
  EXPECT_EQ(p.StateOf(0), S::SolvedFirst);
  EXPECT_EQ(p.cycles[0].records[1].state, S::SolvedFirst);
}

struct StoreTest : ::testing::Test {
  Harness h;
  platform::FakeClock clock;
  const ProblemData data = ParseProblemData(testing::kTestData, "Zadachi.dat");
  const CourseInfo& practice = *FindCourse("practice");
  const CourseProblems& problems = *data.Find("practice");
  ProgressStore store{h.files, clock, practice, problems};

  std::vector<std::string> ProgramFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(h.root / "prog"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(StoreTest, AMissingFileIsAFreshStartAndUpdatesWriteItAndTheRating) {
  EXPECT_EQ(store.Load(), FreshProgress(4, kToday));
  EXPECT_EQ(store.LoadRating(), UserRating{});
  EXPECT_FALSE(h.Exists("practice.prg"));  // loading creates nothing

  const SavedProgress first = store.Update(2, Changes{{0, Outcome::SolvedClean, 34}});
  EXPECT_EQ(first.progress.cycles[0].records[0], (ProblemRecord{S::SolvedFirst, 34, kToday}));
  EXPECT_EQ(first.progress.current, 2u);
  ASSERT_TRUE(first.rated);
  EXPECT_EQ(first.rated->before, Glicko{});
  EXPECT_GT(first.rating.rating, 1500);
  EXPECT_EQ(first.rating, first.rated->after);

  // In order: solved after a fault is solved, not first; a fault is rated as a loss.
  const SavedProgress second =
      store.Update(2, Changes{{1, Outcome::Fault}, {3, Outcome::Fault}, {3, Outcome::SolvedClean}});
  ASSERT_TRUE(second.rated);
  EXPECT_EQ(second.rated->before, first.rating);
  EXPECT_LT(second.rating.rating, first.rating.rating);
  EXPECT_EQ(store.Load(), second.progress);
  EXPECT_EQ(store.Load().StateOf(3), S::Solved);
  const UserRating rating = store.LoadRating();
  EXPECT_EQ(rating.rated, (std::vector<std::string>{"p0001", "p0002", "p0004"}));
  ASSERT_EQ(rating.history.size(), 1u);
  EXPECT_EQ(rating.history[0].attempts, 3u);

  // Nothing rated twice, and nothing written when nothing changes.
  const SavedProgress again = store.Update(2, Changes{{0, Outcome::Fault}});
  EXPECT_FALSE(again.rated);
  EXPECT_EQ(again.rating, second.rating);
  const auto replaces =
      std::count_if(h.files.log().begin(), h.files.log().end(),
                    [](const std::string& e) { return e.starts_with("Replace"); });
  EXPECT_EQ(replaces, 4);  // two updates with something rated: the rating's file, the course's
  EXPECT_EQ(ProgramFiles(),
            (std::vector<std::string>{"practice.prg", "progress.lck", "rating.prg"}));
  EXPECT_EQ(h.Read("progress.lck"), "");
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST_F(StoreTest, AVersion1FileIsUpgradedAtTheFirstWriteWithEveryResultKept) {
  h.Write("practice.prg", kVersion1);
  const CourseProgress loaded = store.Load();
  EXPECT_EQ(h.Read("practice.prg"), kVersion1);  // loading writes nothing
  store.Update(2, Changes{{2, Outcome::SolvedClean, 9}});
  CourseProgress expected = loaded;
  expected.cycles[0].records[2] = {S::SolvedFirst, 9, kToday};
  EXPECT_EQ(Parse(h.Read("practice.prg")), expected);
  EXPECT_TRUE(h.Read("practice.prg").starts_with("Zelmiku progress 2\r\n"));
  // Only the problem never tried before was rated.
  EXPECT_EQ(store.LoadRating().rated, std::vector<std::string>{"p0003"});
}

TEST_F(StoreTest, ADamagedFileIsSetAsideAndTheCourseStartsAfresh) {
  const std::string damaged = std::string(kSaved).replace(0, 7, "Garbage");
  h.Write("practice.prg", damaged);
  h.Write("rating.prg", "Zelmiku rating 1\r\nrating 1500\r\n");
  EXPECT_EQ(store.Load(), FreshProgress(4, kToday));
  EXPECT_EQ(store.LoadRating(), UserRating{});
  EXPECT_FALSE(h.Exists("practice.prg"));
  EXPECT_EQ(h.Read("practice.prg.bad"), damaged);
  EXPECT_EQ(h.Read("rating.prg.bad"), "Zelmiku rating 1\r\nrating 1500\r\n");

  // A later write starts from scratch and keeps the set-aside file.
  store.Update(1, Changes{{1, Outcome::SolvedClean}});
  EXPECT_EQ(store.Load().StateOf(1), S::SolvedFirst);
  EXPECT_EQ(h.Read("practice.prg.bad"), damaged);

  // Damage found while writing: set aside the same way, the newer damage kept.
  h.Write("practice.prg", "cut off");
  EXPECT_EQ(store.Update(0, Changes{{0, Outcome::Fault}}).progress.StateOf(1), S::New);
  EXPECT_EQ(h.Read("practice.prg.bad"), "cut off");
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST_F(StoreTest, AFileThatCannotBeReadIsNoFreshStart) {
  std::filesystem::create_directories(h.root / "prog" / "practice.prg");  // a folder in its place
  EXPECT_THROW(store.Load(), platform::Failure);
  EXPECT_THROW(store.Update(0, Changes{{0, Outcome::Fault}}), platform::Failure);
  EXPECT_TRUE(std::filesystem::is_directory(h.root / "prog" / "practice.prg"));
  EXPECT_EQ(h.files.openHandles(), 0);
}

// Every call of an update that rates a first attempt made to fail in turn,
// once and from then on: the course's file keeps its old bytes, no temporary
// file stays unless its removal was refused too, the lock is released, and
// the next update saves the change with the attempt rated exactly once.
TEST_F(StoreTest, AFailureAtAnyCallOfAnUpdateKeepsTheOldFileAndRatesOnce) {
  const std::string before =
      "Zelmiku progress 2\r\ncourse practice\r\ncurrent p0001\r\ncycle 1 2026-03-01\r\n"
      "p0001 first 10 2026-03-01\r\nreview\r\nend\r\n";
  const std::string ratingBefore =
      "Zelmiku rating 1\r\nrating 1400 200 0.06 2026-03-01\r\nrated p0001\r\n"
      "day 2026-03-01 1400 200 1\r\nend\r\n";
  const Changes change{{2, Outcome::SolvedClean, 5}};
  const auto prepare = [&](Harness& in) {
    in.Write("practice.prg", before);
    in.Write("rating.prg", ratingBefore);
  };
  int calls = 0;
  {
    Harness clean;
    prepare(clean);
    ProgressStore cleanStore(clean.files, clock, practice, problems);
    cleanStore.Update(2, change);
    calls = clean.files.calls();
  }
  // lock, two reads, and probe, create, write, flush, close, replace for each file
  ASSERT_GE(calls, 15);
  int runs = 0;
  for (int k = 1; k <= calls; ++k) {
    for (const bool persistent : {false, true}) {
      SCOPED_TRACE("call " + std::to_string(k) + (persistent ? ", persistent" : ""));
      Harness run;
      prepare(run);
      ProgressStore runStore(run.files, clock, practice, problems);
      run.files.FailCall(k, 28, persistent);
      try {
        runStore.Update(2, change);
        ADD_FAILURE() << "the update succeeded";
      } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.code, 28);
      }
      run.files.FailCall(0, 0);
      EXPECT_EQ(run.Read("practice.prg"), before);
      EXPECT_EQ(run.files.openHandles(), 0);
      int temporaries = 0;
      for (const auto& entry : std::filesystem::directory_iterator(run.root / "prog"))
        temporaries += entry.path().filename().string().find(".tmp") != std::string::npos;
      EXPECT_TRUE(temporaries == 0 || persistent);

      runStore.Update(2, change);
      EXPECT_EQ(runStore.Load().cycles[0].records[2], (ProblemRecord{S::SolvedFirst, 5, kToday}));
      const UserRating rating = runStore.LoadRating();
      EXPECT_EQ(rating.rated, (std::vector<std::string>{"p0001", "p0003"}));
      ASSERT_EQ(rating.history.size(), 2u);
      EXPECT_EQ(rating.history[1].attempts, 1u);
      ++runs;
    }
  }
  std::printf("[ figures  ] %d failing updates, old progress kept and rated once in all\n", runs);
}

TEST_F(StoreTest, ALockThatCannotBeTakenStopsTheUpdateBeforeItReads) {
  h.Write("practice.prg", kSaved);
  h.files.FailOperation("LockExclusive", 1, 11);
  EXPECT_THROW(store.Update(0, Changes{{2, Outcome::SolvedClean}}), platform::Failure);
  EXPECT_EQ(h.files.log(), std::vector<std::string>{"LockExclusive progress.lck"});
  EXPECT_EQ(h.Read("practice.prg"), kSaved);
}

}  // namespace
}  // namespace zel::solver

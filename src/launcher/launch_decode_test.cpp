// The solver's side of a launch: the shell patches a solver and starts it by
// name; the started program tells from its own name which solver it is, reads
// its letters back from its own file and decodes them to the item, language
// and pictures setting the user chose.
#include "launcher/launch_decode.h"

#include <gtest/gtest.h>

#include "app/dispatcher.h"
#include "launcher/launch.h"
#include "launcher/solver_identity.h"
#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;

constexpr std::size_t kProgramSize = 97000;
constexpr std::string_view kSolverFileNames[] = {"Kombiru.exe", "Kombien.exe", "ZelmikuR.exe",
                                                 "ZelmikuE.exe"};

struct SolverFolder : Harness {
  SolverFolder(bool russian, bool picturesOn) {
    WriteSettings(russian ? "\"R\"\r\n" : "\"E\"\r\n", picturesOn ? "\"Y\"\r\n" : "\"N\"\r\n");
    WritePicture("PictZEL.bmp");
    for (std::string_view name : kSolverFileNames) Write(name, std::string(kProgramSize, '\0'));
  }
};

TEST(LaunchDecode, EveryLaunchReadsBackAsTheItemLanguageAndPicturesChosen) {
  int launches = 0;
  for (const auto rows : {std::span<const LaunchRow>(kCourseLaunches),
                          std::span<const LaunchRow>(kProblemBookLaunches)}) {
    for (const LaunchRow& row : rows) {
      for (const bool russian : {true, false}) {
        for (const bool picturesOn : {true, false}) {
          SCOPED_TRACE(std::string(ControlName(row.control)) + (russian ? " R" : " E") +
                       (picturesOn ? " Y" : " N"));
          SolverFolder h(russian, picturesOn);
          (h.form.*HandlerOf(row.control))();
          ASSERT_EQ(h.processes.starts.size(), 1u);

          // The started program, by the name it was started with.
          const std::string started = h.processes.starts[0].name;
          const std::optional<SolverIdentity> identity = IdentifySolver(started + ".exe");
          ASSERT_TRUE(identity);
          EXPECT_EQ(identity->family, row.entry.family);
          EXPECT_EQ(identity->russian, russian);

          const std::optional<PatchLetters> letters =
              ReadPatchLetters(h.files, started + ".exe", identity->family);
          ASSERT_TRUE(letters);
          const std::optional<DecodedLaunch> found = DecodeLaunch(identity->family, *letters);
          ASSERT_TRUE(found);
          // The practice button writes the practice menu item's letters.
          const Control expected =
              row.control == Control::cmdPractic ? Control::mnuPractic : row.control;
          EXPECT_EQ(ControlName(found->row->control), std::string(ControlName(expected)));
          EXPECT_EQ(found->russian, russian);
          EXPECT_EQ(found->picturesOn, picturesOn);

          // The other family's positions of the same file hold no launch.
          const SolverFamily other = identity->family == SolverFamily::CourseSolver
                                         ? SolverFamily::ProblemBookSolver
                                         : SolverFamily::CourseSolver;
          const std::optional<PatchLetters> otherLetters =
              ReadPatchLetters(h.files, started + ".exe", other);
          ASSERT_TRUE(otherLetters);
          EXPECT_FALSE(DecodeLaunch(other, *otherLetters));
          ++launches;
        }
      }
    }
  }
  EXPECT_EQ(launches, 60);
}

PatchLetters LettersOf(std::string_view text) {
  PatchLetters letters{};
  for (std::size_t i = 0; i < letters.size() && i < text.size(); ++i) letters[i] = text[i];
  return letters;
}

TEST(LaunchDecode, LettersNoLaunchWritesDecodeToNothing) {
  using F = SolverFamily;
  // What launches write, as a check that the cases below fail for their fault.
  EXPECT_TRUE(DecodeLaunch(F::CourseSolver, LettersOf("tPaiiiiiiiiiii")));
  EXPECT_TRUE(DecodeLaunch(F::CourseSolver, LettersOf("tTannnnnnnniii")));
  EXPECT_TRUE(DecodeLaunch(F::ProblemBookSolver, LettersOf("fLryyyyyyyyyyy")));

  EXPECT_FALSE(DecodeLaunch(F::CourseSolver, PatchLetters{}));  // a fresh file's zeros
  EXPECT_FALSE(DecodeLaunch(F::CourseSolver, LettersOf("TPAIIIIIIIIIII")));  // case counts
  // Tactics-1's first slot with Tactics-2's second.
  EXPECT_FALSE(DecodeLaunch(F::CourseSolver, LettersOf("tPyiiiiiiiiiii")));
  // Pictures half on, half off.
  EXPECT_FALSE(DecodeLaunch(F::CourseSolver, LettersOf("tPaiiiinnnniii")));
  // Pictures off, but the fixed group changed with them.
  EXPECT_FALSE(DecodeLaunch(F::CourseSolver, LettersOf("tPannnnnnnnnnn")));
  // A course launch in a problem-book solver, and the other way round.
  EXPECT_FALSE(DecodeLaunch(F::ProblemBookSolver, LettersOf("tPaiiiiiiiiiii")));
  EXPECT_FALSE(DecodeLaunch(F::CourseSolver, LettersOf("fLryyyyyyyyyyy")));
}

TEST(LaunchDecode, AFileEndingBeforeTheHighestPositionHoldsNoLetters) {
  Harness h;
  const std::uint32_t highest = kCourseSolverLayout.ItemSlot2;  // 96316
  std::string bytes(highest, 'x');
  for (const ByteWrite& w : PlanWrites(LaunchEntryOf(Control::mnuTactics5), false, true))
    bytes[w.position - 1] = w.letter;

  h.Write("Kombien.exe", bytes);
  const std::optional<PatchLetters> letters =
      ReadPatchLetters(h.files, "Kombien.exe", SolverFamily::CourseSolver);
  ASSERT_TRUE(letters);
  const std::optional<DecodedLaunch> found = DecodeLaunch(SolverFamily::CourseSolver, *letters);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->row->control, Control::mnuTactics5);

  h.Write("Kombien.exe", bytes.substr(0, highest - 1));
  EXPECT_FALSE(ReadPatchLetters(h.files, "Kombien.exe", SolverFamily::CourseSolver));
  h.Write("Kombien.exe", "");
  EXPECT_FALSE(ReadPatchLetters(h.files, "Kombien.exe", SolverFamily::CourseSolver));

  try {
    ReadPatchLetters(h.files, "ZelmikuE.exe", SolverFamily::ProblemBookSolver);
    FAIL() << "a missing program file was read";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.code, 2);
    EXPECT_EQ(failure.subject, "ZelmikuE.exe");
  }
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST(SolverIdentity, TheProgramsOwnNameGivesFamilyAndLanguage) {
  using F = SolverFamily;
  struct Case {
    std::string_view path;
    bool ignoreCase;
    std::optional<F> family;
    bool russian;
  };
  const Case cases[] = {
      {"C:\\x\\Kombiru.exe", true, F::CourseSolver, true},
      {"C:\\x\\KOMBIEN.EXE", true, F::CourseSolver, false},
      {"c:/Program Files/zelmikur.Exe", true, F::ProblemBookSolver, true},
      {"/opt/zel/ZelmikuE.exe", false, F::ProblemBookSolver, false},
      {"ZelmikuR", false, F::ProblemBookSolver, true},
      {"/opt/zel/KOMBIEN.EXE", false, std::nullopt, false},  // case counts off Windows
      {"C:\\x\\Zelmiku.exe", true, std::nullopt, false},     // the shell itself
      {"C:\\x\\Kombiru.exe.bak", true, std::nullopt, false},
      {"C:\\x\\Kombiru.com", true, std::nullopt, false},
      {"C:\\Kombiru.exe\\Kombi.exe", true, std::nullopt, false},
      {"", true, std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path));
    const std::optional<SolverIdentity> identity = IdentifySolver(c.path, c.ignoreCase);
    ASSERT_EQ(identity.has_value(), c.family.has_value());
    if (!identity) continue;
    EXPECT_EQ(identity->family, *c.family);
    EXPECT_EQ(identity->russian, c.russian);
  }
}

}  // namespace
}  // namespace zel

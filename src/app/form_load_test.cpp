#include <gtest/gtest.h>

#include "app/dispatcher.h"
#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;

struct Marks {
  bool vkl, vykl, russian, english, y, n;
  bool operator==(const Marks&) const = default;
};

Marks MarksOf(const platform::Window& w) {
  return {w.IsChecked(Control::mnuVklSound), w.IsChecked(Control::mnuVyklSound),
          w.IsChecked(Control::mnuRussian),  w.IsChecked(Control::mnuEnglish),
          w.IsChecked(Control::mnuY),        w.IsChecked(Control::mnuN)};
}

constexpr const char* kLeftovers[] = {"Zelmiku/install.bat", "Zelmiku/mci32.ocx",
                                      "Zelmiku/msflxgrd.ocx", "Zelmiku/vb5db.dll"};

void WriteLeftovers(Harness& h) {
  for (const char* leftover : kLeftovers) h.root.Write(std::string("drive/") + leftover, "x");
}

TEST(FormLoad, MarksFollowTheSettingsFiles) {
  struct Case {
    const char *sound, *language, *pictures;
    Marks expected;
  };
  const Case cases[] = {
      {"3\r\n", "\"E\"\r\n", "\"Y\"\r\n", {true, false, false, true, true, false}},
      {"1\r\n", "\"R\"\r\n", "\"N\"\r\n", {false, true, true, false, false, true}},
      {"7\r\n", "R\r\n", "\"y\"\r\n", {false, true, true, false, false, true}},
      {"0\r\n", "\"r\"\r\n", "Y\r\n", {false, true, false, true, true, false}},
      {"5\r\n", "\"\"\r\n", "\"N\"\r\n", {false, true, false, true, false, true}},
      {"3\r\n1\r\n", "\"R\"\r\n\"E\"\r\n", "\"Y\"", {true, false, true, false, true, false}},
      {"abc\r\n", "\"E\"\r\n", "\"Y\"\r\n", {false, true, false, true, true, false}},
  };
  for (const Case& c : cases) {
    Harness h;
    h.WriteSettings(c.language, c.pictures, c.sound);
    EXPECT_EQ(h.dispatcher.Start(), RunState::Running);
    EXPECT_EQ(MarksOf(h.window), c.expected) << c.sound << c.language << c.pictures;
    EXPECT_TRUE(h.report.reports.empty());
    // Start-up shows no picture and no button.
    EXPECT_EQ(h.window.picture(), platform::kTitleScreen);
    for (Control b : {Control::cmdLeft, Control::cmdRight, Control::cmdPractic, Control::cmdLeft2,
                      Control::cmdRight2})
      EXPECT_FALSE(h.window.IsShown(b));
  }
}

TEST(FormLoad, CleanUpWithoutTheFolderDeletesNothing) {
  Harness h;
  h.WriteSettings();
  EXPECT_EQ(h.dispatcher.Start(), RunState::Running);
  EXPECT_TRUE(h.window.IsChecked(Control::mnuRussian));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST(FormLoad, AllFourLeftoversAndTheFolderGo) {
  Harness h;
  h.WriteSettings();
  WriteLeftovers(h);
  EXPECT_EQ(h.dispatcher.Start(), RunState::Running);
  EXPECT_FALSE(h.root.Exists("drive/Zelmiku"));
}

TEST(FormLoad, AMissingInstallBatStopsTheCleanUp) {
  Harness h;
  h.WriteSettings();
  h.root.Write("drive/Zelmiku/mci32.ocx", "x");
  EXPECT_EQ(h.dispatcher.Start(), RunState::Running);
  EXPECT_TRUE(h.root.Exists("drive/Zelmiku/mci32.ocx"));
}

TEST(FormLoad, AnExtraFileKeepsTheFolder) {
  Harness h;
  h.WriteSettings();
  WriteLeftovers(h);
  h.root.Write("drive/Zelmiku/readme.txt", "mine");
  EXPECT_EQ(h.dispatcher.Start(), RunState::Running);
  for (const char* leftover : kLeftovers)
    EXPECT_FALSE(h.root.Exists(std::string("drive/") + leftover));
  EXPECT_EQ(h.root.Read("drive/Zelmiku/readme.txt"), "mine");
  EXPECT_TRUE(h.window.IsChecked(Control::mnuRussian));
}

TEST(FormLoad, ALaterLeftoverGoesOnlyIfAllBeforeItWent) {
  Harness h;
  h.WriteSettings();
  h.root.Write("drive/Zelmiku/install.bat", "x");
  h.root.Write("drive/Zelmiku/vb5db.dll", "x");  // msflxgrd.ocx and mci32.ocx are missing
  EXPECT_EQ(h.dispatcher.Start(), RunState::Running);
  EXPECT_FALSE(h.root.Exists("drive/Zelmiku/install.bat"));
  EXPECT_TRUE(h.root.Exists("drive/Zelmiku/vb5db.dll"));
}

int CountReads(const Harness& h, std::string_view file) {
  int reads = 0;
  for (const auto& call : h.files.log()) reads += call == "ReadAll " + std::string(file);
  return reads;
}

TEST(FormLoad, ASpentTrapLetsTheFirstSettingsFailureEndStartUp) {
  Harness h;  // no leftover folder: the clean-up fails at once and spends the trap
  h.Write("Sound.dat", "3\r\n");
  h.Write("enfo00.dat", "\"E\"\r\n");
  EXPECT_EQ(h.dispatcher.Start(), RunState::Failed);
  ASSERT_EQ(h.report.reports.size(), 1u);
  EXPECT_EQ(h.report.reports[0].code, 2);
  EXPECT_EQ(h.report.reports[0].subject, "pnfo00.dat");
  EXPECT_EQ(CountReads(h, "Sound.dat"), 1);
  EXPECT_EQ(CountReads(h, "pnfo00.dat"), 1);
  // The marks of the files read before it were set.
  EXPECT_TRUE(h.window.IsChecked(Control::mnuVklSound));
  EXPECT_FALSE(h.window.IsChecked(Control::mnuVyklSound));
  EXPECT_TRUE(h.window.IsChecked(Control::mnuEnglish));
}

TEST(FormLoad, AnArmedTrapRunsTheMarksOnceMoreBeforeFailing) {
  Harness h;
  WriteLeftovers(h);  // the clean-up goes through: the trap is still armed
  h.Write("Sound.dat", "1\r\n");
  h.Write("enfo00.dat", "\"R\"\r\n");
  h.Write("pnfo00.dat", "");
  EXPECT_EQ(h.dispatcher.Start(), RunState::Failed);
  ASSERT_EQ(h.report.reports.size(), 1u);
  EXPECT_EQ(h.report.reports[0].code, platform::NoValueFailure("").code);
  EXPECT_EQ(h.report.reports[0].subject, "pnfo00.dat");
  EXPECT_EQ(CountReads(h, "Sound.dat"), 2);
  EXPECT_EQ(CountReads(h, "enfo00.dat"), 2);
  EXPECT_EQ(CountReads(h, "pnfo00.dat"), 2);
  EXPECT_TRUE(h.window.IsChecked(Control::mnuRussian));
}

TEST(FormLoad, AMissingSoundFileFailsBeforeAnyMark) {
  Harness h;
  h.Write("enfo00.dat", "\"E\"\r\n");
  h.Write("pnfo00.dat", "\"Y\"\r\n");
  h.window.ClearLog();
  EXPECT_EQ(h.dispatcher.Start(), RunState::Failed);
  EXPECT_TRUE(h.window.log().empty());
  EXPECT_EQ(h.report.reports.at(0).subject, "Sound.dat");
}

TEST(FormLoad, ExitEndsTheProgramAndWritesNothing) {
  Harness h;
  h.WriteSettings();
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  const std::size_t calls = h.files.log().size();
  EXPECT_EQ(h.dispatcher.Click(Control::mnuExit), RunState::Ended);
  EXPECT_EQ(Dispatcher::ExitStatus(RunState::Ended), 0);
  EXPECT_EQ(h.files.log().size(), calls);
  EXPECT_TRUE(h.processes.starts.empty());
}

}  // namespace
}  // namespace zel

// The preference switches over a real program folder: the bytes each one
// writes, the marks of its pair in the order they move, the picture, what a
// failing step leaves, and the effect on the next launch. The music items and
// the video item are hidden, so the dispatcher lets no click through to them:
// their handlers are called on the form directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "platform/failure.h"
#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;
using Steps = std::vector<std::string>;

struct SwitchCase {
  Control item;
  Handler handler;
  bool reachable;
  const char* file;
  const char* before;  // what the file holds before: the other choice
  const char* after;
  Control marked, cleared;
  Steps windowSteps;    // the marks in their order, then the picture if any
  const char* picture;  // nullptr: the title screen stays
};

// Written out here from the menu's meaning, not taken from the switch table.
const SwitchCase kCases[] = {
    {Control::mnuRussian,
     &frmZelmiku::mnuRussian_Click,
     true,
     "enfo00.dat",
     "\"E\"\r\n",
     "\x22\x52\x22\x0D\x0A",
     Control::mnuRussian,
     Control::mnuEnglish,
     {"checked mnuRussian 1", "checked mnuEnglish 0", "picture PictNR.bmp"},
     "PictNR.bmp"},
    {Control::mnuEnglish,
     &frmZelmiku::mnuEnglish_Click,
     true,
     "enfo00.dat",
     "\"R\"\r\n",
     "\x22\x45\x22\x0D\x0A",
     Control::mnuEnglish,
     Control::mnuRussian,
     {"checked mnuRussian 0", "checked mnuEnglish 1", "picture PictNE.bmp"},
     "PictNE.bmp"},
    {Control::mnuY,
     &frmZelmiku::mnuY_Click,
     true,
     "pnfo00.dat",
     "\"N\"\r\n",
     "\x22\x59\x22\x0D\x0A",
     Control::mnuY,
     Control::mnuN,
     {"checked mnuY 1", "checked mnuN 0"},
     nullptr},
    {Control::mnuN,
     &frmZelmiku::mnuN_Click,
     true,
     "pnfo00.dat",
     "\"Y\"\r\n",
     "\x22\x4E\x22\x0D\x0A",
     Control::mnuN,
     Control::mnuY,
     {"checked mnuN 1", "checked mnuY 0"},
     nullptr},
    {Control::mnuVklSound,
     &frmZelmiku::mnuVklSound_Click,
     false,
     "Sound.dat",
     "1\r\n",
     "\x33\x0D\x0A",
     Control::mnuVklSound,
     Control::mnuVyklSound,
     {"checked mnuVklSound 1", "checked mnuVyklSound 0"},
     nullptr},
    {Control::mnuVyklSound,
     &frmZelmiku::mnuVyklSound_Click,
     false,
     "Sound.dat",
     "3\r\n",
     "\x31\x0D\x0A",
     Control::mnuVyklSound,
     Control::mnuVklSound,
     {"checked mnuVyklSound 1", "checked mnuVklSound 0"},
     nullptr},
};

// A harness started with the other choice of the case's pair in its file, and
// the pictures of both languages, each of its own width.
void StartWithOtherChoice(Harness& h, const SwitchCase& c) {
  h.WriteSettings();
  h.Write(c.file, c.before);
  h.Write("PictNR.bmp", testing::MakeBmp(20, 4, 0xCC0000));
  h.Write("PictNE.bmp", testing::MakeBmp(30, 4, 0x0000CC));
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  ASSERT_TRUE(h.window.IsChecked(c.cleared));
  ASSERT_FALSE(h.window.IsChecked(c.marked));
  h.window.ClearLog();
}

// Chooses the item as the user would; a hidden one must be refused by the
// dispatcher, and its handler then runs directly, its failure caught here as
// the dispatcher would catch it.
RunState Choose(Harness& h, const SwitchCase& c) {
  if (c.reachable) return h.dispatcher.Click(c.item);
  EXPECT_FALSE(h.dispatcher.Clickable(c.item)) << ControlName(c.item);
  const std::string bytes = h.Read(c.file);
  EXPECT_EQ(h.dispatcher.Click(c.item), RunState::Running);
  EXPECT_EQ(h.Read(c.file), bytes);
  EXPECT_TRUE(h.window.log().empty());
  try {
    (h.form.*c.handler)();
  } catch (const platform::Failure& failure) {
    h.report.Report(failure);
    return RunState::Failed;
  }
  return RunState::Running;
}

// The reads and finished replacements among the file operations since `from`.
Steps FileSteps(const Harness& h, std::size_t from) {
  Steps steps;
  for (std::size_t i = from; i < h.files.log().size(); ++i) {
    const std::string& op = h.files.log()[i];
    if (op.starts_with("ReadAll ") || op.starts_with("Replace ")) steps.push_back(op);
  }
  return steps;
}

Steps ExpectedFileSteps(const SwitchCase& c) {
  Steps steps{std::string("Replace ") + c.file};
  if (c.picture) steps.push_back(std::string("ReadAll ") + c.picture);
  return steps;
}

TEST(Switches, EachWritesItsValueThenMovesItsMarksThenShowsItsPicture) {
  for (const SwitchCase& c : kCases) {
    SCOPED_TRACE(ControlName(c.item));
    Harness h;
    StartWithOtherChoice(h, c);
    // Chosen twice: the second time rewrites the same bytes, reading nothing
    // first, and shows the picture again.
    for (int time = 1; time <= 2; ++time) {
      SCOPED_TRACE("choice " + std::to_string(time));
      const std::size_t filesBefore = h.files.log().size();
      h.window.ClearLog();
      EXPECT_EQ(Choose(h, c), RunState::Running);
      EXPECT_EQ(h.Read(c.file), c.after);
      EXPECT_TRUE(h.window.IsChecked(c.marked));
      EXPECT_FALSE(h.window.IsChecked(c.cleared));
      EXPECT_EQ(h.window.log(), c.windowSteps);
      EXPECT_EQ(FileSteps(h, filesBefore), ExpectedFileSteps(c));
      if (c.picture) {
        EXPECT_EQ(h.window.picture(), c.picture);
        EXPECT_EQ(h.window.pictureWidth(), c.item == Control::mnuRussian ? 20 : 30);
      } else {
        EXPECT_EQ(h.window.picture(), platform::kTitleScreen);
      }
    }
    EXPECT_TRUE(h.report.reports.empty());
    EXPECT_EQ(h.files.openHandles(), 0);
    EXPECT_EQ(h.ProgramList().find(".tmp"), std::string::npos) << h.ProgramList();
  }
}

TEST(Switches, EnglishCreatesAMissingLanguageFile) {
  Harness h;
  h.WriteSettings();
  h.Write("PictNE.bmp", testing::MakeBmp(30, 4, 0x0000CC));
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  h.Remove("enfo00.dat");
  EXPECT_EQ(h.dispatcher.Click(Control::mnuEnglish), RunState::Running);
  EXPECT_EQ(h.Read("enfo00.dat"), "\"E\"\r\n");
  EXPECT_TRUE(h.window.IsChecked(Control::mnuEnglish));
  EXPECT_FALSE(h.window.IsChecked(Control::mnuRussian));
  EXPECT_EQ(h.window.picture(), "PictNE.bmp");
}

TEST(Switches, AnUnwritableFileFailsBeforeTheMarksAndThePicture) {
  for (const SwitchCase& c : kCases) {
    SCOPED_TRACE(ControlName(c.item));
    Harness h;
    StartWithOtherChoice(h, c);
    h.files.FailCall(1, 13);
    ASSERT_EQ(Choose(h, c), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, 13);
    EXPECT_EQ(h.report.reports[0].subject, c.file);
    EXPECT_EQ(h.Read(c.file), c.before);
    EXPECT_TRUE(h.window.log().empty());
    EXPECT_TRUE(h.window.IsChecked(c.cleared));
    EXPECT_FALSE(h.window.IsChecked(c.marked));
    EXPECT_EQ(h.window.picture(), platform::kTitleScreen);
  }
}

TEST(Switches, AMissingLanguagePictureFailsAfterTheFileAndTheMarks) {
  for (const SwitchCase& c : kCases) {
    if (!c.picture) continue;
    SCOPED_TRACE(c.picture);
    Harness h;
    StartWithOtherChoice(h, c);
    h.Remove(c.picture);
    ASSERT_EQ(Choose(h, c), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, 2);
    EXPECT_EQ(h.report.reports[0].subject, c.picture);
    EXPECT_EQ(h.Read(c.file), c.after);
    EXPECT_EQ(h.window.log(), Steps(c.windowSteps.begin(), c.windowSteps.end() - 1));
    EXPECT_EQ(h.window.picture(), platform::kTitleScreen);
  }
}

// Course solver positions, 1-based: the language slot and one of the eight
// pictures-switch positions.
constexpr std::size_t kLanguageSlot = 94217;
constexpr std::size_t kFirstPicturesSwitch = 94160;

TEST(Switches, TheNextLaunchUsesTheNewChoice) {
  Harness h;
  h.WriteSettings("\"R\"\r\n", "\"Y\"\r\n");
  h.WritePicture("PictZEL.bmp");
  h.WritePicture("PictNE.bmp");
  const std::string blank(97000, '\0');
  h.Write("Kombiru.exe", blank);
  h.Write("Kombien.exe", blank);
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);

  EXPECT_EQ(h.dispatcher.Click(Control::mnuN), RunState::Running);
  EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Running);
  std::string russian = h.Read("Kombiru.exe");
  ASSERT_EQ(russian.size(), blank.size());
  EXPECT_EQ(russian[kFirstPicturesSwitch - 1], 'n');
  EXPECT_EQ(russian[kLanguageSlot - 1], 'P');

  EXPECT_EQ(h.dispatcher.Click(Control::mnuY), RunState::Running);
  EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Running);
  russian = h.Read("Kombiru.exe");
  EXPECT_EQ(russian[kFirstPicturesSwitch - 1], 'i');

  EXPECT_EQ(h.dispatcher.Click(Control::mnuEnglish), RunState::Running);
  EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Running);
  const std::string english = h.Read("Kombien.exe");
  ASSERT_EQ(english.size(), blank.size());
  EXPECT_EQ(english[kLanguageSlot - 1], 'T');
  EXPECT_EQ(english[94119 - 1], 't');
  EXPECT_EQ(h.Read("Kombiru.exe"), russian);

  ASSERT_EQ(h.processes.starts.size(), 3u);
  EXPECT_EQ(h.processes.starts[0].name, "Kombiru");
  EXPECT_EQ(h.processes.starts[1].name, "Kombiru");
  EXPECT_EQ(h.processes.starts[2].name, "Kombien");
  EXPECT_TRUE(h.report.reports.empty());
}

TEST(Switches, VideoMovesTheMusicMarksWithoutWritingAndStartsTheProgram) {
  Harness h;
  h.WriteSettings("\"R\"\r\n", "\"Y\"\r\n", "3\r\n");
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  ASSERT_TRUE(h.window.IsChecked(Control::mnuVklSound));

  EXPECT_FALSE(h.dispatcher.Clickable(Control::mnuVideo));
  EXPECT_EQ(h.dispatcher.Click(Control::mnuVideo), RunState::Running);
  EXPECT_TRUE(h.processes.starts.empty());
  EXPECT_TRUE(h.window.IsChecked(Control::mnuVklSound));

  h.window.ClearLog();
  const std::size_t filesBefore = h.files.log().size();
  h.form.mnuVideo_Click();
  EXPECT_EQ(h.window.log(), (Steps{"checked mnuVyklSound 1", "checked mnuVklSound 0"}));
  EXPECT_EQ(h.files.log().size(), filesBefore);
  EXPECT_EQ(h.Read("Sound.dat"), std::string("\x33\x0D\x0A"));
  ASSERT_EQ(h.processes.starts.size(), 1u);
  EXPECT_EQ(h.processes.starts[0].name, "Zvideo");
  EXPECT_EQ(h.processes.starts[0].windowStyle, 1);

  // Twice: two copies.
  h.form.mnuVideo_Click();
  ASSERT_EQ(h.processes.starts.size(), 2u);
  EXPECT_EQ(h.processes.starts[1].name, "Zvideo");
  EXPECT_EQ(h.processes.starts[1].windowStyle, 1);

  // A restart over the same folder takes the marks from the file again.
  platform::FakeWindow restartedWindow{h.files};
  frmZelmiku restartedForm{platform::Services{restartedWindow, h.files, h.processes}};
  Dispatcher restarted{restartedForm, restartedWindow, h.report};
  ASSERT_EQ(restarted.Start(), RunState::Running);
  EXPECT_TRUE(restartedWindow.IsChecked(Control::mnuVklSound));
  EXPECT_FALSE(restartedWindow.IsChecked(Control::mnuVyklSound));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST(Switches, AVideoThatCannotStartFailsAfterTheMarksMoved) {
  Harness h;
  h.WriteSettings("\"R\"\r\n", "\"Y\"\r\n", "3\r\n");
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  h.processes.FailWith(2);
  try {
    h.form.mnuVideo_Click();
    ADD_FAILURE() << "the start did not fail";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.code, 2);
    EXPECT_EQ(failure.subject, "Zvideo");
  }
  EXPECT_TRUE(h.window.IsChecked(Control::mnuVyklSound));
  EXPECT_FALSE(h.window.IsChecked(Control::mnuVklSound));
  EXPECT_EQ(h.Read("Sound.dat"), "3\r\n");
}

}  // namespace
}  // namespace zel

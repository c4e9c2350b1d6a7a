#include "app/dispatcher.h"

#include <gtest/gtest.h>

#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;

TEST(Dispatcher, ClicksReachHandlersOnlyFromControlsTheUserCanReach) {
  Harness h;
  h.WriteSettings();
  h.WritePicture("Book.bmp");
  h.WritePicture("Pict02.bmp");
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  const std::size_t calls = h.files.log().size();

  // Hidden buttons, hidden menu items, submenus and separators do nothing.
  for (Control c : {Control::cmdRight, Control::cmdLeft, Control::cmdPractic, Control::cmdRight2,
                    Control::cmdLeft2, Control::mnuVideo, Control::mnuVklSound,
                    Control::mnuZadachnik, Control::mnuTactics0, Control::mnuSet3})
    EXPECT_EQ(h.dispatcher.Click(c), RunState::Running) << ControlName(c);
  EXPECT_EQ(h.files.log().size(), calls);
  EXPECT_TRUE(h.processes.starts.empty());

  ASSERT_EQ(h.dispatcher.Click(Control::mnuBook), RunState::Running);
  EXPECT_EQ(h.window.picture(), "Book.bmp");
  // Shown but disabled: ignored.
  h.dispatcher.Click(Control::cmdLeft);
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  h.dispatcher.Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_EQ(h.window.picture(), "Pict02.bmp");
}

TEST(Dispatcher, AFailureIsReportedOnceAndEndsTheProgramKeepingWhatWasDone) {
  Harness h;
  h.WriteSettings();
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  // Book.bmp is missing: the counter and the buttons were already set.
  const RunState state = h.dispatcher.Click(Control::mnuBook);
  EXPECT_EQ(state, RunState::Failed);
  EXPECT_NE(Dispatcher::ExitStatus(state), 0);
  ASSERT_EQ(h.report.reports.size(), 1u);
  EXPECT_EQ(h.report.reports[0].code, 2);
  EXPECT_EQ(h.report.reports[0].subject, "Book.bmp");
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  EXPECT_TRUE(h.window.IsShown(Control::cmdRight));
  EXPECT_EQ(h.window.picture(), platform::kTitleScreen);
  const std::string text = platform::FailureText(h.report.reports[0]);
  EXPECT_NE(text.find("Error 2: "), std::string::npos) << text;
  EXPECT_NE(text.find("Book.bmp"), std::string::npos) << text;
}

TEST(Dispatcher, APictureThatIsNoBmpFailsAndKeepsThePictureBefore) {
  Harness h;
  h.WriteSettings();
  h.Write("About.bmp", "GIF89a not a bitmap");
  ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
  EXPECT_EQ(h.dispatcher.Click(Control::mnuProgram), RunState::Failed);
  EXPECT_EQ(h.report.reports.at(0).code, platform::InvalidPictureFailure("").code);
  EXPECT_EQ(h.window.picture(), platform::kTitleScreen);
}

}  // namespace
}  // namespace zel
